#include "tests/skin/controls/MdiTestFrame.h"

#include "framework/win/TApplication.h"
#include "framework/win/TMainMenu.h"
#include "framework/win/TMenuItem.h"
#include "framework/win/TScreen.h"

TMdiTestFrame::TMdiTestFrame(TComponent* owner) : TForm(owner) {
  SetFormStyle(fsMDIForm);
  SetBounds(40, 40, 560, 400);
  SetCaption("Frame");
  FMainMenu = NewComponent<TMainMenu>(this);
  auto* file = NewComponent<TMenuItem>(this);
  file->SetCaption("&File");
  FMainMenu->Items()->Add(file);
  SetMenu(FMainMenu);
}

TMdiTestFrame* NewMdiTestFrame() {
  Application->Initialize();
  TMdiTestFrame* frame = nullptr;
  Application->CreateForm(frame);
  return frame;
}

void FreeMdiForms(TCustomForm* frame) {
  for (int i = Screen->FormCount() - 1; i >= 0; --i)
    if (Screen->Forms(i)->FormStyle() == fsMDIChild) Screen->Forms(i)->Free();
  if (frame != nullptr) frame->Free();
}

void SetClientScrollRange(HWND client, int bar, int min, int max, int page) {
  SCROLLINFO r{};
  r.cbSize = sizeof r;
  r.fMask = SIF_ALL;
  r.nMin = min;
  r.nMax = max;
  r.nPage = UINT(page);
  SetScrollInfo(client, bar, &r, FALSE);
}
