#pragma once

#include <initializer_list>
#include <string>

class TControl;
class TForm;
class TsButton;

// Sizes of the small dialogs taken from their font, as the platform's dialog templates take them:
// a horizontal unit is a quarter of the average character width, a vertical one an eighth of the
// character height. Captions are measured so that no text is cut whatever font the system gives.
class TDialogUnits {
public:
  explicit TDialogUnits(TControl* control);

  int X(int units) const;
  int Y(int units) const;
  int TextWidth(const std::string& text) const;
  int TextHeight() const { return FAveHeight; }
  // An edit, spin edit or combo of one line.
  int EditHeight() const { return Y(13); }
  int ButtonHeight() const { return Y(14); }
  // The standard button width, or more when a caption needs it.
  int ButtonWidth(std::initializer_list<std::string> captions) const;
  // The widest of the texts.
  int WidestText(std::initializer_list<std::string> texts) const;

private:
  TControl* FControl;
  int FAveWidth = 0;
  int FAveHeight = 0;
};

// A button of the form, named and captioned, at left and top in the dialog's button height.
TsButton* NewDialogButton(TForm* form, const TDialogUnits& du, const char* name, const char* caption, int left, int top,
                          int width);
// The single "Ok" of a box: centred, default and cancel at once, closing with OK.
TsButton* NewOkOnlyButton(TForm* form, const TDialogUnits& du, int clientWidth, int top);
