#include "skin/windows/TsMessageDlg.h"

#include <algorithm>
#include <array>
#include <bit>
#include <memory>
#include <string_view>

#include "framework/win/GdiScopes.h"
#include "framework/win/TApplication.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TImage.h"
#include "framework/win/TScreen.h"
#include "skin/controls/TsBitBtn.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsDBNavigator.h"
#include "skin/controls/TsEdit.h"
#include "skin/controls/TsLabel.h"
#include "skin/engine/SkinUtilsWin.h"
#include "skin/engine/core/SkinMessages.h"
#include "skin/windows/TsSkinProvider.h"
#include "skin/windows/TsSystemMenu.h"

namespace {

// The metrics as every system version fills them (without the padded border width).
constexpr UINT kNonClientMetricsSize = 340;
constexpr int kHelpKind = 10;

const LPCSTR TypeIcons[] = {IDI_EXCLAMATION, IDI_HAND, IDI_ASTERISK, IDI_QUESTION};

struct TFreeForm {
  void operator()(TCustomForm* form) const {
    if (form != nullptr) form->Free();
  }
};
using TFormHolder = std::unique_ptr<TsMessageForm, TFreeForm>;

// A canvas on the screen with a control's font, for measuring the texts of its window.
class TMeasureCanvas {
public:
  explicit TMeasureCanvas(TControl* control) {
    FCanvas.SetHandle(FScreen.Handle());
    FCanvas.SetFont(control->Font());
  }
  ~TMeasureCanvas() { FCanvas.SetHandle(nullptr); }
  TMeasureCanvas(const TMeasureCanvas&) = delete;
  TMeasureCanvas& operator=(const TMeasureCanvas&) = delete;

  TCanvas* Canvas() { return &FCanvas; }
  // The rectangle DrawText would fill with text from r; an empty one for no text (DrawText
  // leaves r as it was).
  RECT Extent(std::string_view text, RECT r, UINT flags) {
    if (text.empty()) return RECT{r.left, r.top, r.left, r.top};
    DrawTextA(FCanvas.DrawingHandle(), text.data(), int(text.size()), &r, flags | DT_CALCRECT);
    return r;
  }

private:
  TScreenDC FScreen;
  TCanvas FCanvas;
};

UINT ReadingFlags(const TControl* control) { return control->UseRightToLeftReading() ? DT_RTLREADING : 0; }

// The system's message font, when the system tells it.
void UseMessageFont(TFont* font) {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = kNonClientMetricsSize;
  if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, kNonClientMetricsSize, &metrics, 0)) return;
  // The font object keeps only the properties: the handle made here is ours to delete.
  const TGdiObject<HFONT> made(CreateFontIndirectA(&metrics.lfMessageFont));
  if (made.Handle() != nullptr) font->SetHandle(made.Handle());
}

// The system's icon as an icon of our own: shared system icons must not be destroyed.
void ShowSystemIcon(TImage* image, LPCSTR id) {
  HICON shared = LoadIconA(nullptr, id);
  if (shared == nullptr) return;
  image->Picture()->Icon()->SetHandle(CopyIcon(shared));
  image->PictureChanged();
}

}  // namespace

TsMessageForm::TsMessageForm(TComponent* owner) : TForm(owner) {
  UseMessageFont(Font());
  ApplyDialogSkin();
  SetAutoScroll(false);
}

void TsMessageForm::ApplyDialogSkin() {
  if (FProvider == nullptr) {
    FProvider = NewComponent<TsSkinProvider>(this);
    FProvider->SkinData()->SetSkinSection("DIALOG");
    FProvider->SetMakeSkinMenu(false);
  }
  FProvider->SystemMenu()->UpdateItems();
}

void TsMessageForm::HelpButtonClick(TObject*) { Application->HelpContext(HelpContext()); }

POINT GetAveCharSize(TCanvas* canvas) {
  static const char Letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  SIZE extent{0, 0};
  GetTextExtentPointA(canvas->DrawingHandle(), Letters, 52, &extent);
  return POINT{extent.cx / 52, extent.cy};
}

