#pragma once

#include <windows.h>

#include "framework/win/TCustomForm.h"

class TMainMenu;

// The main form of an MDI test: an MDI frame with a main menu of one item, "&File".
class TMdiTestFrame : public TForm {
public:
  explicit TMdiTestFrame(TComponent* owner);
  TMainMenu* MainMenu() const { return FMainMenu; }

private:
  TMainMenu* FMainMenu = nullptr;
};

// The application started afresh and a TMdiTestFrame made as its main form (not shown yet).
TMdiTestFrame* NewMdiTestFrame();
// The application's MDI children freed (they belong to the application and go first), then frame.
void FreeMdiForms(TCustomForm* frame);
// The MDI client's range of scroll bar bar (SB_VERT, SB_HORZ) set as the platform sets it for
// children reaching from min to max, with page; the client is not redrawn.
void SetClientScrollRange(HWND client, int bar, int min, int max, int page);
