#include "editors/core/TLPEditorModel.h"

#include "editors/core/ELangPackError.h"
#include "editors/core/EditorFiles.h"
#include "editors/core/EditorHex.h"
#include "editors/core/LanguageName.h"
#include "editors/core/TEditorHost.h"
#include "framework/base/AnsiStrings.h"
#include "framework/base/TField.h"
#include "framework/base/TStringField.h"
#include "framework/base/TWideStringField.h"

namespace {

constexpr int kStringsWidth = static_cast<int>(TLanguagePack::MaxStringUnits);
// The strings a report names one by one; the rest are counted.
constexpr size_t kNamedStrings = 20;

}  // namespace

TLPEditorModel::TLPEditorModel(TEditorHost& host) : FHost(host), FToAnsi(WideToAnsi), FFromAnsi(AnsiToWide) {
  FLanguages.AddIntegerField("ID");
  FLanguages.AddStringField("Name", 40);
  FLanguages.AddIntegerField("Address");
  FLanguages.AddIntegerField("iTapAddr");
  FLanguages.AddStringField("IDStr", 2, TFieldKind::fkCalculated);
  FLanguages.AddIntegerField("Count");
  FLanguages.AddStringField("sAddress", 8, TFieldKind::fkCalculated);
  FLanguages.AddStringField("siTapAddr", 8, TFieldKind::fkCalculated);
  FLanguages.SetOnCalcFields(MakeDelegate(this, &TLPEditorModel::LanguagesCalcFields));

  FStrings.AddIntegerField("ID");
  // 255 units: every string the codec decodes fits, so parsing and packing again loses nothing.
  FText = FStrings.AddWideStringField("Text", kStringsWidth);
  FStrings.AddStringField("IDStr", 4, TFieldKind::fkCalculated);
  FTextStr = FStrings.AddStringField("textstr", kStringsWidth);
  FStrings.SetOnCalcFields(MakeDelegate(this, &TLPEditorModel::StringsCalcFields));
  FText->SetOnChange(MakeDelegate(this, &TLPEditorModel::TextChange));

  for (const char* name : {"ID", "Addr", "Width", "Height", "Value"}) FFonts.AddIntegerField(name);
}

TLPEditorModel::~TLPEditorModel() = default;

void TLPEditorModel::SetCodePage(TStringsText::TToAnsi toAnsi, TStringsText::TFromAnsi fromAnsi) {
  FToAnsi = std::move(toAnsi);
  FFromAnsi = std::move(fromAnsi);
}

void TLPEditorModel::Show() {
  FFileName.clear();
  if (const auto row = FHost.GridRow(4)) {
    FFileName = row->Name;
    OpenLangpack(true);
  }
}

void TLPEditorModel::OpenLangpack(bool reload) {
  std::string name = FFileName;
  if (name.empty()) name = FHost.OpenFileName(TFilterKind::LangPacks);
  if (name.empty()) return;
  FFileName = name;
  // The new image is checked before the old one is let go: a damaged file changes nothing.
  std::unique_ptr<TLanguagePack> pack;
  try {
    pack = std::make_unique<TLanguagePack>(EditorFiles::ReadWholeFile(name));
  } catch (const ELangPackError& e) {
    FHost.ShowError(e.Message() + "\r" + name);
    return;
  }
  const int32_t keepId =
      FLanguages.Active() && !FLanguages.IsEmpty() ? FLanguages.FieldByName("ID")->AsInteger() : -1;
  if (reload) FreeLangpack();
  FPack = std::move(pack);
  ListLanguages(reload ? -1 : keepId);
}

void TLPEditorModel::ListLanguages(int32_t keepId) {
  FLanguages.CreateDataSet();
  for (int slot = 0; slot < FPack->Count(); ++slot) {
    const TLanguageInfo info = FPack->Language(slot);
    FLanguages.AppendRecord({static_cast<int32_t>(info.ID), LanguageName(info.ID),
                             static_cast<int32_t>(info.Address), static_cast<int32_t>(info.ITapAddress)});
  }
  if (keepId == -1 || !FLanguages.Locate("ID", keepId)) FLanguages.First();
}