std::string GetCommDlgString(int id) {
  const std::string path = SystemFolder() + "\\comdlg32.dll";
  HMODULE library = LoadLibraryExA(path.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES | LOAD_LIBRARY_AS_DATAFILE);
  if (library == nullptr) return {};
  char buffer[256] = {};
  const int n = LoadStringA(library, UINT(id), buffer, sizeof buffer);
  FreeLibrary(library);
  return n > 0 ? std::string(buffer, std::size_t(n)) : std::string();
}

namespace {

using TOwnCaptions = std::array<const std::string*, kMsgDlgButtonKinds>;

// The widths of the buttons' captions: the shared ones measured once, and the box's own captions
// (every button of the row is as wide as the widest, this box only), noted in own by kind.
TMsgDlgButtonWidths MeasureButtons(TMeasureCanvas& measure, UINT reading, TMsgDlgButtons buttons,
                                   const TMsgDlgCaptions& captions, TOwnCaptions& own) {
  const auto width = [&](const std::string& caption) {
    const RECT r = measure.Extent(caption, RECT{0, 0, 0, 0}, DT_SINGLELINE | DT_LEFT | reading);
    return int(r.right - r.left);
  };
  MessageButtonWidthCache().Fill(buttons, width);
  TMsgDlgButtonWidths widths = MessageButtonWidthCache();
  for (const TMsgDlgCaption& caption : captions) {
    if (caption.Button == 0) continue;
    const int kind = std::countr_zero(unsigned(caption.Button));
    if (kind >= kMsgDlgButtonKinds) continue;
    own[std::size_t(kind)] = &caption.Caption;
    widths.FitCaption(kind, width(caption.Caption));
  }
  return widths;
}

// The message laid out on the box; the message, its wrap width and flags.
struct TMessageText {
  std::string Text;
  int Wrap = 0;
  UINT Flags = 0;
};

void MeasureText(TMeasureCanvas& measure, const TMessageText& text, TMsgDlgLayoutInput& in) {
  const RECT r = measure.Extent(text.Text, RECT{0, 0, text.Wrap, 0}, text.Flags | DT_WORDBREAK);
  in.TextWidth = r.right;
  in.TextHeight = r.bottom;
}

// The box sized to its layout. A box never grows taller than the work area: the message is cut to
// the height left for it.
TMsgDlgLayout SizeToMessage(TsMessageForm* form, TMeasureCanvas& measure, TMessageText& text,
                            TMsgDlgLayoutInput& in) {
  MeasureText(measure, text, in);
  TMsgDlgLayout layout = LayoutMessageDialog(in);
  form->SetClientSize(layout.ClientWidth, layout.ClientHeight);
  RECT work{0, 0, Screen->Width(), Screen->Height()};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  if (const int excess = form->Height() - (work.bottom - work.top); excess > 0) {
    text.Text = CutToHeight(text.Text, in.TextHeight - excess, [&](std::string_view shown) {
      return int(measure.Extent(shown, RECT{0, 0, text.Wrap, 0}, text.Flags | DT_WORDBREAK).bottom);
    });
    MeasureText(measure, text, in);
    layout = LayoutMessageDialog(in);
    form->SetClientSize(layout.ClientWidth, layout.ClientHeight);
  }
  return layout;
}

void AddIconAndMessage(TsMessageForm* form, const TMsgDlgLayout& layout, TMsgDlgType type, bool hasIcon,
                       const std::string& text) {
  if (hasIcon) {
    auto* image = NewControl<TImage>(form, form, ToRECT(layout.IconBounds));
    image->SetName("Image");
    ShowSystemIcon(image, TypeIcons[static_cast<int>(type)]);
  }
  auto* label = NewControl<TsLabel>(form, form, ToRECT(layout.TextBounds));
  label->SetName("Message");
  label->SetAutoSize(false);
  label->SetShowAccelChar(false);
  label->SetWordWrap(true);
  label->SetBiDiMode(form->BiDiMode());
  label->SetCaption(text);
  // Placing it on the form sized it to its font while it was still auto-sized.
  label->SetBoundsRect(ToRECT(layout.TextBounds));
}

void AddButtons(TsMessageForm* form, const TMsgDlgLayout& layout, const TOwnCaptions& own) {
  for (const TMsgDlgButtonPlace& place : layout.Buttons) {
    const TMsgDlgButtonInfo& info = MsgDlgButtonInfo(place.Kind);
    auto* button = NewControl<TsBitBtn>(form, form, ToRECT(place.Bounds));
    button->SetName(info.Name);
    const std::string* caption = own[std::size_t(std::clamp(place.Kind, 0, kMsgDlgButtonKinds - 1))];
    button->SetCaption(caption != nullptr ? *caption : std::string(info.Caption));
    button->SetModalResult(info.ModalResult);
    button->SetDefault(place.Default);
    button->SetCancel(place.Cancel);
    if (place.Kind == kHelpKind) button->SetOnClick(TNotifyEvent(form, &TsMessageForm::HelpButtonClick));
    // The box opens with the focus on its default button, which Return then presses.
    if (place.Default) form->SetActiveControl(button);
  }
}

}  // namespace

