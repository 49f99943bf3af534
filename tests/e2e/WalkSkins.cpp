// Step 7: skin switches with every window shown. Each look is chosen in the environment options as
// a user does; every window and, in turn, each modal dialog is photographed in it. Only the
// windows' captions and the program's census are checked; the pictures are for a look by eye
// (TARVEX_WALK_KEEP keeps them).
#include <vector>

#include "tests/e2e/SkinSwitching.h"
#include "tests/e2e/Walk.h"
#include "tests/framework/win/TGuiCensus.h"

namespace walk {
namespace {

const TLook Looks[] = {{"nocturne", "Nocturne"}, {"none", nullptr}, {"desert", "Desert"}};

HWND Find(const std::vector<TShownWindow>& shown, const std::string& name) {
  for (const TShownWindow& s : shown)
    if (s.Name == name) return s.Window;
  return nullptr;
}

// The window a press opened, with this caption and of this class (either empty: any).
HWND Opened(const TSkinSwitcher& skins, const std::set<HWND>& before, const std::string& caption,
            const std::string& windowClass, const std::string& what) {
  HWND window = skins.WaitNewWindow(before, caption, windowClass);
  EXPECT_NE(window, nullptr) << user->Failure("no " + what);
  return window;
}

#define EXPECT_DONE(what)                              \
  do {                                                 \
    const std::string failed = (what);                 \
    EXPECT_EQ(failed, "") << user->Failure(failed);    \
  } while (0)
#define ASSERT_DONE(what)                              \
  do {                                                 \
    const std::string failed = (what);                 \
    ASSERT_EQ(failed, "") << user->Failure(failed);    \
  } while (0)

// Presses the button of a message box, which has one ("OK" for information, "Cancel" for errors).
void CloseMessageBox(TSkinSwitcher& skins, HWND box) {
  const std::vector<HWND> buttons = user->Children(box, "TsBitBtn");
  ASSERT_EQ(buttons.size(), 1u) << user->Failure("the message box has not one button");
  EXPECT_DONE(skins.PressToClose(box, buttons.front()));
}

// The DRM editor's "Open", which tells in a message box where it saved the picture table, and its
// "Replace" on the first picture, a RAW one: the open dialog, the RAW bounds and a message box.
void ShootTheReplacement(TSkinSwitcher& skins, HWND drm, const std::string& look) {
  ASSERT_NE(drm, nullptr);
  HWND open = skins.Button(drm, "Open"), replace = skins.Button(drm, "Replace");
  ASSERT_TRUE(open && replace) << user->Failure("the DRM editor lacks \"Open\" or \"Replace\"");
  std::set<HWND> before = skins.VisibleWindows();
  user->Click(open);
  HWND box = Opened(skins, before, "", "TsMessageForm", "message box after the DRM editor's \"Open\"");
  ASSERT_NE(box, nullptr);
  skins.Shot(box, look + "-message-box");
  CloseMessageBox(skins, box);

  before = skins.VisibleWindows();
  user->Click(replace);
  HWND dialog = Opened(skins, before, "Open", "", "open dialog from the DRM editor's \"Replace\"");
  ASSERT_NE(dialog, nullptr);
  skins.Shot(dialog, look + "-open-dialog");
  // The skinned dialog, or with the skin off the system's own.
  const bool skinned = !user->Children(dialog, "TsEdit").empty();
  const std::vector<HWND> edits = user->Children(dialog, skinned ? "TsEdit" : "Edit");
  HWND accept = user->Child(dialog, skinned ? "TsButton" : "Button", skinned ? "Open" : "&Open");
  ASSERT_TRUE(!edits.empty() && accept) << user->Failure("the open dialog lacks its name edit or \"Open\"");
  const std::string raw = firmwareDir + "\\replace.raw";
  user->Retype(edits.front(), raw);
  ASSERT_TRUE(user->WaitText(edits.front(), [&](const std::string& t) { return t == raw; }));
  before = skins.VisibleWindows();
  user->Click(accept);
  HWND bounds = Opened(skins, before, "Tarvex", "TfmRAWBounds", "RAW bounds dialog");
  ASSERT_NE(bounds, nullptr);
  skins.Shot(bounds, look + "-raw-bounds");
  before = skins.VisibleWindows();
  ASSERT_DONE(skins.CloseBy(bounds, "Ok"));
  box = Opened(skins, before, "", "TsMessageForm", "message box after the replacement");
  ASSERT_NE(box, nullptr);
  skins.Shot(box, look + "-message-box-replaced");
  CloseMessageBox(skins, box);
}

// The modal windows in turn, each photographed and closed by its buttons: the add dialog, the
// replacement's dialogs, the About box and the flasher's input box.
void ShootTheModalWindows(TSkinSwitcher& skins, const std::vector<TShownWindow>& shown, const std::string& look) {
  std::set<HWND> before = skins.VisibleWindows();
  user->Click(skins.Button(mainWindow, "Add"));
  if (HWND add = Opened(skins, before, "Add file ", "", "add dialog from \"Add\"")) {
    skins.Shot(add, look + "-add");
    EXPECT_DONE(skins.CloseBy(add, "Cancel"));
  }

  ShootTheReplacement(skins, Find(shown, "drm"), look);

  before = skins.VisibleWindows();
  skins.MenuByKeys(3, 1);
  if (HWND about = Opened(skins, before, "About", "", "About box from \"?\" - \"About\"")) {
    skins.Shot(about, look + "-about");
    EXPECT_DONE(skins.CloseBy(about, "Ok"));
  }

  HWND flasher = Find(shown, "flasher");
  before = skins.VisibleWindows();
  user->Click(skins.Button(flasher, "New address"));
  if (HWND input = Opened(skins, before, "Tarvex", "", "input box from the flasher's \"New address\"")) {
    skins.Shot(input, look + "-input-box");
    EXPECT_DONE(skins.CloseBy(input, "Cancel"));
  }
}

}  // namespace

void SwitchSkins() {
  TSkinSwitcher skins(*user, mainWindow);
  std::vector<TShownWindow> shown;
  ASSERT_DONE(skins.OpenTheWindows({GridRowY(1), GridRowY(2), GridRowY(3), GridRowY(4)}, shown));

  // Desert -> Nocturne -> none -> Desert, each look photographed.
  for (const TLook& look : Looks) {
    HWND options = skins.OpenEnvironmentOptions();
    ASSERT_NE(options, nullptr) << user->Failure("\"Options\" - \"Environment\" showed no environment options");
    ASSERT_DONE(skins.Choose(options, look));
    for (const TShownWindow& s : shown) {
      EXPECT_TRUE(IsWindowVisible(s.Window)) << user->Failure(s.Name + " went");
      if (s.Window == mainWindow)
        skins.ShotUncovered(s.Window, std::string(look.Name) + "-" + s.Name);
      else
        skins.Shot(s.Window, std::string(look.Name) + "-" + s.Name);
    }
    options = skins.OpenEnvironmentOptions();
    ASSERT_NE(options, nullptr);
    skins.Shot(options, std::string(look.Name) + "-options");
    ASSERT_DONE(skins.CloseBy(options, "Cancel"));
    ShootTheModalWindows(skins, shown, look.Name);
    if (::testing::Test::HasFatalFailure()) return;
  }

  // The program's windows and GDI objects stay flat over 20 switches between the two skins,
  // counted from outside after two switches have settled them. (Switching the skin off and on again
  // takes seconds with every window open, too long for a count over 20.)
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, user->ProcessId());
  ASSERT_NE(process, nullptr);
  // Counted once the windows have repainted and the program answers again.
  const auto settledCount = [&] {
    skins.RepaintNow();
    skins.Settled();
    return TGuiCensus::OfProcess(process);
  };
  const TLook nocturne = Looks[0], desert = Looks[2];
  std::vector<TGuiCensus> counts;  // after 2, 12 and 22 switches
  for (int i = 0; i <= 22 && !::testing::Test::HasFatalFailure(); ++i) {
    if (i % 10 == 2) counts.push_back(settledCount());
    if (i == 22) break;
    HWND options = skins.OpenEnvironmentOptions();
    ASSERT_NE(options, nullptr) << user->Failure("no environment options");
    ASSERT_DONE(skins.Choose(options, i % 2 == 0 ? nocturne : desert));
  }
  CloseHandle(process);
  ASSERT_EQ(counts.size(), 3u);
  // A leak grows in both halves of the switches. An object made once and kept (a cache filled on
  // the third switch) or held for a moment at one count (a paint's region) shows in one half only.
  const auto kinds = [](const TGuiCensus& c) {
    return std::vector<int>{c.Bitmaps(), c.DCs(), c.Fonts(), c.Brushes(), c.Pens(),
                            c.Regions(), c.Palettes(), c.OtherGdi(), c.Windows(), c.Menus()};
  };
  const TGuiCensus first = counts[1] - counts[0], second = counts[2] - counts[1];
  const std::vector<int> grewFirst = kinds(first), grewSecond = kinds(second);
  bool grew = false;
  for (size_t k = 0; k < grewFirst.size(); ++k) grew = grew || (grewFirst[k] > 0 && grewSecond[k] > 0);
  EXPECT_FALSE(grew) << "over two times 10 skin switches: " << first << ", then " << second;

  // The windows opened here go, so that the main window is left as before.
  EXPECT_DONE(skins.CloseTheWindows(shown));
}

}  // namespace walk
