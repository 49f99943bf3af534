#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "editors/TEditorFlasher.h"
#include "editors/TEditorMainLink.h"

class TForm;
class TfmLPEditor;
struct TGenLanguage;
class TOpenDialog;
class TsMessageForm;
class TWinControl;

// The main window as the editors see it, scripted: grid rows by code group, and a record of every
// combine, status text, gauge move and loader hand-off.
class TScriptedMainLink : public TEditorMainLink {
public:
  struct TCombine {
    int CG;
    std::string FileName;
    int32_t Address, Size;
  };
  std::map<int, TGridRow> Grid;
  std::vector<TCombine> Combines;
  std::vector<std::string> Statuses;
  std::vector<std::pair<int, int>> Progress;
  int LoaderFills = 0;
  bool Busy = false;
  TForm* Form = nullptr;

  TCustomForm* MainForm() override;
  std::optional<TGridRow> GridRow(int cg) override;
  void CombineSingleCG(int cg, const std::string& fileName, int32_t address, int32_t size) override {
    Combines.push_back({cg, fileName, address, size});
  }
  void FillFlasherLoader() override { ++LoaderFills; }
  void SetStatus(const std::string& text) override { Statuses.push_back(text); }
  void SetProgress(int position, int maximum) override { Progress.emplace_back(position, maximum); }
  std::pair<int, int> AskRawBounds(int width, int height) override { return {width, height}; }
  bool JobRunning() override { return Busy; }
};

// The flasher, scripted: its list and how often it was emptied and shown.
class TScriptedFlasher : public TEditorFlasher {
public:
  std::vector<TFlasherRow> Rows;
  int Resets = 0, Shows = 0;
  bool Run = false;

  bool Running() override { return Run; }
  void ResetList() override {
    ++Resets;
    Rows.clear();
  }
  void AppendRow(const TFlasherRow& row) override { Rows.push_back(row); }
  void Show() override { ++Shows; }
};

// Registers both for the life of a test and takes them out again.
class TScriptedEditorWorld {
public:
  TScriptedEditorWorld();
  ~TScriptedEditorWorld();
  TScriptedMainLink Main;
  TScriptedFlasher Flasher;
};

// Answers the next run of dialog with fileName (OK), or cancels it when fileName is empty.
void AnswerDialog(TOpenDialog* dialog, const std::string& fileName);

// Runs act on the next message box once its modal loop runs; Text() is what the box said.
void WhenBoxShown(std::function<void(TsMessageForm*)> act);
std::string BoxText(TsMessageForm* form);
// Records the next box's text into text and closes it with its button named button.
void CloseNextBox(std::string& text, const std::string& button);

void ClickButton(TWinControl* button);
// Keys as the keyboard sends them to the focused window: the key down and up, or a character.
void PostKey(HWND target, WORD key);
void TypeText(HWND target, const std::wstring& text);
// Characters typed on the keyboard (SendInput) into whatever has the focus.
void TypeKeys(const std::wstring& text);

// The language-pack editor's strings: the first n units a language has codes for that the keyboard
// types; the text typed into the cell of string number recNo with F2, posted with Enter when enter
// is set, else left open (false when F2 opened no cell); and the text that string holds.
std::wstring CodedUnits(const TGenLanguage& language, size_t n);
bool TypeIntoCell(TfmLPEditor* form, int recNo, const std::wstring& text, bool enter);
std::u16string StringText(TfmLPEditor* form, int recNo);

std::vector<uint8_t> ReadBytes(const std::string& fileName);
void WriteBytes(const std::string& fileName, const std::vector<uint8_t>& data);
