#pragma once

#include "editors/core/TLanguagePack.h"
#include "editors/core/TStringsText.h"
#include "framework/base/TClientDataSet.h"
#include "framework/base/TObject.h"

#include <memory>
#include <string>

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
  TStringsText::TToAnsi FToAnsi;
  TStringsText::TFromAnsi FFromAnsi;

  void ListLanguages(int32_t keepId);
  void RefreshAddresses();
  void LanguagesCalcFields(TClientDataSet* dataSet);
  void StringsCalcFields(TClientDataSet* dataSet);
  void TextChange(TField* sender);
};
