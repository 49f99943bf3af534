// A form of skinned controls with a painted hint shown over it by a real mouse move, for a look by
// eye. It writes READY-FILE once the hint is up and stays for a few seconds for a screen grab:
//   wine hints_showcase.exe SKINS-FOLDER SKIN|none simply|comics|ellipse|balloon|program|flipped READY-FILE
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "framework/win/TApplication.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TPanel.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/TsSkinned.h"
#include "skin/windows/TsHintManager.h"

namespace {

// A skinned panel that writes its caption into its cache; unskinned it is the framework's panel.
class TShowControl : public TsSkinned<TPanel> {
public:
  TShowControl(TComponent* owner, TsControlKind kind) : TsSkinned(kind, TsCacheBitmap::Own, owner) {}

protected:
  void PaintText() override {
    TCanvas* canvas = SkinData().CacheBitmap()->Canvas();
    canvas->SetFont(Font());
    canvas->Brush()->SetStyle(TBrushStyle::Clear);
    canvas->DrawText(Caption(), ClientRect(), DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
};

TShowControl* Put(TForm* form, TsControlKind kind, const char* caption, int x, int y, int w, int h) {
  auto* c = new TShowControl(form, kind);
  c->SetParent(form);
  c->SetBounds(x, y, w, h);
  c->SetCaption(caption);
  c->Loaded();
  return c;
}

void Pump(int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    Application->ProcessMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

void MoveMouse(POINT p) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = LONG(p.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1));
  in.mi.dy = LONG(p.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1));
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
  SetCursorPos(p.x, p.y);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) return 2;
  const std::string folder = argv[1], skin = argv[2], mode = argv[3], ready = argv[4];
  Application->Initialize();
  TForm* form = NewComponent<TForm>(Application);
  form->SetCaption("Tarvex hints");
  const bool flipped = mode == "flipped";
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  form->SetBounds(flipped ? sw - 520 : 40, flipped ? sh - 340 : 40, 520, 340);
  auto* manager = NewComponent<TsSkinManager>(form);
  manager->SetSkinDirectory(folder);
  if (skin != "none") {
    manager->SetSkinName(skin);
    manager->SetActive(true);
  }
  TShowControl* panel = Put(form, TsControlKind::Panel, "", 0, 0, 504, 60);
  panel->SkinData().SetSkinSection("TOOLBAR");
  TShowControl* buttons[] = {
      Put(form, TsControlKind::Button, "Open project", 10, 15, 100, 28),
      Put(form, TsControlKind::Button, "Split file", 120, 15, 100, 28),
      Put(form, TsControlKind::Button, "Open by", 230, 15, 100, 28),
      Put(form, TsControlKind::Button, "Flash", 340, 15, 100, 28),
  };
  for (TShowControl* b : buttons) b->SetParent(panel);
  TShowControl* group = Put(form, TsControlKind::GroupBox, "", 10, 70, 490, 180);
  Put(form, TsControlKind::Edit, "C:\\firmware\\phone.shx", 20, 20, 300, 24)->SetParent(group);
  Put(form, TsControlKind::Panel, "Code groups", 20, 60, 450, 100)->SetParent(group);
  Put(form, TsControlKind::StatusBar, "Ready", 0, 260, 504, 24);

  auto* hints = NewComponent<TsHintManager>(form);
  TControl* target = buttons[2];
  std::string text = "Split the superfile into code groups";
  if (mode == "simply" || mode == "comics" || mode == "ellipse" || mode == "balloon") {
    const TsHintsPredefinitions look = mode == "simply"    ? TsHintsPredefinitions::shGradient
                                       : mode == "comics"  ? TsHintsPredefinitions::shComicsGradient
                                       : mode == "ellipse" ? TsHintsPredefinitions::shEllipse
                                                           : TsHintsPredefinitions::shBalloon;
    hints->HintKind()->ApplyPredefinition(look);
    hints->SelectWindowClass();
  } else {
    // The program's look: transparent plain rectangle, HTML on, width 240.
    hints->HintKind()->ApplyPredefinition(TsHintsPredefinitions::shTransparent);
    hints->HintKind()->Font()->SetName("MS Sans Serif");
    hints->HintKind()->Font()->SetHeight(-11);
    hints->SetHTMLMode(true);
    hints->SelectWindowClass();
    text = "Open code group</b><br>by external program";
  }
  if (flipped) target = buttons[3];
  target->SetHint(text);
  target->SetShowHint(true);
  form->Show();
  Pump(300);
  MoveMouse(form->ClientToScreen(POINT{5, 200}));
  Pump(100);
  const POINT at = flipped ? target->ClientToScreen(POINT{90, 20}) : target->ClientToScreen(POINT{40, 14});
  if (flipped) {
    // Near the desktop's bottom-right corner.
    form->SetBounds(sw - 460, sh - 90, 520, 340);
    Pump(200);
    MoveMouse(target->ClientToScreen(POINT{80, 20}));
  } else {
    MoveMouse(at);
  }
  for (int i = 0; i < 400; ++i) {
    Pump(10);
    THintWindow* w = Application->HintWindow();
    if (w != nullptr && w->HandleAllocated() && IsWindowVisible(w->Handle())) break;
  }
  Pump(300);
  if (FILE* f = std::fopen(ready.c_str(), "w")) std::fclose(f);
  Pump(4000);
  form->Free();
  return 0;
}
