#include "skin/windows/TsMenuBand.h"

#include <string>

#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TMainMenu.h"
#include "framework/win/TScreen.h"
#include "skin/engine/SkinSectionPainter.h"
#include "skin/engine/SkinTextPainter.h"
#include "skin/engine/SkinUtilsWin.h"
#include "skin/engine/TsCommonData.h"
#include "skin/engine/TsFormFrameLink.h"
#include "skin/windows/TsProviderHost.h"
#include "skin/windows/TsSkinableMenus.h"

namespace {

std::string StripAmpersands(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '&' && i + 1 < s.size()) ++i;
    out += s[i];
  }
  return out;
}

// A top-level item's width in the band: its measure event, or its caption in the canvas' font.
int MeasureBarItem(TMenuItem* item, TCanvas* canvas, int extra) {
  int w = 10, h = 19;
  if (item->OnMeasureItem())
    item->OnMeasureItem()(item, canvas, w, h);
  else
    w = canvas->TextWidth(StripAmpersands(item->Caption())) + 8;
  return w + extra;
}

}  // namespace

// The maximized MDI child's icon at the head of the main form's band, where its menu item stands.
void TsMenuBand::PaintChildIcon(TBitmap* cache, int x, int y, int size) {
  if (MDIFormProvider() != dynamic_cast<TsFormFrameLink*>(&FProvider) || !MDIChildIconVisible() || size <= 0) return;
  TCustomForm* child = FProvider.Form()->ActiveMDIChild();
  DrawIconEx(cache->Canvas()->Handle(), x, y, child->Icon()->Handle(), size, size, 0, nullptr, DI_NORMAL);
}

TsMenuBand::TsMenuBand(TsProviderHost& provider) : FProvider(provider), FBitmap(std::make_unique<TBitmap>()) {}

TsMenuBand::~TsMenuBand() = default;

int TsMenuBand::Rows() {
  if (FRowCache < 0) FRowCache = ComputeRows();
  return FRowCache;
}

// The form's items and those of the menu merged into it (the active MDI child's), in the order the
// platform's menu shows them; only the items the menu painter measures and draws take room.
void TsMenuBand::CollectItems(std::vector<TMenuItem*>& items) {
  TMainMenu* menu = FProvider.Form()->Menu();
  if (!menu) return;
  auto entries = [](TMenu* m) {
    std::vector<TsMenuEntry> out;
    for (int i = 0; m && i < m->Items()->Count(); ++i) {
      TMenuItem* item = m->Items()->Items(i);
      out.push_back({item->GroupIndex(), item->Visible() && item->OnMeasureItem() && item->OnAdvancedDrawItem()});
    }
    return out;
  };
  TMenu* merged = menu->Merged();
  for (const TsMenuSource& src : MergeMenuBar(entries(menu), entries(merged)))
    items.push_back((src.FromChild ? merged : menu)->Items()->Items(src.Index));
}

int TsMenuBand::ComputeRows() {
  std::vector<TMenuItem*> items;
  CollectItems(items);
  TBitmap* cache = FProvider.SkinData()->CacheBitmap();
  if (items.empty() || !cache) return 1;
  TCustomForm* form = FProvider.Form();
  const TsSystemSizes& s = FProvider.FrameSizes();
  TCanvas* canvas = cache->Canvas();
  canvas->SetFont(Screen ? Screen->MenuFont() : form->Font());
  std::vector<int> widths;
  for (TMenuItem* item : items) widths.push_back(MeasureBarItem(item, canvas, s.MenuSizeX - 6));
  TsFrameFacts f;
  f.Window = FProvider.WindowFacts();
  f.Width = form->Width();
  f.BorderWidth = form->BorderWidth();
  return MenuBarRows(PlaceMenuBar(widths, ::FrameBorderWidth(f, s), MenuBarLimit(f, s)));
}

void TsMenuBand::Paint(TBitmap* cache, const TsFrameFacts& f) {
  const TsSystemSizes& s = FProvider.FrameSizes();
  const int line = ::MenuLineHeight(f, s);
  if (line <= 0) return;
  const int t = ::TitleBarHeight(f, s) + ::FrameBorderHeight(f, s);
  const int fbw = ::FrameBorderWidth(f, s);
  // The band reaches the client area whatever rows the platform's menu bar took.
  const int bottom = std::max(t + f.MenuRows * line, ClientOffsetY(f, s));
  const RECT br{fbw, t, f.Width - fbw, bottom};
  PaintMenuSection("MENULINE", TsCacheInfo{cache, 0, 0, true}, cache, POINT{0, 0}, br, TsSkinState::Normal);
  FBitmap->SetPixelFormat(TPixelFormat::Bit24);
  FBitmap->SetSize(br.right - br.left, br.bottom - br.top);
  if (br.right > br.left && br.bottom > br.top)
    FBitmap->Canvas()->CopyRect(RECT{0, 0, br.right - br.left, br.bottom - br.top}, cache->Canvas(), br);

  PaintChildIcon(cache, fbw + 1, t + 1, line - 2);

  std::vector<TMenuItem*> items;
  CollectItems(items);
  TCanvas* canvas = cache->Canvas();
  canvas->SetFont(Screen ? Screen->MenuFont() : FProvider.Form()->Font());
  std::vector<int> widths;
  for (TMenuItem* item : items) widths.push_back(MeasureBarItem(item, canvas, s.MenuSizeX - 6));
  const std::vector<TsMenuPlace> places = PlaceMenuBar(widths, fbw, MenuBarLimit(f, s));
  for (std::size_t i = 0; i < items.size(); ++i) {
    const TsMenuPlace& p = places[i];
    RECT r{p.X, t + p.Row * line, p.X + p.Width, t + (p.Row + 1) * line};
    TMenuItem* item = items[i];
    if (item->OnAdvancedDrawItem()) {
      item->OnAdvancedDrawItem()(item, canvas, r, 0);
    } else {
      canvas->Brush()->SetStyle(TBrushStyle::Clear);
      DrawSkinTextByIndex(ActiveSkin(), canvas, item->Caption(), item->Enabled(), r, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                          MenuTextSection(canvas, "MENULINE", TsSkinState::Normal), false);
    }
  }
}
