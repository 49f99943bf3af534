#pragma once

#include <functional>
#include <memory>

#include "framework/win/TCustomForm.h"

class TClientDataSet;
class TDataSource;
class TDBGrid;
class TEditorWindowHost;
class TLPEditorModel;
class TsButton;
class TsEdit;
class TsFilenameEdit;
class TsGroupBox;
class TsOpenDialog;
class TsPageControl;
class TsSaveDialog;
class TsTabSheet;

// The language-pack editor: the image named by the main grid's code-group-4 row, its languages, the
// strings of one language in an editable table, and the hand-off to the combine and the flasher.
// The work is the model's; the window wires its controls to it.
class TfmLPEditor : public TForm {
public:
  explicit TfmLPEditor(TComponent* owner);
  ~TfmLPEditor() override;

  TsGroupBox* sGroupBox1 = nullptr;  // "Source langpack file"
  TsFilenameEdit* sFilenameEdit1 = nullptr;
  TsButton* sButton11 = nullptr;  // "Open langpack"
  TsButton* sButton1 = nullptr;   // "Save langpack"
  TsButton* sButton3 = nullptr;   // "Make SHX"
  TsButton* sButton2 = nullptr;   // "Flash"
  TsGroupBox* sGroupBox2 = nullptr;  // "Languages"
  TDBGrid* DBGrid1 = nullptr;
  TsButton* sButton4 = nullptr;  // "Parse language"
  TsButton* sButton5 = nullptr;  // "Save language" (no action)
  TsButton* sButton6 = nullptr;  // "Delete"
  TsButton* sButton7 = nullptr;  // "Add from file"
  TsPageControl* sPageControl1 = nullptr;
  TsTabSheet* tsStrings = nullptr;
  TsTabSheet* tsITap = nullptr;
  TsTabSheet* tsFonts = nullptr;
  TDBGrid* DBGrid2 = nullptr;
  TsEdit* sEdit1 = nullptr;      // string ID to jump to (hex)
  TsButton* sButton8 = nullptr;  // "Save strings"
  TsButton* sButton9 = nullptr;  // "Load strings"
  TsButton* sButton10 = nullptr;  // "Pack strings"
  TsOpenDialog* sOpenDialog1 = nullptr;
  TsSaveDialog* sSaveDialog1 = nullptr;
  TDataSource* ds1 = nullptr;
  TDataSource* dsStr = nullptr;
  // The tables: the model's languages, strings and (never filled) fonts.
  TClientDataSet* cds1 = nullptr;
  TClientDataSet* cdsStr = nullptr;
  TClientDataSet* CDSFont = nullptr;

  TLPEditorModel& Model() { return *FModel; }
  TEditorWindowHost& Host() { return *FHost; }

protected:
  void BeforeDestruction() override;
  void DoShow() override;
  void DoHide() override;

private:
  void DetachTables();
  void PlaceControls();
  // Runs a button's command with the source-file edit handed to the model before and back after;
  // an error reaches an error box.
  void Command(const std::function<void()>& action);

  // Hiding lets the image and the strings go: changes not saved are asked about first.
  void FormCloseQuery(TObject* sender, bool& canClose);
  void sFilenameEdit1ButtonClick(TObject* sender);
  void sButton11Click(TObject* sender);
  void sButton1Click(TObject* sender);
  void sButton3Click(TObject* sender);
  void sButton2Click(TObject* sender);
  void sButton4Click(TObject* sender);
  void sButton6Click(TObject* sender);
  void sButton7Click(TObject* sender);
  void sButton8Click(TObject* sender);
  void sButton9Click(TObject* sender);
  void sButton10Click(TObject* sender);
  void sEdit1Change(TObject* sender);

  std::unique_ptr<TEditorWindowHost> FHost;
  std::unique_ptr<TLPEditorModel> FModel;
};

extern TfmLPEditor* fmLPEditor;
