// A form holding every standard control, shown and saved as a bitmap so the look can be checked:
//   wine controls_showcase.exe out.bmp
#include <windows.h>

#include <cstdio>

#include "framework/base/TClientDataSet.h"
#include "framework/win/TApplication.h"
#include "framework/win/TBitBtn.h"
#include "framework/win/TButton.h"
#include "framework/win/TCheckBox.h"
#include "framework/win/TComboBox.h"
#include "framework/win/TComboBoxEx.h"
#include "framework/win/TCustomEdit.h"
#include "framework/win/TDBGrid.h"
#include "framework/win/TDBNavigator.h"
#include "framework/win/TDataSource.h"
#include "framework/win/TGroupBox.h"
#include "framework/win/TImage.h"
#include "framework/win/TLabel.h"
#include "framework/win/TListView.h"
#include "framework/win/TMemo.h"
#include "framework/win/TPageControl.h"
#include "framework/win/TPaintBox.h"
#include "framework/win/TPanel.h"
#include "framework/win/TRadioButton.h"
#include "framework/win/TRadioGroup.h"
#include "framework/win/TRichEdit.h"
#include "framework/win/TScrollBar.h"
#include "framework/win/TSpeedButton.h"
#include "framework/win/TStatusBar.h"
#include "framework/win/TTabSheet.h"
#include "framework/win/TUpDown.h"

