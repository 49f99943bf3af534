#include "app/TfmEnvOpt.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "app/DialogUnits.h"
#include "app/TfmMain.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsCheckBox.h"
#include "skin/controls/TsComboBox.h"
#include "skin/engine/TsBoundLabel.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/windows/TsMessageDlg.h"
#include "skin/windows/TsSkinProvider.h"

TfmEnvOpt* fmEnvOpt = nullptr;

namespace {

// The main window's settings, read when they are needed (the options are created after it).
class TMainWindowEnvironment : public TEnvironmentLink {
public:
  TsSkinManager* SkinManager() override { return fmMain != nullptr ? fmMain->SkinManager : nullptr; }
  std::string LangDir() override { return fmMain != nullptr ? fmMain->LangDir() : std::string(); }
  std::string Language() override { return fmMain != nullptr ? fmMain->Language() : std::string(); }
  bool ShowHints() override { return fmMain != nullptr && fmMain->ShowHints(); }
  void SetShowHints(bool value) override {
    if (fmMain != nullptr) fmMain->SetShowHints(value);
  }
  void SkinSwitchedByUser() override {
    if (fmMain != nullptr) fmMain->SkinSwitchedByUser();
  }
};

TMainWindowEnvironment MainWindowEnvironment;

constexpr const char* kLanguage = "Language";

}  // namespace

TfmEnvOpt::TfmEnvOpt(TComponent* owner) : TForm(owner) {
  SetName("fmEnvOpt");
  SetCaption("Environment options");
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  sSkinProvider1 = NewComponent<TsSkinProvider>(this);
  sSkinProvider1->SetName("sSkinProvider1");
  sSkinProvider1->SetResizeMode(TsResizeMode::rmBorder);
  sSkinProvider1->SetCaptionAlignment(taCenter);

  // The language combo with its label to the left, the skin check box with the skin's combo
  // beside it, the hints check box, and Ok and Cancel at the bottom right.
  const TDialogUnits du(this);
  const int margin = du.X(7), rowGap = du.Y(6);
  const int keyWidth = du.WidestText({kLanguage, "Skin", "Show hints"}) + du.X(16);
  const int comboWidth = du.X(110);
  const int buttonWidth = du.ButtonWidth({"Ok", "Cancel"});
  const int clientWidth = std::max(margin + keyWidth + comboWidth, 2 * buttonWidth + du.X(4)) + margin;
  const int comboLeft = margin + keyWidth;

  int top = margin;
  const auto combo = [&](const char* name) {
    auto* c = NewControl<TsComboBox>(this, this);
    c->SetName(name);
    c->SetStyle(csDropDownList);
    c->SetBounds(comboLeft, top, comboWidth, du.EditHeight());
    return c;
  };
  const auto check = [&](const char* name, const char* caption, int width) {
    auto* c = NewControl<TsCheckBox>(this, this);
    c->SetName(name);
    c->SetCaption(caption);
    c->SetBounds(margin, top + (du.EditHeight() - du.Y(10)) / 2, width, du.Y(10));
    return c;
  };

  Langs = combo("Langs");
  Langs->SetEnabled(false);
  Langs->BoundLabel()->SetCaption(kLanguage);
  Langs->BoundLabel()->SetActive(true);
  Langs->BoundLabel()->SetIndent(comboLeft - margin - du.TextWidth(kLanguage) - 4);
  top += du.EditHeight() + rowGap;

  Skin = check("Skin", "Skin", keyWidth - du.X(2));
  Skin->SetOnClick(TNotifyEvent(this, &TfmEnvOpt::SkinClick));
  SkinName = combo("SkinName");
  SkinName->SetSorted(true);
  top += du.EditHeight() + rowGap;

  ShowHints = check("ShowHints", "Show hints", clientWidth - 2 * margin);
  ShowHints->SetOnClick(TNotifyEvent(this, &TfmEnvOpt::ShowHintsClick));
  top += du.EditHeight() + du.Y(10);

  const auto button = [&](const char* name, const char* caption, int left) {
    return NewDialogButton(this, du, name, caption, left, top, buttonWidth);
  };
  Cancel = button("Cancel", "Cancel", clientWidth - margin - buttonWidth);
  Cancel->SetCancel(true);
  Cancel->SetOnClick(TNotifyEvent(this, &TfmEnvOpt::CancelClick));
  Ok = button("Ok", "Ok", Cancel->Left() - du.X(4) - buttonWidth);
  Ok->SetDefault(true);
  Ok->SetOnClick(TNotifyEvent(this, &TfmEnvOpt::OkClick));
  Ok->SetTabOrder(Cancel->TabOrder());  // Tab goes as drawn: Ok, then Cancel

  SetClientSize(clientWidth, top + du.ButtonHeight() + margin);
  SetOnShow(TNotifyEvent(this, &TfmEnvOpt::FormShow));
}

