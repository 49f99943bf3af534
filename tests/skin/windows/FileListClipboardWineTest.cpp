#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "framework/win/TBitmap.h"
#include "skin/windows/TsFileListView.h"
#include "tests/framework/win/TGuiCensus.h"
#include "tests/framework/win/TestSupport.h"

// "Clipboard as Contents" of a picture: the picture made for the clipboard is the clipboard's once
// given, and freed when the clipboard cannot take it.
TEST(FileListClipboard, APictureTheClipboardCannotTakeIsFreedAndOneItTakesIsOnIt) {
  const std::string name = TempFileName(".bmp");
  {
    TBitmap picture;
    picture.SetSize(8, 8);
    picture.SaveToFile(name);
  }
  // Another window holds the clipboard open.
  HWND holder = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_NE(holder, nullptr);
  ASSERT_TRUE(OpenClipboard(holder));
  const auto refusedCopy = [&] { EXPECT_FALSE(CopyFileContents(name)); };
  EXPECT_EQ(TGuiCensus::ChangeOver(40, refusedCopy), TGuiCensus());
  CloseClipboard();
  DestroyWindow(holder);

  EXPECT_TRUE(CopyFileContents(name));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
  DeleteFileA(name.c_str());
}
