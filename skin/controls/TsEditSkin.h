#pragma once

#include <windows.h>

#include <memory>

#include "framework/win/GdiScopes.h"
#include "framework/win/TBrush.h"
#include "skin/controls/TsLabel.h"
#include "skin/engine/TsBoundLabel.h"
#include "skin/engine/TsSkinned.h"

class TBitmap;
class TCustomEdit;

namespace EditSkin {

// Where the client area begins in the window: the width of the native frame.
POINT ClientOrigin(HWND window);
// The 2-pixel frame of cache (the control's size) copied to the same place on the window's DC.
void CopyFrame(HDC windowDC, TBitmap* cache, int width, int height);
// The frame may be painted now: the control has a parent, both are visible, the control is not
// being created and the background below it is steady.
bool FramePaintable(TControl* control, const TsCommonData& skin);
// The messages after which a native EDIT has drawn itself (through its own DC, not WM_PAINT).
bool EditPaintsAfter(const TMessage& message, HWND window);
// The edit's text into the cache in the section's text colours for the state, one password
// character per character when the edit has one, where the native edit would draw it.
void PaintText(TsCommonData& skin, TCustomEdit* edit, bool hot);
// The colours of the native client while skinned: the section's HOTCOLOR and hot font colour when
// hot, else its COLOR and font colour; the control's own font colour with CustomFont.
TColor SectionColor(const TsCommonData& skin, bool hot);
TColor SectionFontColor(const TsCommonData& skin, bool hot, TColor ownFontColor);

}  // namespace EditSkin

// The skin layer of the edit-like controls over a framework edit Base. The skin draws the whole
// control from the cache, text included, until the control takes the focus; while it has it the
// native edit paints its own client area (text, caret, selection) in the section's colours inside
// the skinned 2-pixel frame, which covers the native one. A control with NativeClient always true (a memo) leaves its client
// to the native control for good and has only its frame from the skin.
//
// Each carries a bound label (TsEditLabel, beside the control) and creates it on demand through
// BoundLabel()->SetActive(true).
template <typename Base>
class TsSkinnedEdit : public TsSkinned<Base> {
  using Layer = TsSkinned<Base>;

public:
  TsSkinnedEdit(TsControlKind kind, TComponent* owner) : Layer(kind, TsCacheBitmap::Own, owner) {
    InstallEditLabelFactory();
    if (this->SkinData().SkinSection().empty()) this->SkinData().SetSkinSection("EDIT");
    FBoundLabel = std::make_unique<TsBoundLabel>(&this->SkinData());
  }
  ~TsSkinnedEdit() override {
    // The window's last messages (focus leaving, destruction) still run the skinned procedure:
    // let them come while the bound label and the skin object are whole.
    if (this->HandleAllocated()) this->DestroyHandle();
  }

  TsBoundLabel* BoundLabel() override { return FBoundLabel.get(); }

protected:
  // The client area is the native edit's: while focused.
  virtual bool NativeClient() const { return this->Focused(); }

  bool SkinnedMessage(TMessage& message) override {
    switch (message.Msg) {
      case WM_PAINT:
        if (!NativeClient()) return Layer::SkinnedMessage(message);
        this->InheritedWndProc(message);
        PaintFrame();
        return true;
      case WM_NCPAINT:
        PaintFrame();
        return true;
      case CN_CTLCOLOREDIT:
      case CN_CTLCOLORSTATIC:
        if (this->SkinData().CustomColor()) return false;
        AnswerClientColors(message);
        return true;
      case EM_SETPASSWORDCHAR:
        // The cache never keeps the text in clear once a password character is set.
        this->InheritedWndProc(message);
        this->SkinData().RequestRepaint();
        return true;
      case CM_EXIT:
        if (this->SkinData().FocusHot()) {
          this->SkinData().SetFocusHot(false);
          this->HotChanged();
        }
        return false;
      default:
        return Layer::SkinnedMessage(message);
    }
  }

  void StandingCommand(::SkinCommand command) override {
    Layer::StandingCommand(command);
    // A new window drops every trace of the skin: the native frame and painting are back.
    if (command == ::SkinCommand::RemoveSkin && !this->IsDestroying()) this->RecreateWnd();
  }

  bool NativePaintsAfter(const TMessage& message) const override {
    return this->HandleAllocated() && EditSkin::EditPaintsAfter(message, this->Window()->Handle());
  }

  // The cache covers the whole window, frame included: its client part is copied at the client's
  // offset in the window.
  void PaintClient(HDC dc) override {
    if (NativeClient()) return;
    const POINT origin = EditSkin::ClientOrigin(this->Handle());
    OffsetViewportOrgEx(dc, -origin.x, -origin.y, nullptr);
    Layer::PaintClient(dc);
  }

  bool PaintsBorder() const override { return true; }
  bool PaintBorder(HDC windowDC) override {
    TsCommonData& skin = this->SkinData();
    if (!EditSkin::FramePaintable(this, skin)) return true;
    if (skin.RepaintNeeded() && !skin.Updating()) this->BuildCache();
    if (!skin.RepaintNeeded()) EditSkin::CopyFrame(windowDC, skin.CacheBitmap(), this->Width(), this->Height());
    return true;
  }

  void PaintText() override { EditSkin::PaintText(this->SkinData(), this, this->SkinState() != TsSkinState::Normal); }

  bool ClientHot() const { return this->SkinData().IsHot(); }
  TColor ClientColor() const { return EditSkin::SectionColor(this->SkinData(), ClientHot()); }
  TColor ClientFontColor() { return EditSkin::SectionFontColor(this->SkinData(), ClientHot(), this->Font()->Color()); }

  // The native client's colours, asked for by the native edit whenever it paints.
  void AnswerClientColors(TMessage& message) {
    if (FClientBrush.Color() != ClientColor()) FClientBrush.SetColor(ClientColor());
    HDC dc = reinterpret_cast<HDC>(message.WParam);
    SetTextColor(dc, ColorToRGB(this->Enabled() ? ClientFontColor() : clGrayText));
    SetBkColor(dc, ColorToRGB(FClientBrush.Color()));
    message.Result = reinterpret_cast<LRESULT>(FClientBrush.Handle());
  }

  // The frame on the window now.
  void PaintFrame() {
    if (!this->HandleAllocated()) return;
    const TWindowDC dc(this->Handle(), TWindowDC::Whole);
    PaintBorder(dc.Handle());
  }

private:
  std::unique_ptr<TsBoundLabel> FBoundLabel;
  TBrush FClientBrush;
};
