#pragma once

#include <filesystem>
#include <initializer_list>
#include <string>

// The program's other windows, created once per process as the program creates them at its start;
// every test suite of the main window calls it, whichever runs first.
void CreateProgramForms();

// Copies the named bundled skins (a fresh "Skins" folder) beside the test program, where the main
// window looks for them.
void PlaceBundledSkins(std::initializer_list<const char*> skins);

// The program's ini beside the test program for a look: the skin's name, empty for none.
void WriteLookIni(const std::string& look);

// A fresh folder of that name in the temporary folder, current while the object lives (the split
// writes there); the old current folder comes back and the folder goes at the end.
class TCurrentFolder {
public:
  explicit TCurrentFolder(const std::string& name);
  ~TCurrentFolder();
  TCurrentFolder(const TCurrentFolder&) = delete;
  TCurrentFolder& operator=(const TCurrentFolder&) = delete;
  const std::filesystem::path& Path() const { return FPath; }

private:
  std::filesystem::path FPath;
  std::string FOld;
};
