#pragma once

#include <functional>
#include <memory>

#include "framework/win/TCustomForm.h"

class TEditorWindowHost;
class TFlexEditorModel;
class TsButton;
class TsEdit;
class TsFilenameEdit;
class TsPageControl;
class TsSkinObserver;
class TsSkinProvider;
class TsTabSheet;

// The flex editor: names the flex image and its load address and hands the file to the combine or
// the flasher. The work is the model's; the window wires its controls to it.
class TfmFlexEditor : public TForm {
public:
  explicit TfmFlexEditor(TComponent* owner);
  ~TfmFlexEditor() override;

  TsFilenameEdit* sFilenameEdit1 = nullptr;  // "Source File"
  TsEdit* sEdit1 = nullptr;                  // "Adress"
  TsButton* sButton1 = nullptr;              // "Parse"
  TsButton* sButton2 = nullptr;              // "Save" (no action)
  TsButton* sButton3 = nullptr;              // "Flash"
  TsButton* sButton4 = nullptr;              // "Make SHX"
  TsPageControl* sPageControl1 = nullptr;
  TsTabSheet* tsFiles = nullptr;
  TsTabSheet* tsSeem = nullptr;

  TFlexEditorModel& Model() { return *FModel; }
  TEditorWindowHost& Host() { return *FHost; }

protected:
  void DoShow() override;

private:
  void PlaceControls();
  // The edits' labels in the text colour of the form's skin section (the system's without a skin):
  // painted the standard way they would be black on a dark skin.
  void ColorLabels();
  // Runs a button's command with both edits handed to the model; an error reaches an error box.
  void Command(const std::function<void()>& action);

  void sFilenameEdit1ButtonClick(TObject* sender);
  void sButton1Click(TObject* sender);
  void sButton3Click(TObject* sender);
  void sButton4Click(TObject* sender);

  TsSkinProvider* FProvider = nullptr;
  std::unique_ptr<TEditorWindowHost> FHost;
  std::unique_ptr<TFlexEditorModel> FModel;
  std::unique_ptr<TsSkinObserver> FSkinObserver;
};

extern TfmFlexEditor* fmFlexEditor;
