#include "app/TfmAbout.h"

#include <algorithm>

#include "app/DialogUnits.h"
#include "app/ShellOpen.h"
#include "framework/win/Graphics.h"
#include "skin/controls/TsLabel.h"
#include "skin/windows/TsSkinProvider.h"

TfmAbout* fmAbout = nullptr;

namespace {

constexpr const char* kName = "Tarvex";
constexpr const char* kDescription = "Superfile workbench, code-group editors and flasher for P2K phones";
constexpr const char* kVersion = "1.0.0";
constexpr const char* kDate = "7 December 2026";
const std::string kContact = "support@tarvex.example";
const std::string kSupportPage = "https://tarvex.example/support";

}  // namespace

const std::string& TfmAbout::ContactAddress() { return kContact; }

const std::string& TfmAbout::SupportPage() { return kSupportPage; }

TfmAbout::TfmAbout(TComponent* owner) : TForm(owner) {
  SetName("fmAbout");
  SetCaption("About");
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  sSkinProvider1 = NewComponent<TsSkinProvider>(this);
  sSkinProvider1->SetName("sSkinProvider1");
  sSkinProvider1->SetResizeMode(TsResizeMode::rmBorder);

  // The name in a larger bold face, the description, then "Key: value" rows with their values in
  // one column, and Ok centred at the bottom.
  const TDialogUnits du(this);
  const int margin = du.X(8), line = du.TextHeight() + du.Y(3);
  const int keyWidth = du.WidestText({"Version:", "Date:", "Support:"}) + du.X(6);
  const int valueWidth = du.WidestText({kVersion, kDate, kContact, kSupportPage});
  const int description = du.TextWidth(kDescription);
  const int clientWidth = std::max({description, keyWidth + valueWidth, du.X(160)}) + 2 * margin;

  // Each label gets the size of its text measured in its own font, with a pixel to spare for
  // the last character's overhang.
  const auto label = [&](const std::string& caption, int left, int top) {
    auto* l = NewControl<TsLabel>(this, this, RECT{left, top, left, top});
    l->SetAutoSize(false);
    l->SetCaption(caption);
    const TDialogUnits own(l);
    l->SetBounds(left, top, own.TextWidth(caption) + 2, own.TextHeight());
    return l;
  };
  auto* name = NewControl<TsLabel>(this, this, RECT{margin, margin, margin, margin});
  name->SetName("sLabelName");
  name->SetAutoSize(false);
  name->Font()->SetStyle(TFontStyles{fsBold});
  name->Font()->SetHeight(Font()->Height() * 3 / 2);
  name->SetCaption(kName);
  const TDialogUnits large(name);
  name->SetBounds(margin, margin, large.TextWidth(kName) + 2, large.TextHeight());
  int top = margin + large.TextHeight() + du.Y(3);

  label(kDescription, margin, top)->SetName("sLabelDescription");
  top += line + du.Y(6);

  const auto row = [&](const char* key, const std::string& value, const char* name) {
    label(key, margin, top);
    TsLabel* v = label(value, margin + keyWidth, top);
    v->SetName(name);
    top += line;
    return v;
  };
  row("Version:", kVersion, "sLabelVersion");
  row("Date:", kDate, "sLabelDate");
  sLabelContact = row("Support:", kContact, "sLabelContact");
  sLabelSupport = row("", kSupportPage, "sLabelSupport");
  for (TsLabel* link : {sLabelContact, sLabelSupport}) {
    // The selection colour of the system or of the skin reads on every background.
    link->Font()->SetStyle(TFontStyles{fsUnderline});
    link->Font()->SetColor(clHighlight);
    link->SetCursor(crHandPoint);
    link->SetOnClick(TNotifyEvent(this, &TfmAbout::LinkClick));
  }

  top += du.Y(6);
  sButton1 = NewOkOnlyButton(this, du, clientWidth, top);

  SetClientSize(clientWidth, top + du.ButtonHeight() + margin);
}

void TfmAbout::LinkClick(TObject* sender) {
  if (sender == sLabelContact) ShellOpen("mailto:" + kContact, "");
  else if (sender == sLabelSupport) ShellOpen(kSupportPage, "");
}