TsMessageForm* CreateSkinMessageDialog(const std::string& msg, TMsgDlgType type, TMsgDlgButtons buttons,
                                       const TMsgDlgCaptions& captions) {
  TFormHolder form(NewComponent<TsMessageForm>(Application));
  form->SetBorderStyle(bsDialog);
  TMeasureCanvas measure(form.get());
  const POINT ave = GetAveCharSize(measure.Canvas());
  const UINT reading = ReadingFlags(form.get());
  TOwnCaptions ownCaptions{};
  TMsgDlgButtonWidths widths = MeasureButtons(measure, reading, buttons, captions, ownCaptions);
  // The message is shown as written: "&" is no accelerator, and the extent is that of its
  // characters only.
  TMessageText text;
  text.Flags = DT_EXPANDTABS | DT_NOPREFIX | reading;
  text.Wrap = MessageTextWrapWidth(Screen->Width());
  text.Text = BreakOverlongWords(msg, text.Wrap, [&](std::string_view line) {
    const RECT r = measure.Extent(line, RECT{0, 0, 0, 0}, text.Flags | DT_SINGLELINE);
    return int(r.right - r.left);
  });

  TMsgDlgLayoutInput in;
  in.AveWidth = ave.x;
  in.AveHeight = ave.y;
  in.ScreenWidth = Screen->Width();
  in.ScreenHeight = Screen->Height();
  in.HasIcon = MsgDlgTypeHasIcon(type);
  in.Buttons = buttons;
  in.Widths = &widths;
  in.RightToLeft = form->UseRightToLeftAlignment();
  const TMsgDlgLayout layout = SizeToMessage(form.get(), measure, text, in);
  const TMsgDlgPlacement centre =
      PlaceMessageDialog(Screen->Width(), Screen->Height(), form->Width(), form->Height(), -1, -1);
  form->SetBounds(centre.Left, centre.Top, form->Width(), form->Height());
  form->SetCaption(type == mtCustom ? Application->Title() : MsgDlgTypeCaption(type));
  AddIconAndMessage(form.get(), layout, type, in.HasIcon, text.Text);
  AddButtons(form.get(), layout, ownCaptions);
  return form.release();
}

int SkinMessageDlg(const std::string& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx) {
  return SkinMessageDlgPosHelp(msg, type, buttons, helpCtx, -1, -1, "");
}

int SkinMessageDlgPos(const std::string& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx, int x, int y) {
  return SkinMessageDlgPosHelp(msg, type, buttons, helpCtx, x, y, "");
}