// Moving data moves the languages behind it; their rows follow the image.
void TLPEditorModel::RefreshAddresses() {
  const int recNo = FLanguages.RecNo();
  const TControlsDisabled quiet(FLanguages);
  FLanguages.First();
  for (int slot = 0; slot < FPack->Count() && !FLanguages.Eof(); ++slot) {
    const TLanguageInfo info = FPack->Language(slot);
    FLanguages.Edit();
    FLanguages.FieldByName("Address")->SetAsInteger(static_cast<int32_t>(info.Address));
    FLanguages.FieldByName("iTapAddr")->SetAsInteger(static_cast<int32_t>(info.ITapAddress));
    FLanguages.Post();
    FLanguages.Next();
  }
  if (recNo > 0) FLanguages.SetRecNo(recNo);
}

void TLPEditorModel::FreeLangpack() {
  if (!FPack) return;
  FPack.reset();
  FLanguages.Close();
  FStrings.Close();
  FStringsOwner = kFromFile;
  FSavedStrings.reset();
  FImageChanged = false;
}

int TLPEditorModel::SelectedLanguage() const {
  if (!FLanguages.Active() || FLanguages.IsEmpty()) return -1;
  return FLanguages.RecNo() - 1;
}

void TLPEditorModel::ParseLanguage() {
  const int slot = SelectedLanguage();
  if (slot < 0) return;
  if (!FPack) {
    FHost.ShowError(FHost.Message(TMsgId::LangPackNotLoaded));
    return;
  }
  FHost.SetStatus(FHost.Message(TMsgId::ExtractingStrings));
  std::vector<std::u16string> strings;
  try {
    strings = FPack->Decode(slot, [this](int k, int n) { FHost.SetProgress(k, n); });
  } catch (const ELangPackError& e) {
    FHost.ShowError(e.Message());
    return;
  }
  {
    const TControlsDisabled quiet(FStrings);
    FStrings.CreateDataSet();
    for (size_t k = 0; k < strings.size(); ++k)
      FStrings.AppendRecord({static_cast<int32_t>(k + 1), strings[k]});
    FStrings.First();
  }
  FStringsOwner = slot;
  FSavedStrings = std::move(strings);
  FHost.SetStatus(FHost.Message(TMsgId::StringsExtracted));
}

void TLPEditorModel::PackStrings() {
  if (!FPack || !FStrings.Active() || FStrings.IsEmpty()) return;
  const int slot = SelectedLanguage();
  if (slot < 0) return;
  if (FStringsOwner == kDeletedLanguage || (FStringsOwner >= 0 && FStringsOwner != slot)) {
    FHost.ShowError("The strings belong to another language; nothing was packed.");
    return;
  }
  FHost.SetStatus(FHost.Message(TMsgId::PackingStrings));
  std::vector<int32_t> ids;
  std::vector<std::u16string> strings = TableTexts(&ids);
  TPackResult result;
  try {
    result = FPack->Pack(slot, strings, [this](int k, int n) { FHost.SetProgress(k, n); });
  } catch (const ELangPackError& e) {
    FHost.ShowError(e.Message());
    return;
  }
  FStringsOwner = slot;
  FSavedStrings = std::move(strings);
  FImageChanged = true;
  RefreshAddresses();
  std::string status = FHost.Message(TMsgId::StringsPacked);
  if (result.DroppedUnits > 0) {
    status +=
        " " + IntToStr(result.DroppedUnits) + " characters without a code in this language were left out.";
  }
  FHost.SetStatus(status);
  ReportDroppedUnits(result, ids);
}

// Said in the editor, where the user is, and not only on the main window's status line.
void TLPEditorModel::ReportDroppedUnits(const TPackResult& result, const std::vector<int32_t>& ids) {
  if (result.DroppedUnits == 0) return;
  std::string named;
  for (size_t i = 0; i < result.DroppedIn.size() && i < kNamedStrings; ++i) {
    const size_t k = result.DroppedIn[i];
    named += (i == 0 ? "" : ", ") + IntToHex(k < ids.size() ? ids[k] : static_cast<int32_t>(k + 1), 4);
  }
  const int strings = static_cast<int>(result.DroppedIn.size());
  if (result.DroppedIn.size() > kNamedStrings)
    named += " and " + IntToStr(strings - static_cast<int>(kNamedStrings)) + " more";
  FHost.ShowWarning(IntToStr(result.DroppedUnits) +
                    " characters have no code in this language and were left out of the packed strings.\r" +
                    (strings == 1 ? "String: " : "Strings (" + IntToStr(strings) + "): ") + named);
}

