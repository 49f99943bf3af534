#pragma once

#include <string>

#include "framework/win/TCustomForm.h"

class TsButton;
class TsCheckBox;
class TsComboBox;
class TsSkinManager;
class TsSkinProvider;

// What the environment options read and change of the program; the main window's by default.
class TEnvironmentLink {
public:
  virtual ~TEnvironmentLink() = default;
  virtual TsSkinManager* SkinManager() = 0;
  virtual std::string LangDir() = 0;
  virtual std::string Language() = 0;
  virtual bool ShowHints() = 0;
  virtual void SetShowHints(bool value) = 0;
  // The user closed the options with Ok after changing the "Skin" box.
  virtual void SkinSwitchedByUser() {}
};

// The environment options: the language (shown, not applied), the skin on or off and its name,
// and the hints. Shown modelessly; the values reach the ini file when the program ends.
class TfmEnvOpt : public TForm {
public:
  explicit TfmEnvOpt(TComponent* owner);

  // nullptr puts back the main window's.
  void SetEnvironmentLink(TEnvironmentLink* link) { FLink = link; }

  TsComboBox* Langs = nullptr;     // "Language"
  TsCheckBox* Skin = nullptr;      // "Skin"
  TsComboBox* SkinName = nullptr;
  TsCheckBox* ShowHints = nullptr; // "Show hints"
  TsButton* Ok = nullptr;
  TsButton* Cancel = nullptr;
  TsSkinProvider* sSkinProvider1 = nullptr;

  // The names before the first "." of the "*.dat" files in LangDir, as the file system lists them.
  void FillLangList();
  void FormShow(TObject* sender);
  void SkinClick(TObject* sender);
  void ShowHintsClick(TObject* sender);
  void OkClick(TObject* sender);
  void CancelClick(TObject* sender);

private:
  TEnvironmentLink* Link();
  void ApplySkin(const std::string& name, bool active);

  TEnvironmentLink* FLink = nullptr;
  bool FFilling = false;  // FormShow sets the check boxes: their clicks change nothing then
  bool FSkinShown = false;  // the "Skin" box as FormShow set it
};

extern TfmEnvOpt* fmEnvOpt;
