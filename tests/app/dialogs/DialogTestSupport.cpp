#include "DialogTestSupport.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "framework/win/TWinControl.h"
#include "skin/controls/TsBitBtn.h"
#include "skin/windows/TsMessageDlg.h"

void Click(TWinControl* button) { SendMessageA(button->Handle(), BM_CLICK, 0, 0); }

void AnswerBox(const std::string& button, TBoxSeen& seen, int tries) {
  seen.Done = false;
  WhenShown<TsMessageForm>(
      [button, &seen](TsMessageForm* form) {
    ++seen.Count;
    seen.Caption = form->Caption();
    seen.Buttons.clear();
    for (int i = 0; i < form->ComponentCount(); ++i) {
      if (auto* b = dynamic_cast<TsBitBtn*>(form->Components(i))) seen.Buttons.push_back(b->Name());
      if (auto* c = dynamic_cast<TControl*>(form->Components(i)); c != nullptr && c->Name() == "Message")
        seen.Text = c->Caption();
    }
    seen.Done = true;
    if (auto* b = dynamic_cast<TWinControl*>(form->FindComponent(button))) Click(b);
      },
      tries, [&seen] { seen.Done = true; });
}

void WaitDone(const TBoxSeen& seen) {
  while (!seen.Done) {
    Application->ProcessMessages();
    Sleep(1);
  }
}

TScratchFolder::TScratchFolder() {
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, temp);
  static int counter = 0;
  FPath = std::string(temp) + "tarvex_dlg_" + std::to_string(GetCurrentProcessId()) + "_" +
          std::to_string(++counter) + "\\";
  std::filesystem::create_directories(FPath);
}

TScratchFolder::~TScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(FPath, ignored);
}

void WriteBytes(const std::string& file, const std::vector<unsigned char>& bytes) {
  std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<unsigned char> ReadBytes(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool FileExists(const std::string& file) {
  const DWORD a = GetFileAttributesA(file.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}
