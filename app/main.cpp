#include <windows.h>

#include "app/ProgramStart.h"
#include "framework/win/TApplication.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  StartProgram();
  Application->Run();
  Application->DestroyComponents();
  return 0;
}
