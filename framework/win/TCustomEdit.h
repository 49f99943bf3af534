#pragma once

#include "framework/win/StdControlTypes.h"
#include "framework/win/TWinControl.h"

// The native EDIT control: text limits, case, password character, read-only, selection and the
// change event. TEdit and TMemo publish it.
class TCustomEdit : public TWinControl {
public:
  explicit TCustomEdit(TComponent* owner);

  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int value);
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase value);
  char PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(char value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value);
  bool OEMConvert() const { return FOEMConvert; }
  void SetOEMConvert(bool value);
  bool AutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool value) { FAutoSelect = value; }
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool value);
  bool Modified();
  void SetModified(bool value);

  int SelStart();
  void SetSelStart(int value);
  int SelLength();
  void SetSelLength(int value);
  std::string SelText();
  void SetSelText(const std::string& text);
  void SelectAll();
  void ClearSelection() { SetSelText(""); }
  void Clear() { SetText(""); }
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();

  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& e) { FOnChange = e; }

  void Dispatch(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  // The selection survives a new window.
  void SaveNativeState() override;
  void RestoreNativeState() override;
  virtual void Change();
  void DoEnter() override;

private:
  int FMaxLength = 0;
  TEditCharCase FCharCase = ecNormal;
  char FPasswordChar = 0;
  bool FReadOnly = false;
  bool FOEMConvert = false;
  bool FAutoSelect = true;
  bool FHideSelection = true;
  bool FModified = false;
  bool FCreating = false;
  DWORD FSavedSelStart = 0, FSavedSelEnd = 0;
  TNotifyEvent FOnChange;
};

class TEdit : public TCustomEdit {
public:
  using TCustomEdit::TCustomEdit;
};
