#pragma once

#include <initializer_list>

// The program's other windows, created once per process as the program creates them at its start;
// every test suite of the main window calls it, whichever runs first.
void CreateProgramForms();

// Copies the named bundled skins (a fresh "Skins" folder) beside the test program, where the main
// window looks for them.
void PlaceBundledSkins(std::initializer_list<const char*> skins);