namespace {

int ShowMessageForm(TsMessageForm* box, int helpCtx, int x, int y, const std::string& helpFileName) {
  TFormHolder form(box);
  form->SetHelpContext(helpCtx);
  form->SetHelpFile(helpFileName);
  const TMsgDlgPlacement place =
      PlaceMessageDialog(Screen->Width(), Screen->Height(), form->Width(), form->Height(), x, y);
  form->SetBounds(place.Left, place.Top, form->Width(), form->Height());
  if (place.ScreenCentre) form->SetPosition(poScreenCenter);
  return form->ShowModal();
}

}  // namespace

int SkinMessageDlgPosHelp(const std::string& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx, int x,
                          int y, const std::string& helpFileName) {
  return ShowMessageForm(CreateSkinMessageDialog(msg, type, buttons), helpCtx, x, y, helpFileName);
}

int SkinMessageDlgCaptions(const std::string& msg, TMsgDlgType type, TMsgDlgButtons buttons,
                           const TMsgDlgCaptions& captions) {
  return ShowMessageForm(CreateSkinMessageDialog(msg, type, buttons, captions), 0, -1, -1, "");
}

void SkinShowMessage(const std::string& msg) { SkinShowMessagePos(msg, -1, -1); }

void SkinShowMessagePos(const std::string& msg, int x, int y) { SkinMessageDlgPos(msg, mtCustom, mbOK, 0, x, y); }

bool AskYesNo(const std::string& msg) {
  return SkinMessageDlg(msg, TMsgDlgType::mtConfirmation, mbYes | mbNo, 0) == mrYes;
}

bool SkinInputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
  TFormHolder form(NewComponent<TsMessageForm>(Application));
  TMeasureCanvas measure(form.get());
  const POINT ave = GetAveCharSize(measure.Canvas());
  form->SetBorderStyle(bsDialog);
  form->SetCaption(caption);
  const TInputQueryLayout layout = LayoutInputQuery(ave.x, ave.y);
  form->SetClientSize(layout.ClientWidth, layout.ClientHeight);
  form->SetPosition(poScreenCenter);

  auto* label = NewControl<TsLabel>(form.get(), form.get(),
                                    RECT{layout.PromptLeft, layout.PromptTop, layout.PromptLeft, layout.PromptTop});
  label->SetCaption(prompt);
  auto* edit = NewControl<TsEdit>(form.get(), form.get());
  edit->SetBounds(layout.EditLeft, layout.EditTop, layout.EditWidth, edit->Height());
  edit->SetMaxLength(255);
  edit->SetText(value);
  auto* ok = NewControl<TsButton>(form.get(), form.get(), ToRECT(layout.OK));
  ok->SetName("OK");
  ok->SetCaption("OK");
  ok->SetModalResult(mrOk);
  ok->SetDefault(true);
  auto* cancel = NewControl<TsButton>(form.get(), form.get(), ToRECT(layout.Cancel));
  cancel->SetName("Cancel");
  cancel->SetCaption("Cancel");
  cancel->SetModalResult(mrCancel);
  cancel->SetCancel(true);
  form->SetActiveControl(edit);
  edit->HandleNeeded();
  edit->SelectAll();

  form->ApplyDialogSkin();
  if (form->ShowModal() != mrOk) return false;
  value = edit->Text();
  return true;
}

void InstallSkinMessageBoxHandler() {
  SetSkinMessageBoxHandler([](TsBoxKind kind, const std::string& text) {
    switch (kind) {
      case TsBoxKind::Confirmation:
        return SkinMessageDlg(text, mtConfirmation, mbYes | mbNo, 0) == mrYes;
      case TsBoxKind::Warning:
        SkinMessageDlg(text, mtWarning, mbOK, 0);
        return false;
      case TsBoxKind::Error:
        break;
    }
    SkinMessageDlg(text, mtError, mbOK, 0);
    return false;
  });
  NavigatorDeleteConfirmation() = [](TsDBNavigator*) {
    return SkinMessageDlg("Delete record?", mtConfirmation, mbOK | mbCancel, 0) == mrOk;
  };
}

namespace {

struct TInstallSkinnedBoxes {
  TInstallSkinnedBoxes() { InstallSkinMessageBoxHandler(); }
} InstallSkinnedBoxes;

}  // namespace