std::vector<std::u16string> TLPEditorModel::TableTexts(std::vector<int32_t>* ids) {
  std::vector<std::u16string> texts;
  const TBookmark mark = FStrings.GetBookmark();
  const TControlsDisabled quiet(FStrings);
  const TField* id = FStrings.FieldByName("ID");
  for (FStrings.First(); !FStrings.Eof(); FStrings.Next()) {
    texts.push_back(FText->AsWideString());
    if (ids != nullptr) ids->push_back(id->AsInteger());
  }
  if (FStrings.BookmarkValid(mark)) FStrings.GotoBookmark(mark);
  return texts;
}

bool TLPEditorModel::StringsChanged() {
  if (!FStrings.Active()) return false;
  return !FSavedStrings || TableTexts() != *FSavedStrings;
}

bool TLPEditorModel::HasUnsavedChanges() {
  if (!FPack) return false;
  if (FStrings.State() == TDataSetState::dsEdit || FStrings.State() == TDataSetState::dsInsert)
    FStrings.Post();
  return FImageChanged || StringsChanged();
}

bool TLPEditorModel::CloseQuery() {
  if (!HasUnsavedChanges()) return true;
  const bool strings = StringsChanged();
  const std::string what = strings ? "The strings were changed and are not packed into the language pack."
                                   : "The language pack was changed and is not saved.";
  switch (FHost.AskSaveChanges(what + "\rSave the changes before the editor closes?\r" +
                               "(Don't save lets them go; Cancel keeps the editor open.)")) {
    case TSaveAnswer::Discard:
      return true;
    case TSaveAnswer::Cancel:
      return false;
    case TSaveAnswer::Save:
      break;
  }
  if (strings) {
    PackStrings();
    // Refused or failed: the box said why, and the strings stay to be seen to.
    if (StringsChanged()) return false;
  }
  SaveLangpack();
  return !FImageChanged;
}

void TLPEditorModel::DeleteLanguage() {
  const int slot = SelectedLanguage();
  if (!FPack || slot < 0) return;
  if (!FHost.AskYesNo(FHost.Message(TMsgId::DeleteLanguage))) return;
  try {
    FPack->Delete(slot);
  } catch (const ELangPackError& e) {
    FHost.ShowError(e.Message());
    return;
  }
  FImageChanged = true;
  FLanguages.Delete();
  if (FStringsOwner == slot) {
    FStringsOwner = kDeletedLanguage;
  } else if (FStringsOwner > slot) {
    --FStringsOwner;
  }
  RefreshAddresses();
}

void TLPEditorModel::AddFromFile() {
  if (!FPack || FPack->Count() == 0) return;
  FLanguages.Last();
  const std::string name = FHost.OpenFileName(TFilterKind::Languages);
  if (name.empty()) return;
  if (FPack->Count() >= TLanguagePack::MaxLanguages) {
    FHost.ShowError(FHost.Message(TMsgId::TooManyLanguages));
    return;
  }
  try {
    FPack->Insert(EditorFiles::ReadWholeFile(name));
  } catch (const ELangPackError& e) {
    FHost.ShowError(e.Message());
    return;
  }
  FImageChanged = true;
  const TLanguageInfo info = FPack->Language(FPack->Count() - 1);
  FLanguages.AppendRecord({static_cast<int32_t>(info.ID), LanguageName(info.ID),
                           static_cast<int32_t>(info.Address), static_cast<int32_t>(info.ITapAddress)});
  RefreshAddresses();
  FHost.ShowInfo(FHost.Message(TMsgId::LanguageAdded) + ": \r" + name);
}

