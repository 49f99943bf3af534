#pragma once

#include <functional>
#include <memory>
#include <string>

#include "framework/win/TCustomForm.h"

class TClientDataSet;
class TDataSource;
class TDBGrid;
class TsButton;
class TsGridAdapter;
class TsOpenDialog;
class TsSkinProvider;

// The external viewers: a list of programs with their parameters, kept in "Tarvex.cds" beside the
// executable; Ok opens the main grid's current image in the chosen one. Shown modelessly.
class TfmView : public TForm {
public:
  static constexpr const char* ListName = "Tarvex.cds";

  // folder: where the list is kept (with or without a trailing backslash); empty: the
  // executable's folder.
  explicit TfmView(TComponent* owner, std::string folder = "");
  ~TfmView() override;

  // The list's file, and whether it is written back when the window is destroyed.
  const std::string& ListFileName() const { return FListFileName; }
  bool SavesList() const { return FSaveList; }
  // Where Ok and the caption take the image's name from; the main grid's current row by default.
  void SetCurrentNameSource(std::function<std::string()> source) { FCurrentName = std::move(source); }

  std::unique_ptr<TClientDataSet> CDS1;  // Program (128), Parameters (20)
  TDataSource* DataSource1 = nullptr;
  TDBGrid* DBGrid1 = nullptr;
  TsButton* sButton1 = nullptr;  // "Ok"
  TsButton* sButton2 = nullptr;  // "Cancel"
  TsButton* sButton3 = nullptr;  // "Add external viewer"
  TsOpenDialog* OpenDialog1 = nullptr;
  TsGridAdapter* sGridAdapter1 = nullptr;
  TsSkinProvider* sSkinProvider1 = nullptr;

  void FormCreate(TObject* sender);
  void FormDestroy(TObject* sender);
  void FormShow(TObject* sender);
  void sButton1Click(TObject* sender);
  void sButton2Click(TObject* sender);
  void sButton3Click(TObject* sender);

private:
  std::string CurrentName();
  void PostPendingEdit();
  void LoadList();

  std::string FListFileName;
  bool FSaveList = true;
  std::function<std::string()> FCurrentName;
};

extern TfmView* fmView;
