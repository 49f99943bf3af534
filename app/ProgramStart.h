#pragma once

// The program's start up to its message loop: the units' registrations, the application, its help
// file and the ten windows, each created once in their order; the first is the main window.
void StartProgram();