TEnvironmentLink* TfmEnvOpt::Link() { return FLink != nullptr ? FLink : &MainWindowEnvironment; }

void TfmEnvOpt::FillLangList() {
  Langs->ClearItems();
  const std::string dir = Link()->LangDir();
  if (dir.empty()) return;
  const std::string pattern = dir + (dir.back() == '\\' || dir.back() == '/' ? "" : "\\") + "*.dat";
  WIN32_FIND_DATAA found{};
  HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const std::string name = found.cFileName;
    Langs->AddItem(name.substr(0, name.find('.')));
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

void TfmEnvOpt::FormShow(TObject*) {
  FFilling = true;
  FillLangList();
  Langs->SetItemIndex(Langs->Items().IndexOf(Link()->Language()));

  TsSkinManager* manager = Link()->SkinManager();
  Skin->SetChecked(manager != nullptr && manager->Active());
  FSkinShown = Skin->Checked();
  Skin->SetEnabled(manager != nullptr);
  SkinName->ClearItems();
  if (manager != nullptr) {
    std::vector<std::string> names;
    std::string first;
    manager->ListSkinFolders(names, first);
    for (const std::string& name : names) SkinName->AddItem(name);
    SkinName->SetItemIndex(SkinName->Items().IndexOf(manager->SkinName()));
  }
  SkinName->SetEnabled(Skin->Checked());
  ShowHints->SetChecked(Link()->ShowHints());
  FFilling = false;
}

void TfmEnvOpt::SkinClick(TObject*) { SkinName->SetEnabled(Skin->Checked()); }

void TfmEnvOpt::ShowHintsClick(TObject*) {
  if (!FFilling) Link()->SetShowHints(ShowHints->Checked());
}

void TfmEnvOpt::OkClick(TObject*) {
  Close();
  if (Skin->Checked() != FSkinShown) Link()->SkinSwitchedByUser();
  ApplySkin(SkinName->Text(), Skin->Checked());
  Link()->SetShowHints(ShowHints->Checked());
}

void TfmEnvOpt::CancelClick(TObject*) { Close(); }

void TfmEnvOpt::ApplySkin(const std::string& name, bool active) {
  TsSkinManager* manager = Link()->SkinManager();
  if (manager == nullptr) return;
  const std::string previous = manager->SkinName();
  const bool wasActive = manager->Active();
  try {
    // A skin is loaded once: switched off first, or named once while on. Named again, the skin
    // loaded already is read again, so that an edit of it shows.
    if (!active) {
      manager->SetActive(false);
      if (!name.empty()) manager->SetSkinName(name);
    } else if (!wasActive) {
      if (!name.empty()) manager->SetSkinName(name);
      manager->SetActive(true);
    } else if (!name.empty()) {
      manager->SetSkinName(name);
    }
  } catch (const std::exception& e) {
    // A skin that cannot be loaded leaves the one before, or none when that fails too.
    const std::string reason = e.what();
    manager->RestoreSkin(previous, wasActive);
    SkinMessageDlg("The skin \"" + name + "\" cannot be loaded: " + reason, mtError, mbCancel, 0);
  }
}
