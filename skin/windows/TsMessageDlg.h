#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/win/TCustomForm.h"
#include "skin/windows/core/MessageDlgLayout.h"

class TCanvas;

// The window of the message boxes and the text prompt: built in code, with the system's message
// font, skinned as a dialog.
class TsSkinProvider;

class TsMessageForm : public TForm {
public:
  explicit TsMessageForm(TComponent* owner);

  // The Help button: the application's help for the form's HelpContext.
  void HelpButtonClick(TObject* sender);
  // Gives the form its skin provider (section "DIALOG", no skin list in the system menu) and
  // brings the provider's system menu up to date; called again before the prompt is shown.
  void ApplyDialogSkin();

private:
  TsSkinProvider* FProvider = nullptr;
};

// The average character size of the canvas' font: the width of "A".."Z" "a".."z" divided by 52
// and the text height.
POINT GetAveCharSize(TCanvas* canvas);
// String id of the system's common-dialog library; empty when it or the string is missing.
std::string GetCommDlgString(int id);

// A caption of its own for one button of a box ("&" marks the accelerator); the button keeps its
// name, modal result and keys.
struct TMsgDlgCaption {
  TMsgDlgButtons Button;
  std::string Caption;
};
using TMsgDlgCaptions = std::vector<TMsgDlgCaption>;

// The message box, not yet shown, owned by the application: the caller shows and frees it.
TsMessageForm* CreateSkinMessageDialog(const std::string& msg, TMsgDlgType type, TMsgDlgButtons buttons,
                                       const TMsgDlgCaptions& captions = {});

// Shows a message box modally and returns its modal result (0 for none). X or Y below 0 keeps the
// screen's centre in that direction.
int SkinMessageDlg(const std::string& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx);
int SkinMessageDlgPos(const std::string& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx, int x, int y);
int SkinMessageDlgPosHelp(const std::string& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx, int x,
                          int y, const std::string& helpFileName);
// A box at the screen's centre whose buttons read the given captions.
int SkinMessageDlgCaptions(const std::string& msg, TMsgDlgType type, TMsgDlgButtons buttons,
                           const TMsgDlgCaptions& captions);
// A box with OK under the application's title.
void SkinShowMessage(const std::string& msg);
void SkinShowMessagePos(const std::string& msg, int x, int y);

// The program's question: a confirmation box with Yes and No; true on Yes.
bool AskYesNo(const std::string& msg);

// A one-line prompt of up to 255 characters. True with value replaced when closed with OK; false
// with value untouched otherwise.
bool SkinInputQuery(const std::string& caption, const std::string& prompt, std::string& value);

// Makes the skin library's message boxes (ConfirmYesNo, ShowWarningBox, ShowErrorBox) and the data
// navigator's delete question these skinned boxes. Done when this unit is linked in; the program
// start calls it to be sure.
void InstallSkinMessageBoxHandler();