void TLPEditorModel::SaveLangpack() {
  if (!FPack) return;
  const std::string name = FHost.SaveFileName(TFilterKind::CodeGroupImages, FFileName);
  if (name.empty()) return;
  EditorFiles::WriteWholeFile(name, FPack->Image());
  FImageChanged = false;
  FFileName = name;
  OpenLangpack(false);
  FHost.ShowInfo(FHost.Message(TMsgId::DataSaved) + ":\r" + name);
}

void TLPEditorModel::MakeShx() {
  if (!FPack) return;
  FHost.CombineSingleCG(4, FFileName, static_cast<int32_t>(FPack->Base()),
                        static_cast<int32_t>(FPack->Image().size()));
}

void TLPEditorModel::Flash() {
  FHost.SendToFlasher(EditorFiles::FlasherRowOf(FFileName, 4, "LangPack", 0), true);
}

void TLPEditorModel::SaveStrings() {
  if (!FStrings.Active()) return;
  const std::string proposed =
      FLanguages.Active() ? FLanguages.FieldByName("Name")->AsString() + ".txt" : ".txt";
  const std::string name = FHost.SaveFileNameUnfiltered(proposed);
  if (name.empty()) return;
  const std::string ext = ExtractFileExt(name);
  if (ext == ".xml" || ext == ".cds") {
    FStrings.SaveToFile(name, ext == ".xml" ? TDataPacketFormat::dfXML : TDataPacketFormat::dfBinary);
    return;
  }
  std::vector<int32_t> ids;
  const std::vector<std::u16string> texts = TableTexts(&ids);
  std::vector<TStringRow> rows;
  for (size_t i = 0; i < texts.size(); ++i) rows.push_back({ids[i], texts[i]});
  const std::string text = TStringsText(FToAnsi, FFromAnsi).Export(rows);
  EditorFiles::WriteWholeFile(name, std::vector<uint8_t>(text.begin(), text.end()));
}

void TLPEditorModel::LoadStrings() {
  const std::string name = FHost.OpenFileNameWithLastFilter();
  if (name.empty()) return;
  const std::string ext = ExtractFileExt(name);
  if (ext == ".xml" || ext == ".cds") {
    FStrings.LoadFromFile(name);
    FStringsOwner = kFromFile;
    FSavedStrings.reset();
    return;
  }
  const std::vector<uint8_t> bytes = EditorFiles::ReadWholeFile(name);
  const auto rows = TStringsText(FToAnsi, FFromAnsi).Import(std::string(bytes.begin(), bytes.end()));
  int cut = 0;
  {
    const TControlsDisabled quiet(FStrings);
    FStrings.CreateDataSet();
    for (const TStringRow& row : rows) {
      cut += row.Text.size() > TLanguagePack::MaxStringUnits;
      FStrings.AppendRecord({row.ID, row.Text});
    }
    FStrings.First();
  }
  FStringsOwner = kFromFile;
  FSavedStrings.reset();
  if (cut > 0) {
    FHost.ShowError(IntToStr(cut) + " strings were longer than 255 characters and were cut.");
  }
}

void TLPEditorModel::LocateString(const std::string& hexId) {
  if (FStrings.Active()) FStrings.Locate("id", EditorHex::HexToInt(hexId));
}

void TLPEditorModel::LanguagesCalcFields(TClientDataSet* dataSet) {
  dataSet->FieldByName("IDStr")->SetAsString(IntToHex(dataSet->FieldByName("ID")->AsInteger(), 2));
  dataSet->FieldByName("sAddress")->SetAsString(IntToHex(dataSet->FieldByName("Address")->AsInteger(), 8));
  dataSet->FieldByName("siTapAddr")->SetAsString(IntToHex(dataSet->FieldByName("iTapAddr")->AsInteger(), 8));
}

void TLPEditorModel::StringsCalcFields(TClientDataSet* dataSet) {
  dataSet->FieldByName("IDStr")->SetAsString(IntToHex(dataSet->FieldByName("ID")->AsInteger(), 4));
}

void TLPEditorModel::TextChange(TField*) {
  FTextStr->SetAsString(FToAnsi(FText->AsWideString()));
}
