#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "framework/win/TScreen.h"
#include "skin/windows/TsMessageDlg.h"

// Answers every skinned message box while it lives, from a thread timer, so whatever modal loop
// shows the box answers it: records the box and clicks the next of Answers, or its only button.
class TBoxAnswerer {
public:
  // One box as shown: its caption (the box's type), text and buttons.
  struct TBox {
    std::string Caption;
    std::string Text;
    std::vector<std::string> Buttons;   // by name (the answers name them too)
    std::vector<std::string> Captions;  // what they read, in the same order
  };

  explicit TBoxAnswerer(std::vector<std::string> answers = {}) : Answers(std::move(answers)) {
    Current() = this;
    FTimer = SetTimer(nullptr, 0, 10, &TBoxAnswerer::Tick);
  }
  ~TBoxAnswerer() {
    KillTimer(nullptr, FTimer);
    Current() = nullptr;
  }
  TBoxAnswerer(const TBoxAnswerer&) = delete;
  TBoxAnswerer& operator=(const TBoxAnswerer&) = delete;

  std::vector<std::string> Answers;
  std::vector<TBox> Boxes;

private:
  static TBoxAnswerer*& Current() {
    static TBoxAnswerer* current = nullptr;
    return current;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    TBoxAnswerer* self = Current();
    if (self == nullptr) return;
    for (int i = 0; i < Screen->FormCount(); ++i) {
      auto* form = dynamic_cast<TsMessageForm*>(Screen->Forms(i));
      if (form == nullptr || !form->IsModal() || !IsWindowVisible(form->Handle()) || form->ModalResult() != 0)
        continue;
      TBox box;
      box.Caption = form->Caption();
      if (auto* label = dynamic_cast<TControl*>(form->FindComponent("Message"))) box.Text = label->Caption();
      for (const char* name : {"Yes", "No", "OK", "Cancel"})
        if (auto* button = dynamic_cast<TControl*>(form->FindComponent(name))) {
          box.Buttons.push_back(name);
          box.Captions.push_back(button->Caption());
        }
      std::string answer = box.Buttons.size() == 1 ? box.Buttons[0] : "";
      if (self->Boxes.size() < self->Answers.size()) answer = self->Answers[self->Boxes.size()];
      self->Boxes.push_back(box);
      if (auto* button = dynamic_cast<TWinControl*>(form->FindComponent(answer)))
        SendMessageA(button->Handle(), BM_CLICK, 0, 0);
      else
        form->SetModalResult(mrCancel);
      return;
    }
  }
  UINT_PTR FTimer;
};
