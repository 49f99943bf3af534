#pragma once

// The program's other windows, created once per process as the program creates them at its start;
// every test suite of the main window calls it, whichever runs first.
void CreateProgramForms();
