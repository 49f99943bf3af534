#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "framework/win/TApplication.h"
#include "framework/win/TCustomForm.h"

// A shown form per test; controls made with Make<T>() are owned by it and sit on parent.
class ControlTest : public ::testing::Test {
protected:
  void SetUp() override {
    Application->Initialize();
    Form = NewComponent<TForm>(nullptr);
    Form->SetBounds(40, 40, 640, 480);
    Form->Show();
    Pump();
  }
  void TearDown() override {
    Form->Free();
    Pump();
  }

  template <typename T>
  T* Make(TWinControl* parent = nullptr) {
    return NewControl<T>(Form, parent != nullptr ? parent : Form);
  }

  static void Pump() { Application->ProcessMessages(); }

  // A handler that counts its calls.
  static TNotifyEvent Counter(int& count) {
    return TNotifyEvent::FromFunctor([&count](TObject*) { ++count; });
  }

  // Runs action once the next modal loop (a message box, a common dialog) is running.
  static void OnNextModal(std::function<void()> action);

  // Presses button id of the dialog box this thread shows; text gets the box's message.
  static bool AnswerDialog(int id, std::string* text = nullptr);

  TForm* Form = nullptr;
};
