#include <windows.h>
#include <commctrl.h>

#include "ControlTestSupport.h"
#include "framework/win/TBitBtn.h"
#include "framework/win/TButton.h"
#include "framework/win/TCheckBox.h"
#include "framework/win/TCustomEdit.h"
#include "framework/win/TImage.h"
#include "framework/win/TLabel.h"
#include "framework/win/TMemo.h"
#include "framework/win/TPaintBox.h"
#include "framework/win/TPanel.h"
#include "framework/win/TRadioButton.h"
#include "framework/win/TRadioGroup.h"
#include "framework/win/TRichEdit.h"
#include "framework/win/TScrollBar.h"
#include "framework/win/TSpeedButton.h"
#include "framework/win/TStatusBar.h"
#include "framework/win/TUpDown.h"

namespace {

using StdControls = ControlTest;

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

TEST_F(StdControls, ButtonClicksOnceAndSetsTheModalResultOfItsForm) {
  auto* ok = Make<TButton>();
  int clicks = 0;
  ok->SetOnClick(Counter(clicks));
  ok->SetModalResult(mrOk);
  SendMessageA(ok->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(Form->ModalResult(), mrOk);
}

TEST_F(StdControls, ReturnPressesTheDefaultButtonAndEscapeTheCancelButton) {
  auto* ok = Make<TButton>();
  auto* cancel = Make<TButton>();
  int okClicks = 0, cancelClicks = 0;
  ok->SetOnClick(Counter(okClicks));
  cancel->SetOnClick(Counter(cancelClicks));
  ok->SetDefault(true);
  cancel->SetCancel(true);
  EXPECT_EQ(GetWindowLongPtrA(ok->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_NE(Form->Perform(CM_DIALOGKEY, VK_RETURN, 0), 0);
  EXPECT_EQ(okClicks, 1);
  EXPECT_EQ(cancelClicks, 0);
  EXPECT_NE(Form->Perform(CM_DIALOGKEY, VK_ESCAPE, 0), 0);
  EXPECT_EQ(cancelClicks, 1);
  // A hidden default button is not pressed.
  ok->Hide();
  EXPECT_EQ(Form->Perform(CM_DIALOGKEY, VK_RETURN, 0), 0);
  EXPECT_EQ(okClicks, 1);
}

TEST_F(StdControls, BitBtnKindGivesCaptionResultAndRole) {
  auto* button = Make<TBitBtn>();
  button->SetKind(bkCancel);
  EXPECT_EQ(button->Caption(), "Cancel");
  EXPECT_EQ(button->ModalResult(), mrCancel);
  EXPECT_TRUE(button->Cancel());
  // Owner-drawn so that the glyph can be painted.
  EXPECT_EQ(GetWindowLongPtrA(button->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
  int clicks = 0;
  button->SetOnClick(Counter(clicks));
  SendMessageA(button->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(Form->ModalResult(), mrCancel);
}

TEST_F(StdControls, SpeedButtonsOfAGroupAreExclusiveAndAllowAllUpLetsTheLastGoUp) {
  TSpeedButton* b[3];
  int clicks = 0;
  for (int i = 0; i < 3; ++i) {
    b[i] = Make<TSpeedButton>();
    b[i]->SetBounds(10 + i * 30, 10, 25, 25);
    b[i]->SetGroupIndex(1);
    b[i]->SetOnClick(Counter(clicks));
  }
  auto press = [](TSpeedButton* button, int x, int y) {
    button->Perform(WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
    button->Perform(WM_LBUTTONUP, 0, At(x, y));
  };
  press(b[0], 5, 5);
  EXPECT_TRUE(b[0]->Down());
  press(b[2], 5, 5);
  EXPECT_FALSE(b[0]->Down());
  EXPECT_TRUE(b[2]->Down());
  EXPECT_EQ(clicks, 2);
  // Without AllowAllUp the down button stays down.
  press(b[2], 5, 5);
  EXPECT_TRUE(b[2]->Down());
  b[0]->SetAllowAllUp(true);
  EXPECT_TRUE(b[2]->AllowAllUp());
  press(b[2], 5, 5);
  EXPECT_FALSE(b[2]->Down());
  // A press released outside the button neither clicks nor toggles.
  int before = clicks;
  b[1]->Perform(WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
  b[1]->Perform(WM_MOUSEMOVE, MK_LBUTTON, At(100, 100));
  EXPECT_EQ(b[1]->State(), bsUp);
  b[1]->Perform(WM_LBUTTONUP, 0, At(100, 100));
  EXPECT_EQ(clicks, before);
  EXPECT_FALSE(b[1]->Down());
}

TEST_F(StdControls, CheckBoxStepsThroughItsStatesAndTheNativeBoxFollows) {
  auto* box = Make<TCheckBox>();
  int clicks = 0;
  box->SetOnClick(Counter(clicks));
  box->SetAllowGrayed(true);
  SendMessageA(box->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(box->State(), cbChecked);
  SendMessageA(box->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(box->State(), cbGrayed);
  EXPECT_EQ(SendMessageA(box->Handle(), BM_GETCHECK, 0, 0), BST_INDETERMINATE);
  SendMessageA(box->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(box->State(), cbUnchecked);
  EXPECT_EQ(clicks, 3);
  box->SetChecked(true);
  EXPECT_EQ(clicks, 4);
  box->SetChecked(true);
  EXPECT_EQ(clicks, 4);
  // The state survives a rebuilt window.
  box->SetAlignment(taLeftJustify);
  EXPECT_EQ(SendMessageA(box->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(StdControls, RadioButtonsAreExclusiveAmongSiblingsOnly) {
  auto* panelA = Make<TPanel>();
  auto* panelB = Make<TPanel>();
  panelB->SetTop(100);
  TRadioButton* a[3];
  for (int i = 0; i < 3; ++i) {
    a[i] = Make<TRadioButton>(panelA);
    a[i]->SetTop(i * 12);
  }
  auto* other = Make<TRadioButton>(panelB);
  other->SetChecked(true);
  int clicks = 0;
  a[1]->SetOnClick(Counter(clicks));
  SendMessageA(a[0]->Handle(), BM_CLICK, 0, 0);
  SendMessageA(a[1]->Handle(), BM_CLICK, 0, 0);
  EXPECT_FALSE(a[0]->Checked());
  EXPECT_TRUE(a[1]->Checked());
  EXPECT_EQ(SendMessageA(a[0]->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageA(a[1]->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_TRUE(other->Checked());
  // Clicking the checked one again is no change.
  SendMessageA(a[1]->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);
}

TEST_F(StdControls, CheckBoxAndRadioButtonAnswerTheirAccelerators) {
  auto* box = Make<TCheckBox>();
  box->SetCaption("&Wrap");
  auto* radio = Make<TRadioButton>();
  radio->SetTop(30);
  radio->SetCaption("&Left");
  int doubles = 0;
  radio->SetOnDblClick(Counter(doubles));
  EXPECT_NE(Form->Perform(CM_DIALOGCHAR, 'w', 0), 0);
  Pump();
  EXPECT_EQ(GetFocus(), box->Handle());
  EXPECT_TRUE(box->Checked());
  EXPECT_NE(Form->Perform(CM_DIALOGCHAR, 'l', 0), 0);
  Pump();
  EXPECT_EQ(GetFocus(), radio->Handle());
  EXPECT_TRUE(radio->Checked());
  EXPECT_TRUE(box->Checked());
  // A disabled control leaves its accelerator to others.
  box->SetEnabled(false);
  EXPECT_EQ(Form->Perform(CM_DIALOGCHAR, 'w', 0), 0);
  EXPECT_TRUE(box->Checked());
  radio->Perform(CN_COMMAND, MAKEWPARAM(0, BN_DOUBLECLICKED), 0);
  EXPECT_EQ(doubles, 1);
}

TEST_F(StdControls, RadioGroupTracksItemIndexFromClicksAndCode) {
  auto* group = Make<TRadioGroup>();
  group->SetBounds(10, 10, 300, 120);
  TStringList items;
  items.SetCommaText("Code,Start,End,Size");
  group->SetItems(items);
  group->SetColumns(2);
  int clicks = 0;
  group->SetOnClick(Counter(clicks));
  SendMessageA(group->Buttons(2)->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(group->ItemIndex(), 2);
  EXPECT_EQ(clicks, 1);
  group->SetItemIndex(0);
  EXPECT_EQ(clicks, 2);
  EXPECT_TRUE(group->Buttons(0)->Checked());
  EXPECT_FALSE(group->Buttons(2)->Checked());
  // Two columns of two: the third item starts the second column.
  EXPECT_EQ(group->Buttons(0)->Left(), group->Buttons(1)->Left());
  EXPECT_GT(group->Buttons(2)->Left(), group->Buttons(0)->Left());
  EXPECT_EQ(group->Buttons(2)->Top(), group->Buttons(0)->Top());
  group->SetItemIndex(9);
  EXPECT_EQ(group->ItemIndex(), -1);
}

TEST_F(StdControls, EditHonoursLimitCaseReadOnlyAndReportsChanges) {
  auto* edit = Make<TEdit>();
  int changes = 0;
  edit->SetOnChange(Counter(changes));
  edit->SetMaxLength(3);
  edit->SetCharCase(ecUpperCase);
  for (char c : std::string("abcde")) SendMessageA(edit->Handle(), WM_CHAR, WPARAM(c), 0);
  EXPECT_EQ(edit->Text(), "ABC");
  EXPECT_GE(changes, 3);
  edit->SetReadOnly(true);
  SendMessageA(edit->Handle(), WM_CHAR, 'x', 0);
  EXPECT_EQ(edit->Text(), "ABC");
  edit->SetPasswordChar('*');
  EXPECT_EQ(SendMessageA(edit->Handle(), EM_GETPASSWORDCHAR, 0, 0), '*');
  edit->SetSelStart(1);
  edit->SetSelLength(2);
  EXPECT_EQ(edit->SelText(), "BC");
  edit->SetReadOnly(false);
  edit->SetSelText("z");
  EXPECT_EQ(edit->Text(), "AZ");
  int before = changes;
  edit->SetText("Q");
  EXPECT_EQ(changes, before + 1);
  // Text set before the window exists reports its change too.
  auto* later = new TEdit(Form);
  int laterChanges = 0;
  later->SetOnChange(Counter(laterChanges));
  later->SetText("early");
  EXPECT_EQ(laterChanges, 1);
}

TEST_F(StdControls, MemoLinesRoundTripAndStylesFollowProperties) {
  auto* memo = Make<TMemo>();
  TStringList lines;
  lines.Add("first");
  lines.Add("second");
  memo->SetLines(lines);
  memo->AddLine("third");
  EXPECT_EQ(memo->LineCount(), 3);
  EXPECT_EQ(memo->Line(2), "third");
  EXPECT_EQ(SendMessageA(memo->Handle(), EM_GETLINECOUNT, 0, 0), 3);
  memo->SetScrollBars(ssBoth);
  memo->SetWordWrap(false);
  memo->SetAlignment(taRightJustify);
  LONG_PTR style = GetWindowLongPtrA(memo->Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_VSCROLL);
  EXPECT_TRUE(style & WS_HSCROLL);
  EXPECT_TRUE(style & ES_RIGHT);
  EXPECT_EQ(memo->Line(1), "second");
  // Word wrap drops the horizontal bar.
  memo->SetWordWrap(true);
  EXPECT_FALSE(GetWindowLongPtrA(memo->Handle(), GWL_STYLE) & WS_HSCROLL);
}

TEST_F(StdControls, RichEditHoldsTextAndReportsChanges) {
  auto* rich = Make<TRichEdit>();
  int changes = 0;
  rich->SetOnChange(Counter(changes));
  rich->SetText("rich text");
  EXPECT_EQ(rich->Text(), "rich text");
  char name[32] = {};
  GetClassNameA(rich->Handle(), name, sizeof name);
  EXPECT_STREQ(name, "TRichEdit");
  EXPECT_GE(changes, 1);
}

TEST_F(StdControls, LabelAcceleratorFocusesItsControl) {
  auto* edit = Make<TEdit>();
  edit->SetTop(50);
  auto* label = Make<TLabel>();
  label->SetCaption("&Name");
  label->SetFocusControl(edit);
  EXPECT_GT(label->Width(), 0);
  edit->SetText("abc");
  EXPECT_NE(Form->Perform(CM_DIALOGCHAR, 'n', 0), 0);
  Pump();
  EXPECT_EQ(GetFocus(), edit->Handle());
  // Entering the edit from the keyboard selects its text.
  EXPECT_EQ(edit->SelLength(), 3);
  EXPECT_EQ(Form->Perform(CM_DIALOGCHAR, 'x', 0), 0);
  // The label forgets a freed control.
  edit->Free();
  EXPECT_EQ(label->FocusControl(), nullptr);
}

TEST_F(StdControls, PanelBevelsShrinkTheAreaOfItsAlignedChildren) {
  auto* panel = Make<TPanel>();
  panel->SetBounds(0, 0, 200, 100);
  panel->SetBevelInner(bvLowered);
  panel->SetBevelWidth(2);
  auto* child = Make<TPanel>(panel);
  child->SetAlign(alClient);
  EXPECT_EQ(child->Left(), 4);
  EXPECT_EQ(child->Width(), 200 - 8);
  panel->SetBorderStyle(bsSingle);
  EXPECT_EQ(child->Left(), 5);
}

TEST_F(StdControls, ScrollBarMovesByItsStepsAndReportsScrolls) {
  auto* bar = Make<TScrollBar>();
  bar->SetParams(10, 0, 50);
  bar->SetSmallChange(3);
  bar->SetLargeChange(20);
  int changes = 0, scrolls = 0;
  bar->SetOnChange(Counter(changes));
  bar->SetOnScroll(TScrollEvent::FromFunctor([&](TObject*, TScrollCode, int& pos) {
    ++scrolls;
    if (pos > 40) pos = 40;
  }));
  SendMessageA(Form->Handle(), WM_HSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(bar->Handle()));
  EXPECT_EQ(bar->Position(), 13);
  SendMessageA(Form->Handle(), WM_HSCROLL, SB_PAGEDOWN, reinterpret_cast<LPARAM>(bar->Handle()));
  EXPECT_EQ(bar->Position(), 33);
  SendMessageA(Form->Handle(), WM_HSCROLL, SB_BOTTOM, reinterpret_cast<LPARAM>(bar->Handle()));
  EXPECT_EQ(bar->Position(), 40);
  EXPECT_EQ(scrolls, 3);
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(GetScrollPos(bar->Handle(), SB_CTL), 40);
  EXPECT_THROW(bar->SetParams(0, 10, 5), EInvalidOperation);
  EXPECT_EQ(bar->Max(), 50);
}

TEST_F(StdControls, StatusBarShowsPanelsOrTheSimpleText) {
  auto* bar = Make<TStatusBar>();
  bar->AddPanel(TStatusPanel{"Ready", 100});
  bar->AddPanel(TStatusPanel{"CG 3", 80});
  EXPECT_EQ(SendMessageA(bar->Handle(), SB_GETPARTS, 0, 0), 2);
  EXPECT_EQ(bar->NativeText(0), "Ready");
  bar->SetPanelText(1, "CG 4");
  EXPECT_EQ(bar->NativeText(1), "CG 4");
  bar->SetSimplePanel(true);
  bar->SetSimpleText("Working");
  EXPECT_EQ(bar->NativeText(-1), "Working");
  EXPECT_NE(SendMessageA(bar->Handle(), SB_ISSIMPLE, 0, 0), 0);
  // The bar sits at the bottom of its form.
  EXPECT_EQ(bar->Top() + bar->Height(), Form->ClientHeight());
}

TEST_F(StdControls, UpDownStepsItsAssociateAndOnChangingCanRefuse) {
  auto* edit = Make<TEdit>();
  auto* updown = Make<TUpDown>();
  updown->SetMax(5);
  updown->SetPosition(4);
  updown->SetAssociate(edit);
  EXPECT_EQ(edit->Text(), "4");
  std::vector<TUDBtnType> clicks;
  updown->SetOnClickButton(TUDClickEvent::FromFunctor([&](TObject*, TUDBtnType b) { clicks.push_back(b); }));
  HWND h = updown->Handle();
  RECT r;
  GetClientRect(h, &r);
  auto press = [&](int y) {
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(r.right / 2, y));
    SendMessageA(h, WM_LBUTTONUP, 0, At(r.right / 2, y));
    Pump();
  };
  press(2);
  EXPECT_EQ(updown->Position(), 5);
  EXPECT_EQ(edit->Text(), "5");
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_EQ(clicks[0], btNext);
  updown->SetOnChanging(TUDChangingEvent::FromFunctor([](TObject*, bool& allow) { allow = false; }));
  press(r.bottom - 2);
  EXPECT_EQ(updown->Position(), 5);
  EXPECT_EQ(clicks.size(), 1u);
}

TEST_F(StdControls, UpDownWithoutAnAssociateReportsWhereItsArrowsMovedIt) {
  auto* updown = Make<TUpDown>();
  updown->SetMax(9);
  updown->SetPosition(3);
  HWND h = updown->Handle();
  RECT r;
  GetClientRect(h, &r);
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(r.right / 2, 2));
  SendMessageA(h, WM_LBUTTONUP, 0, At(r.right / 2, 2));
  Pump();
  EXPECT_EQ(updown->Position(), 4);
}

TEST_F(StdControls, ImagePlacesItsPictureByAutoSizeCentreAndStretch) {
  auto* image = Make<TImage>();
  image->SetBounds(0, 0, 100, 80);
  TBitmap bitmap;
  bitmap.SetSize(40, 20);
  image->Picture()->SetGraphic(&bitmap);
  image->PictureChanged();
  RECT r = image->DestRect();
  EXPECT_EQ(r.right - r.left, 40);
  image->SetCenter(true);
  r = image->DestRect();
  EXPECT_EQ(r.left, 30);
  EXPECT_EQ(r.top, 30);
  image->SetStretch(true);
  image->SetProportional(true);
  r = image->DestRect();
  EXPECT_EQ(r.right - r.left, 100);
  EXPECT_EQ(r.bottom - r.top, 50);
  image->SetAutoSize(true);
  EXPECT_EQ(image->Width(), 40);
  EXPECT_EQ(image->Height(), 20);
  // Drawing on the canvas of an empty image makes a bitmap of its size.
  TImage* blank = Make<TImage>();
  blank->SetBounds(0, 0, 30, 10);
  blank->ImageCanvas()->SetPixel(1, 1, clRed);
  EXPECT_EQ(blank->Picture()->Width(), 30);
  EXPECT_EQ(blank->Picture()->Bitmap()->Canvas()->Pixel(1, 1), clRed);
}

TEST_F(StdControls, PaintBoxPaintsThroughOnPaint) {
  auto* box = Make<TPaintBox>();
  box->SetBounds(10, 10, 40, 40);
  int paints = 0;
  box->SetOnPaint(TNotifyEvent::FromFunctor([&](TObject*) {
    ++paints;
    box->Canvas()->Brush()->SetColor(clYellow);
    box->Canvas()->FillRect(RECT{0, 0, 40, 40});
  }));
  RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  EXPECT_GE(paints, 1);
  HDC dc = GetDC(Form->Handle());
  EXPECT_EQ(GetPixel(dc, 20, 20), RGB(255, 255, 0));
  ReleaseDC(Form->Handle(), dc);
}

TEST_F(StdControls, RichEditKeepsTextSetBeforeItsWindow) {
  auto* rich = new TRichEdit(Form);
  rich->SetText("early");
  rich->SetParent(Form);
  EXPECT_EQ(rich->Text(), "early");
}

}  // namespace
