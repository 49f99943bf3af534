#pragma once

// The form every showcase of the skinned controls starts from:
//   SHOWCASE.exe SKINS_FOLDER SKIN_NAME|none
#include <windows.h>

#include <string>

#include "framework/win/TApplication.h"
#include "framework/win/TCustomForm.h"
#include "skin/engine/TsSkinManager.h"

// The application initialised and a form titled "title: skin", with the skin loaded unless it is
// "none". Until forms paint their own skin, the form takes the skin's colour.
inline TForm* ShowcaseForm(int argc, char** argv, const std::string& title, int width, int height) {
  Application->Initialize();
  const std::string skin = argc > 2 ? argv[2] : "none";
  TForm* form = NewComponent<TForm>(nullptr);
  form->SetCaption(title + ": " + skin);
  form->SetBounds(0, 0, width, height);
  if (skin != "none" && argc > 1) {
    auto* manager = NewComponent<TsSkinManager>(form);
    manager->SetSkinDirectory(argv[1]);
    manager->SetSkinName(skin);
    form->SetColor(GlobalSectionColor());
  }
  return form;
}

// Handles the application's messages for ms milliseconds.
inline void ShowcasePump(int ms) {
  const DWORD end = GetTickCount() + DWORD(ms);
  while (int(end - GetTickCount()) > 0) {
    Application->ProcessMessages();
    Sleep(5);
  }
}

// The application's skin manager on the skins folder, with the skin active unless it is "none".
inline TsSkinManager* ShowcaseSkinManager(const std::string& folder, const std::string& skin) {
  auto* manager = NewComponent<TsSkinManager>(Application);
  manager->SetSkinDirectory(folder);
  if (skin != "none") {
    manager->SetSkinName(skin);
    manager->SetActive(true);
  } else {
    manager->SetActive(false);
  }
  return manager;
}
