#include "EditorWindowTestSupport.h"

#include <commdlg.h>
#include <dlgs.h>

#include <fstream>
#include <iterator>

#include "editors/TfmLPEditor.h"
#include "framework/base/TClientDataSet.h"
#include "framework/base/TField.h"
#include "framework/win/TDBGrid.h"
#include "framework/win/TLabel.h"
#include "framework/win/TOpenDialog.h"
#include "framework/win/TScreen.h"
#include "skin/windows/TsMessageDlg.h"
#include "tests/editors/generators/LangPackGenerator.h"
#include "tests/framework/win/TestSupport.h"

TCustomForm* TScriptedMainLink::MainForm() { return Form; }

std::optional<TGridRow> TScriptedMainLink::GridRow(int cg) {
  const auto it = Grid.find(cg);
  if (it == Grid.end()) return std::nullopt;
  return it->second;
}

TScriptedEditorWorld::TScriptedEditorWorld() {
  SetEditorMainLink(&Main);
  SetEditorFlasher(&Flasher);
}

TScriptedEditorWorld::~TScriptedEditorWorld() {
  SetEditorMainLink(nullptr);
  SetEditorFlasher(nullptr);
}

void AnswerDialog(TOpenDialog* dialog, const std::string& fileName) {
  dialog->SetOnShow(TNotifyEvent::FromFunctor([dialog, fileName](TObject*) {
    // Answers once: the handler lets go of itself, so it copies what it needs first.
    const std::string name = fileName;
    TOpenDialog* const shown = dialog;
    shown->SetOnShow(TNotifyEvent());
    if (name.empty()) {
      PostMessageA(shown->Handle(), WM_COMMAND, IDCANCEL, 0);
      return;
    }
    SendMessageA(shown->Handle(), CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(name.c_str()));
    PostMessageA(shown->Handle(), WM_COMMAND, IDOK, 0);
  }));
}

namespace {

TsMessageForm* ShownBox() {
  for (int i = 0; i < Screen->FormCount(); ++i)
    if (auto* form = dynamic_cast<TsMessageForm*>(Screen->Forms(i)); form != nullptr && form->IsModal())
      return form;
  return nullptr;
}

void WhenBoxShown(std::function<void(TsMessageForm*)> act, int tries) {
  RunLater(5, [act = std::move(act), tries]() mutable {
    if (TsMessageForm* form = ShownBox(); form != nullptr && IsWindowVisible(form->Handle())) {
      act(form);
    } else if (tries > 0) {
      WhenBoxShown(std::move(act), tries - 1);
    }
  });
}

}  // namespace

void WhenBoxShown(std::function<void(TsMessageForm*)> act) { WhenBoxShown(std::move(act), 4000); }

std::string BoxText(TsMessageForm* form) {
  auto* label = dynamic_cast<TLabel*>(form->FindComponent("Message"));
  return label != nullptr ? label->Caption() : std::string();
}

void CloseNextBox(std::string& text, const std::string& button) {
  WhenBoxShown([&text, button](TsMessageForm* form) {
    text = BoxText(form);
    // A box other than the one awaited is closed too, so a wrong turn fails the test at once.
    for (const std::string& name : {button, std::string("OK"), std::string("Cancel"), std::string("No")}) {
      if (auto* b = dynamic_cast<TWinControl*>(form->FindComponent(name))) {
        ClickButton(b);
        return;
      }
    }
  });
}

void ClickButton(TWinControl* button) { SendMessageA(button->Handle(), BM_CLICK, 0, 0); }

void PostKey(HWND target, WORD key) {
  PostMessageA(target, WM_KEYDOWN, key, 1);
  PostMessageA(target, WM_KEYUP, key, 0xC0000001);
}

void TypeText(HWND target, const std::wstring& text) {
  for (wchar_t c : text) PostMessageW(target, WM_CHAR, c, 1);
}

void TypeKeys(const std::wstring& text) {
  std::vector<INPUT> inputs;
  for (wchar_t c : text) {
    for (DWORD up : {DWORD(0), DWORD(KEYEVENTF_KEYUP)}) {
      INPUT in{};
      in.type = INPUT_KEYBOARD;
      in.ki.wScan = WORD(c);
      in.ki.dwFlags = KEYEVENTF_UNICODE | up;
      inputs.push_back(in);
    }
  }
  SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT));
}

std::wstring CodedUnits(const TGenLanguage& language, size_t n) {
  std::wstring text;
  for (char16_t u : language.TreeUnits)
    if (u > 0x20 && u < 0x7F && text.size() < n) text.push_back(wchar_t(u));
  return text;
}

bool TypeIntoCell(TfmLPEditor* form, int recNo, const std::wstring& text, bool enter) {
  form->cdsStr->SetRecNo(recNo);
  form->DBGrid2->SetFocus();
  PostKey(form->DBGrid2->Handle(), VK_F2);
  Pump();
  if (!form->DBGrid2->EditorMode()) return false;
  TypeKeys(text);
  Pump();
  if (enter) PostKey(form->DBGrid2->EditorHandle(), VK_RETURN);
  Pump();
  return true;
}

std::u16string StringText(TfmLPEditor* form, int recNo) {
  form->cdsStr->SetRecNo(recNo);
  return form->cdsStr->FieldByName("Text")->AsWideString();
}

std::vector<uint8_t> ReadBytes(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& fileName, const std::vector<uint8_t>& data) {
  std::ofstream out(fileName, std::ios::binary);
  out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
}
