#include "framework/win/TStatusBar.h"

#include <commctrl.h>
#include <cstring>

#include "framework/win/GdiScopes.h"

TStatusBar::TStatusBar(TComponent* owner) : TWinControl(owner) {
  SetControlStyle(csCaptureMouse | csClickEvents | csDoubleClicks | csOpaque);
  SetColor(clBtnFace);
  SetBounds(0, 0, 0, 19);
  SetAlign(alBottom);
}

void TStatusBar::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  CreateSubClass(params, STATUSCLASSNAMEA);
  // The bar is placed by alignment, not by the native control.
  params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NOMOVEY;
  if (FSizeGrip) params.Style |= SBARS_SIZEGRIP;
}

void TStatusBar::CreateWnd() {
  TWinControl::CreateWnd();
  UpdatePanels();
}

void TStatusBar::UpdatePanelText(int index) {
  if (!HandleAllocated()) return;
  const TStatusPanel& panel = FPanels[size_t(index)];
  std::string text = panel.Text;
  // Tabs in the text centre or right-align it in the native bar.
  if (panel.Alignment == taCenter) text = "\t" + text;
  else if (panel.Alignment == taRightJustify) text = "\t\t" + text;
  WPARAM flags = WPARAM(index) | (panel.Style == psOwnerDraw ? SBT_OWNERDRAW : 0);
  SendMessageA(Handle(), SB_SETTEXTA, flags, reinterpret_cast<LPARAM>(text.c_str()));
}

void TStatusBar::UpdatePanels() {
  if (!HandleAllocated()) return;
  HWND h = Handle();
  SendMessageA(h, SB_SIMPLE, FSimplePanel, 0);
  if (FSimplePanel) {
    SendMessageA(h, SB_SETTEXTA, 255 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(FSimpleText.c_str()));
    return;
  }
  std::vector<int> edges;
  int right = 0;
  for (size_t i = 0; i < FPanels.size(); ++i) {
    right += FPanels[i].Width;
    // The last panel reaches to the end of the bar.
    edges.push_back(i + 1 == FPanels.size() ? -1 : right);
  }
  if (edges.empty()) edges.push_back(-1);
  SendMessageA(h, SB_SETPARTS, WPARAM(edges.size()), reinterpret_cast<LPARAM>(edges.data()));
  for (size_t i = 0; i < FPanels.size(); ++i) UpdatePanelText(int(i));
}

void TStatusBar::AddPanel(const TStatusPanel& panel) {
  FPanels.push_back(panel);
  UpdatePanels();
}

void TStatusBar::SetPanel(int index, const TStatusPanel& panel) {
  FPanels.at(size_t(index)) = panel;
  UpdatePanels();
}

void TStatusBar::SetPanelText(int index, const std::string& text) {
  TStatusPanel& panel = FPanels.at(size_t(index));
  if (panel.Text == text) return;
  panel.Text = text;
  if (!FSimplePanel) UpdatePanelText(index);
}

void TStatusBar::ClearPanels() {
  FPanels.clear();
  UpdatePanels();
}

void TStatusBar::SetSimplePanel(bool value) {
  if (value == FSimplePanel) return;
  FSimplePanel = value;
  UpdatePanels();
}

void TStatusBar::SetSimpleText(const std::string& value) {
  if (value == FSimpleText) return;
  FSimpleText = value;
  if (FSimplePanel && HandleAllocated())
    SendMessageA(Handle(), SB_SETTEXTA, 255 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(value.c_str()));
}

void TStatusBar::SetSizeGrip(bool value) {
  if (value == FSizeGrip) return;
  FSizeGrip = value;
  RecreateWnd();
}

std::string TStatusBar::NativeText(int part) {
  if (!HandleAllocated()) return "";
  WPARAM index = part < 0 ? 255 : WPARAM(part);
  // The text length message does not know the simple part everywhere: read into a buffer as large
  // as the platform keeps.
  std::string text(1024, '\0');
  SendMessageA(Handle(), SB_GETTEXTA, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(strnlen(text.data(), text.size() - 1));
  // Some versions answer the simple part only as part 0.
  if (part < 0 && text.empty() && FSimplePanel) return NativeText(0);
  return text;
}

void TStatusBar::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CN_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam);
      if (dis == nullptr) return;
      int index = int(dis->itemID);
      TCanvasDC bound(FCanvas, dis->hDC);
      FCanvas.SetFont(Font());
      FCanvas.Brush()->SetColor(clBtnFace);
      if (FOnDrawPanel && index >= 0 && index < PanelCount()) FOnDrawPanel(this, index, dis->rcItem);
      else FCanvas.FillRect(dis->rcItem);
      message.Result = 1;
      return;
    }
    case WM_SIZE:
      TWinControl::Dispatch(message);
      UpdatePanels();
      // The native bar repaints only what the new size uncovered: its size grip would stay where
      // the bar ended before.
      if (HandleAllocated()) InvalidateRect(Handle(), nullptr, TRUE);
      return;
    default:
      break;
  }
  TWinControl::Dispatch(message);
}
