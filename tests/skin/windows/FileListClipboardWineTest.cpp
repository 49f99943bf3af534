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

namespace {

// The clipboard's data of a format as bytes up to the first zero; empty when absent.
std::string ClipboardBytes(UINT format) {
  std::string bytes;
  if (!OpenClipboard(nullptr)) return bytes;
  if (HANDLE data = GetClipboardData(format)) {
    if (const char* p = static_cast<const char*>(GlobalLock(data))) {
      bytes.assign(p, strnlen(p, GlobalSize(data)));
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return bytes;
}

std::string WriteTemp(const char* extension, const std::string& content) {
  const std::string name = TempFileName(extension);
  HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, content.data(), DWORD(content.size()), &written, nullptr);
  CloseHandle(file);
  return name;
}

}  // namespace

// A rich text file goes on the clipboard as rich text, with its plain text beside it; a text file
// as text alone.
TEST(FileListClipboard, RichTextFilesAreCopiedAsRichText) {
  const UINT rtfFormat = RegisterClipboardFormatA("Rich Text Format");
  const std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 {\\b Bold} plain\\par second\\par}";
  const std::string rich = WriteTemp(".rtf", rtf);
  ASSERT_TRUE(CopyFileContents(rich));
  EXPECT_TRUE(IsClipboardFormatAvailable(rtfFormat));
  EXPECT_EQ(ClipboardBytes(rtfFormat), rtf);
  const std::string plain = ClipboardBytes(CF_TEXT);
  EXPECT_EQ(plain.rfind("Bold plain\r\nsecond", 0), 0u) << plain;
  EXPECT_EQ(plain.find('\\'), std::string::npos) << plain;

  const std::string text = WriteTemp(".txt", "just {text}\r\n");
  ASSERT_TRUE(CopyFileContents(text));
  EXPECT_FALSE(IsClipboardFormatAvailable(rtfFormat));
  EXPECT_EQ(ClipboardBytes(CF_TEXT), "just {text}\r\n");
  DeleteFileA(rich.c_str());
  DeleteFileA(text.c_str());
}
