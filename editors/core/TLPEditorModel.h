#pragma once

#include "editors/core/TLanguagePack.h"
#include "editors/core/TStringsText.h"
#include "framework/base/TClientDataSet.h"
#include "framework/base/TObject.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class TEditorHost;
class TField;

// The language-pack editor's logic behind its buttons: the image in memory, the languages table and
// the strings table. The window only wires its controls to these methods and tables.
class TLPEditorModel : public TObject {
public:
  explicit TLPEditorModel(TEditorHost& host);
  ~TLPEditorModel() override;

  TClientDataSet& Languages() { return FLanguages; }
  TClientDataSet& Strings() { return FStrings; }
  // The "Fonts" page's table; nothing fills it.
  TClientDataSet& Fonts() { return FFonts; }
  // The source-file edit.
  const std::string& FileName() const { return FFileName; }
  void SetFileName(const std::string& value) { FFileName = value; }
  bool Loaded() const { return FPack != nullptr; }
  const TLanguagePack* Pack() const { return FPack.get(); }
  // The system's 8-bit code page for the text form of the strings.
  void SetCodePage(TStringsText::TToAnsi toAnsi, TStringsText::TFromAnsi fromAnsi);

  void Show();
  void Hide() { FreeLangpack(); }
  // Changes that hiding the editor would lose: strings that differ from those parsed or packed last
  // (a pending edit is posted first), or an image changed by packing, deleting or adding a language
  // and not saved since.
  bool HasUnsavedChanges();
  // Before the window closes: true when nothing would be lost, or when the user let the changes go
  // or saved them (packing changed strings first); false keeps the window open with the changes.
  bool CloseQuery();
  void OpenLangpack(bool reload);
  void FreeLangpack();
  int SelectedLanguage() const;

  void ParseLanguage();
  void PackStrings();
  void DeleteLanguage();
  void AddFromFile();
  void SaveLangpack();
  void MakeShx();
  void Flash();
  void SaveStrings();
  void LoadStrings();
  void LocateString(const std::string& hexId);

private:
  // Whose strings the strings table holds: a language's slot, none (loaded from a file), or a
  // language that was deleted since.
  static constexpr int kFromFile = -1;
  static constexpr int kDeletedLanguage = -2;

  TEditorHost& FHost;
  TClientDataSet FLanguages;
  TClientDataSet FStrings;
  TClientDataSet FFonts;
  TField* FText = nullptr;
  TField* FTextStr = nullptr;
  std::unique_ptr<TLanguagePack> FPack;
  std::string FFileName;
  int FStringsOwner = kFromFile;
  // The texts the strings table held when it was last parsed or packed; none after loading strings
  // from a file, which the image does not hold.
  std::optional<std::vector<std::u16string>> FSavedStrings;
  bool FImageChanged = false;
  TStringsText::TToAnsi FToAnsi;
  TStringsText::TFromAnsi FFromAnsi;

  void ListLanguages(int32_t keepId);
  // The strings table's texts and their string IDs, in table order.
  std::vector<std::u16string> TableTexts(std::vector<int32_t>* ids = nullptr);
  bool StringsChanged();
  void ReportDroppedUnits(const TPackResult& result, const std::vector<int32_t>& ids);
  void RefreshAddresses();
  void LanguagesCalcFields(TClientDataSet* dataSet);
  void StringsCalcFields(TClientDataSet* dataSet);
  void TextChange(TField* sender);
};
