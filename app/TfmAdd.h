#pragma once

#include "framework/win/TCustomForm.h"

class TsButton;
class TsEdit;
class TsFilenameEdit;
class TsSkinProvider;

// The add dialog: a code-group image, its code group and its start address for a new grid row.
// Shown modally; Ok closes it only when the edits hold a row the grid and the combine can take.
class TfmAdd : public TForm {
public:
  explicit TfmAdd(TComponent* owner);

  TsFilenameEdit* sFilenameEdit1 = nullptr;  // "File Name"
  TsEdit* sEdit1 = nullptr;                  // "Code Group"
  TsEdit* sEdit2 = nullptr;                  // "Start address (Hex)"
  TsButton* sButton1 = nullptr;              // "Ok"
  TsButton* sButton2 = nullptr;              // "Cancel"
  TsButton* sButton3 = nullptr;              // "Detect file"
  TsSkinProvider* sSkinProvider1 = nullptr;

  void FormShow(TObject* sender);
  void sFilenameEdit1ButtonClick(TObject* sender);
  void sButton1Click(TObject* sender);
  void sButton3Click(TObject* sender);
};

extern TfmAdd* fmAdd;