namespace {

template <typename T>
T* Put(TForm* form, TWinControl* parent, int x, int y, int w, int h) {
  return NewControl<T>(form, parent, RECT{x, y, x + w, y + h});
}

bool SaveWindow(HWND window, const char* path) {
  RECT r;
  GetWindowRect(window, &r);
  int w = r.right - r.left, h = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  SelectObject(memory, old);
  int stride = (w * 3 + 3) & ~3;
  BITMAPFILEHEADER file{0x4D42, DWORD(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + stride * h), 0, 0,
                        sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
  FILE* out = std::fopen(path, "wb");
  bool ok = out != nullptr;
  if (ok) {
    ok = std::fwrite(&file, sizeof file, 1, out) == 1 && std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 &&
         std::fwrite(bits, size_t(stride) * size_t(h), 1, out) == 1;
    std::fclose(out);
  }
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  Application->Initialize();
  TForm* form = NewComponent<TForm>(nullptr);
  form->SetCaption("Standard controls");
  form->SetBounds(0, 0, 900, 660);
  form->SetColor(clBtnFace);

  auto* panel = Put<TPanel>(form, form, 0, 0, 900, 34);
  panel->SetAlign(alTop);
  panel->SetCaption("TPanel with a raised bevel");
  panel->SetBevelInner(bvLowered);
  auto* speed = Put<TSpeedButton>(form, panel, 4, 4, 60, 25);
  speed->SetCaption("Speed");
  speed->SetGroupIndex(1);
  speed->SetDown(true);
  auto* flat = Put<TSpeedButton>(form, panel, 66, 4, 60, 25);
  flat->SetCaption("Flat");
  flat->SetFlat(true);

  auto* status = Put<TStatusBar>(form, form, 0, 0, 900, 20);
  status->AddPanel(TStatusPanel{"Ready", 150});
  status->AddPanel(TStatusPanel{"10000 rows", 150});

  auto* label = Put<TLabel>(form, form, 10, 44, 0, 0);
  label->SetCaption("&Name:");
  auto* edit = Put<TEdit>(form, form, 60, 40, 150, 21);
  edit->SetText("An edit");
  label->SetFocusControl(edit);
  auto* password = Put<TEdit>(form, form, 220, 40, 100, 21);
  password->SetPasswordChar('*');
  password->SetText("secret");
  auto* updownEdit = Put<TEdit>(form, form, 330, 40, 50, 21);
  auto* updown = Put<TUpDown>(form, form, 380, 40, 17, 21);
  updown->SetMax(512);
  updown->SetPosition(512);
  updown->SetAssociate(updownEdit);

  Put<TButton>(form, form, 10, 70, 75, 25)->SetCaption("Button");
  auto* ok = Put<TBitBtn>(form, form, 90, 70, 90, 25);
  ok->SetKind(bkOK);
  TBitmap glyph;
  glyph.SetSize(16, 16);
  glyph.Canvas()->Brush()->SetColor(clFuchsia);
  glyph.Canvas()->FillRect(RECT{0, 0, 16, 16});
  glyph.Canvas()->Brush()->SetColor(clGreen);
  glyph.Canvas()->Ellipse(2, 2, 14, 14);
  ok->SetGlyph(&glyph);
  auto* check = Put<TCheckBox>(form, form, 190, 74, 120, 17);
  check->SetCaption("Separate");
  check->SetChecked(true);
  auto* radio = Put<TRadioButton>(form, form, 310, 74, 100, 17);
  radio->SetCaption("Radio");
  radio->SetChecked(true);

  auto* group = Put<TRadioGroup>(form, form, 10, 100, 200, 70);
  group->SetCaption("Show ordered by");
  TStringList items;
  items.Add("Code Group");
  items.Add("Start address");
  group->SetItems(items);
  group->SetItemIndex(0);
  auto* box = Put<TGroupBox>(form, form, 220, 100, 190, 70);
  box->SetCaption("Pictures preview");
  auto* combo = Put<TComboBox>(form, box, 10, 20, 170, 21);
  combo->SetItems(items);
  combo->SetItemIndex(1);
  auto* comboEx = Put<TComboBoxEx>(form, box, 10, 44, 170, 21);
  comboEx->AddItemEx(TComboExItem{"Image combo", -1, 0});
  comboEx->SetItemIndex(0);

  auto* memo = Put<TMemo>(form, form, 420, 40, 220, 60);
  memo->SetText("A memo\r\nwith two lines");
  memo->SetScrollBars(ssVertical);
  auto* rich = Put<TRichEdit>(form, form, 650, 40, 230, 60);
  rich->SetText("A rich edit");
  auto* bar = Put<TScrollBar>(form, form, 420, 110, 220, 17);
  bar->SetParams(30, 0, 100);
  auto* paint = Put<TPaintBox>(form, form, 650, 110, 60, 60);
  paint->SetOnPaint(TNotifyEvent::FromFunctor([paint](TObject*) {
    paint->Canvas()->Brush()->SetColor(clYellow);
    paint->Canvas()->Ellipse(0, 0, 60, 60);
  }));
  auto* image = Put<TImage>(form, form, 720, 110, 60, 60);
  image->SetStretch(true);
  TCanvas* canvas = image->ImageCanvas();
  canvas->Brush()->SetColor(clNavy);
  canvas->FillRect(RECT{0, 0, 60, 60});
  canvas->Brush()->SetColor(clAqua);
  canvas->Rectangle(10, 10, 50, 50);

  auto* pages = Put<TPageControl>(form, form, 10, 180, 400, 200);
  const char* names[] = {"List view", "Grid", "Hidden", "Third"};
  TTabSheet* sheets[4];
  for (int i = 0; i < 4; ++i) {
    sheets[i] = new TTabSheet(form);
    sheets[i]->SetCaption(names[i]);
    sheets[i]->SetPageControl(pages);
  }
  sheets[2]->SetTabVisible(false);
  auto* view = Put<TListView>(form, sheets[0], 0, 0, 380, 160);
  view->SetAlign(alClient);
  view->SetViewStyle(vsReport);
  view->SetRowSelect(true);
  view->AddColumn("Name", 150);
  view->AddColumn("Size", 80, 1);
  for (int i = 0; i < 8; ++i) {
    TListItem* item = view->AddItem();
    item->SetCaption("file" + std::to_string(i) + ".smg");
    item->AddSubItem(std::to_string(1024 * (i + 1)));
  }

  TClientDataSet table;
  table.AddIntegerField("CG");
  table.AddStringField("Name", 40);
  table.AddWideStringField("Text", 40);
  table.CreateDataSet();
  for (int i = 0; i < 30; ++i)
    table.AppendRecord({i, "image" + std::to_string(i) + ".smg", u"\x4E2D\x6587 \x0416\x0416"});
  table.First();
  table.Next();
  auto* source = new TDataSource(form);
  source->SetDataSet(&table);
  auto* grid = Put<TDBGrid>(form, form, 420, 180, 460, 200);
  grid->SetOptions(grid->Options() | dgRowSelect | dgMultiSelect | dgAlwaysShowSelection);
  grid->SetDataSource(source);
  grid->AddColumn("CG", "CG", 40);
  grid->AddColumn("Name", "Name", 200);
  grid->AddColumn("Text", "Wide text", 150);
  table.SetRecNo(5);
  grid->SetCurrentRowSelected(true);
  table.SetRecNo(2);
  auto* nav = Put<TDBNavigator>(form, form, 420, 385, 240, 25);
  nav->SetDataSource(source);

  form->Show();
  for (int i = 0; i < 20; ++i) {
    Application->ProcessMessages();
    Sleep(20);
  }
  int rc = 0;
  if (argc > 1 && !SaveWindow(form->Handle(), argv[1])) rc = 1;
  source->SetDataSet(nullptr);
  form->Free();
  return rc;
}
