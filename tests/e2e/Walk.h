#pragma once

// The walk's shared state and the helpers its steps use. The steps share one run of Tarvex.exe
// and run in order (WalkWineTest.cpp); the longer ones live in files of their own.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Firmware.h"
#include "tests/e2e/UserDriver.h"

using Bytes = std::vector<unsigned char>;

namespace walk {

extern std::unique_ptr<TUserDriver> user;
extern HWND mainWindow;
extern TFirmware firmware;
extern std::string firmwareDir;  // the generated firmware's files
extern bool phonePlugged;
// The superfile whose split left the images beside it: "firmware" (in firmwareDir), then "combined"
// (in the program's folder).
extern std::string imageBase;

Bytes Concat(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b);
const TShxGroup& Group(int cg);

// The image rows of a split, by the code group the row names: the RAM downloader (-2), CG 1 (the
// memory map and flash in one), 2, 4, 15 and 18.
std::vector<int> ImageRows();
// Where the row's image starts.
uint32_t ImageStart(int row);
// The image file the last split wrote for a row: "BASE{@0xSTART}TAG.smg" beside the superfile.
std::string ImagePath(int row);
// The image file the split names for a start and tag.
std::string ImageName(uint32_t start, const std::string& tag);
// The bytes a row's image must hold now: the firmware's, until a step edits it and says so.
const Bytes& ExpectedImage(int row);
void SetExpectedImage(int row, Bytes bytes);

// The lines of a multi-line text.
std::vector<std::string> Lines(const std::string& text);
// The first of `want` that does not follow the ones before it in `lines`; empty when all do.
std::string MissingInOrder(const std::vector<std::string>& lines, const std::vector<std::string>& want);
std::string FileText(const std::string& path);
uint32_t BigEndian32(const Bytes& bytes, std::size_t at);

// The loader's table names the first and last address of each image but the loader's.
void ExpectLoaderTable(const Bytes& loader);
// The images of the last split equal the expected ones. A combined superfile carries the loader
// with its table rewritten by the combination; the rest of the loader is the firmware's.
void ExpectImages(bool loaderTableFilled = false);

// Types a file name into the skinned open or save dialog and presses its button ("Open", "Save").
::testing::AssertionResult AnswerFileDialog(const std::string& button, const std::string& fileName,
                                            const std::string& shot);
// Splits a superfile through the main window: with the source edit empty, "Split file" asks for
// the file in the open dialog.
::testing::AssertionResult SplitThroughTheMainWindow(const std::string& superfile);

// The middle of a grid row (0 is the first image row) in the grid's client coordinates.
int GridRowY(int row);

// Steps in files of their own.
void EditLanguagePack();                                  // step 3, WalkEditors.cpp
void EditDrmImage();                                      // step 4, WalkEditors.cpp
void CheckWithOutsideTools(const std::string& combined);  // step 5, WalkOutsideTools.cpp
void SwitchSkins();                                       // step 7, WalkSkins.cpp

}  // namespace walk
