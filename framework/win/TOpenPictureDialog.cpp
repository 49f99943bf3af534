#include "framework/win/TOpenPictureDialog.h"

#include <dlgs.h>

#include "framework/base/AnsiStrings.h"
#include "framework/base/PreviewPlace.h"
#include "framework/win/GdiScopes.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TPicture.h"

namespace {

// The pane's width and margin in pixels.
constexpr int PaneWidth = 170, Margin = 6, LabelHeight = 16;

// Dialog-template words: each item starts on a 4-byte boundary.
void Align(std::vector<WORD>& t) {
  if (t.size() % 2 != 0) t.push_back(0);
}
void AddText(std::vector<WORD>& t, const char* text) {
  for (const char* c = text; *c != '\0'; ++c) t.push_back(WORD(static_cast<unsigned char>(*c)));
  t.push_back(0);
}
void AddDWord(std::vector<WORD>& t, DWORD v) {
  t.push_back(LOWORD(v));
  t.push_back(HIWORD(v));
}
void AddStatic(std::vector<WORD>& t, DWORD style, short x, short y, short cx, short cy, WORD id, const char* text) {
  Align(t);
  AddDWord(t, style | WS_CHILD);
  AddDWord(t, 0);
  for (short v : {x, y, cx, cy}) t.push_back(WORD(v));
  t.push_back(id);
  t.push_back(0xFFFF);
  t.push_back(0x0082);  // the STATIC class
  AddText(t, text);
  t.push_back(0);  // no creation data
}

}  // namespace

TPicturePreviewPane::TPicturePreviewPane() : FPicture(std::make_unique<TPicture>()) {}

TPicturePreviewPane::~TPicturePreviewPane() = default;

const DLGTEMPLATE* TPicturePreviewPane::Template() {
  if (FTemplate.empty()) {
    std::vector<WORD>& t = FTemplate;
    AddDWord(t, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | DS_3DLOOK | DS_CONTROL | DS_SETFONT);
    AddDWord(t, 0);
    t.push_back(3);  // items
    for (short v : {0, 0, 200, 120}) t.push_back(WORD(v));
    t.push_back(0);  // no menu
    t.push_back(0);  // the dialog class
    t.push_back(0);  // no title
    t.push_back(8);  // the dialogs' font
    AddText(t, "MS Shell Dlg");
    AddStatic(t, 0, 0, 0, 80, 120, stc32, "");
    AddStatic(t, WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 84, 4, 110, 10, LabelId, "Picture:");
    AddStatic(t, WS_VISIBLE | SS_OWNERDRAW, 84, 16, 110, 100, ImageId, "");
  }
  return reinterpret_cast<const DLGTEMPLATE*>(FTemplate.data());
}

void TPicturePreviewPane::Shown(HWND hook) {
  FHook = hook;
  ShowFile("");
  Place(hook);
}

void TPicturePreviewPane::Place(HWND hook) {
  RECT client{};
  GetClientRect(hook, &client);
  // The standard controls end where the stretched stc32 ends; the pane takes the rest on the right.
  int left = client.right - PaneWidth - Margin;
  if (HWND standard = GetDlgItem(hook, stc32)) {
    RECT r{};
    GetWindowRect(standard, &r);
    MapWindowPoints(nullptr, hook, reinterpret_cast<POINT*>(&r), 2);
    if (r.right + Margin > left) left = r.right + Margin;
  }
  const int width = std::max(0, int(client.right) - left - Margin);
  const int top = Margin * 2;
  if (HWND label = GetDlgItem(hook, LabelId)) MoveWindow(label, left, top, width, LabelHeight, TRUE);
  if (HWND image = GetDlgItem(hook, ImageId))
    MoveWindow(image, left, top + LabelHeight + 2, width, std::max(0, int(client.bottom) - top - LabelHeight - 2 - Margin * 8),
               TRUE);
}

bool TPicturePreviewPane::Message(HWND hook, UINT msg, WPARAM, LPARAM lParam) {
  switch (msg) {
    case WM_SIZE:
      Place(hook);
      return false;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item == nullptr || item->CtlID != ImageId) return false;
      Draw(*item);
      return true;
    }
    default:
      return false;
  }
}

void TPicturePreviewPane::SelectionChanged(HWND hook) {
  FHook = hook;
  char path[MAX_PATH * 4] = {};
  const LRESULT n = SendMessageA(GetParent(hook), CDM_GETFILEPATH, sizeof path, LPARAM(path));
  ShowFile(n > 0 ? std::string(path) : std::string());
}

void TPicturePreviewPane::ShowFile(const std::string& fileName) {
  FLabelText = "Picture:";
  FPicture->SetGraphic(nullptr);
  const DWORD attributes = fileName.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(fileName.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    // Files the picture class cannot read are common in a folder of firmware parts: no preview.
    try {
      FPicture->LoadFromFile(fileName);
      FLabelText = Format(" (%dx%d)", FPicture->Width(), FPicture->Height());
    } catch (const std::exception&) {
      FPicture->SetGraphic(nullptr);
    }
  }
  if (FHook != nullptr && IsWindow(FHook)) {
    SetDlgItemTextA(FHook, LabelId, FLabelText.c_str());
    if (HWND image = GetDlgItem(FHook, ImageId)) InvalidateRect(image, nullptr, TRUE);
  }
}

void TPicturePreviewPane::Draw(const DRAWITEMSTRUCT& item) {
  const RECT box = item.rcItem;
  TSaveDC saved(item.hDC);
  FillRect(item.hDC, &box, GetSysColorBrush(COLOR_BTNFACE));
  DrawEdge(item.hDC, const_cast<RECT*>(&box), EDGE_SUNKEN, BF_RECT);
  RECT inner = box;
  InflateRect(&inner, -2, -2);
  TCanvas canvas;
  TCanvasDC scope(canvas, item.hDC);
  if (FPicture->Width() < 1) {
    SetBkMode(item.hDC, TRANSPARENT);
    DrawTextA(item.hDC, "(None)", 6, &inner, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    return;
  }
  const TPreviewPlace place =
      PreviewPlace(FPicture->Width(), FPicture->Height(), inner.right - inner.left, inner.bottom - inner.top);
  const RECT target{inner.left + place.Left, inner.top + place.Top, inner.left + place.Left + place.Width,
                    inner.top + place.Top + place.Height};
  canvas.StretchDraw(target, FPicture->Graphic());
}

TOpenPictureDialog::TOpenPictureDialog(TComponent* owner) : TPicturePreviewDialog(owner) {
  SetFilter(GraphicFilter(nullptr));
}

TSavePictureDialog::TSavePictureDialog(TComponent* owner) : TPicturePreviewDialog(owner) {
  SetFilter(GraphicFilter(nullptr));
}
