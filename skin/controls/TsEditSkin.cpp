#include "skin/controls/TsEditSkin.h"

#include <string>

#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TCustomEdit.h"
#include "skin/engine/SkinTextPainter.h"
#include "skin/engine/core/SkinTables.h"

namespace {

constexpr int FrameWidth = 2;
constexpr int TextInset = 3;

}  // namespace

namespace EditSkin {

POINT ClientOrigin(HWND window) {
  RECT w;
  POINT client{0, 0};
  GetWindowRect(window, &w);
  ClientToScreen(window, &client);
  return POINT{client.x - w.left, client.y - w.top};
}

void CopyFrame(HDC windowDC, TBitmap* cache, int width, int height) {
  if (!cache) return;
  HDC src = cache->Canvas()->Handle();
  const int f = FrameWidth;
  BitBlt(windowDC, 0, 0, width, f, src, 0, 0, SRCCOPY);                            // top
  BitBlt(windowDC, 0, f, f, height - f, src, 0, f, SRCCOPY);                       // left
  BitBlt(windowDC, f, height - f, width - 2 * f, f, src, f, height - f, SRCCOPY);  // bottom
  BitBlt(windowDC, width - f, f, f, height - f, src, width - f, f, SRCCOPY);       // right
}

bool FramePaintable(TControl* control, const TsCommonData& skin) {
  TWinControl* parent = control->Parent();
  return parent && control->Visible() && parent->Visible() && !(control->ControlState() & csCreating) &&
         !skin.BackgroundChanged();
}

bool EditPaintsAfter(const TMessage& message, HWND window) {
  switch (message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_SETTEXT:
    case WM_SETFONT:
    case WM_CHAR:
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
    case WM_TIMER:
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
    case EM_SETSEL:
    case EM_REPLACESEL:
    case EM_SETPASSWORDCHAR:
    case EM_SETREADONLY:
    case EM_SCROLL:
    case EM_LINESCROLL:
    case EM_SCROLLCARET:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_MOUSEWHEEL:
      return true;
    case WM_MOUSEMOVE:
      // A selection made with the mouse follows it while the edit holds the capture.
      return GetCapture() == window;
    default:
      return false;
  }
}

void PaintText(TsCommonData& skin, TCustomEdit* edit, bool hot) {
  std::string text = edit->Text();
  if (text.empty()) return;
  if (edit->PasswordChar() != 0) text.assign(text.size(), edit->PasswordChar());
  TCanvas* canvas = skin.CacheBitmap()->Canvas();
  canvas->SetFont(edit->Font());
  canvas->Brush()->SetStyle(TBrushStyle::Clear);
  RECT r{TextInset, TextInset, edit->Width() - TextInset, edit->Height() - TextInset};
  if (edit->HandleAllocated()) {
    // Where the native edit puts its text, so the text stays in place when the focus comes.
    HWND window = edit->Handle();
    RECT format{};
    SendMessageA(window, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    const POINT origin = ClientOrigin(window);
    if (format.right > format.left) {
      r = format;
      OffsetRect(&r, origin.x, origin.y);
    }
  }
  DrawSkinTextByData(ActiveSkin(), canvas, text, edit->Enabled(), r,
                     DT_WORDBREAK | DT_SINGLELINE | DT_NOPREFIX, &skin, hot);
}

TColor SectionColor(const TsCommonData& skin, bool hot) {
  const int section = skin.SkinIndex();
  if (!SectionIndexValid(section)) return clWindow;
  const TsSectionData& s = ActiveSkin().SkinSectionData[static_cast<std::size_t>(section)];
  return hot ? s.HotColor : s.Color;
}

TColor SectionFontColor(const TsCommonData& skin, bool hot, TColor ownFontColor) {
  const int section = skin.SkinIndex();
  if (skin.CustomFont() || !SectionIndexValid(section)) return ownFontColor;
  const TsSectionData& s = ActiveSkin().SkinSectionData[static_cast<std::size_t>(section)];
  return hot ? s.HotFontColor[0] : s.FontColor[0];
}

}  // namespace EditSkin
