#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/win/TComponent.h"
#include "framework/win/TControl.h"
#include "skin/engine/SkinMessage.h"
#include "skin/engine/TsColorSource.h"
#include "skin/engine/TsCommonData.h"
#include "skin/engine/TsFormFrameLink.h"
#include "skin/engine/TsSkinPeer.h"
#include "skin/windows/core/TsFrameDrag.h"
#include "skin/windows/TsProviderHost.h"
#include "skin/windows/core/TsFrameGeometry.h"

class TBitmap;
class TCustomForm;
class TMainMenu;
class TMenuItem;
class TsSkinManager;
class TsSystemMenu;
class TsMDIForm;
class TsTitleButton;
class TsTitleButtons;
class TsTitleIcon;
class TsScrollBar;
class TsCaptionButtons;
class TsFormScrollBars;
class TsMenuBand;
class TsOutlineDrag;
class TsProviderFrame;

enum class TsGripMode { gmNone, gmRightBottom };
enum class TsResizeMode { rmStandard, rmBorder };

// Skins a whole form. It stands in front of the form's window procedure; while a skin is active it
// takes the non-client area over: caption, borders, icon, caption buttons and menu band are painted
// from its cache, the hit test and the caption's clicks are its own, the platform's caption buttons
// and caption text are kept off the window, and (with rmBorder) moving and sizing show an outline
// that moves the window once at the end. Without a skin every message goes on as before.
// Its parts: the frame's image and region (TsProviderFrame), the caption buttons (TsCaptionButtons),
// the menu band (TsMenuBand), the form's scroll bars (TsFormScrollBars) and the outline drag
// (TsOutlineDrag); the provider answers the messages and tells its parts.
//
//   auto* provider = NewComponent<TsSkinProvider>(form);   // hooks the form at once
//   provider->SetResizeMode(TsResizeMode::rmBorder);
class TsSkinProvider : public TComponent,
                       public TsFormFrameLink,
                       public TsSkinProviderLink,
                       public TsColorSource,
                       public TsSkinPeer,
                       public TsProviderHost {
public:
  explicit TsSkinProvider(TComponent* owner);
  ~TsSkinProvider() override;
  void AfterConstruction() override;
  void Loaded() override;

  TsCommonData* SkinData() override { return FSkinData.get(); }
  TsSkinManager* SkinManager() const override { return FSkinManager; }
  void SetSkinManager(TsSkinManager* manager);
  uint8_t BorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(uint8_t icons) { FBorderIcons = icons; }
  TAlignment CaptionAlignment() const override { return FCaptionAlignment; }
  void SetCaptionAlignment(TAlignment value);
  TsGripMode GripMode() const { return FGripMode; }
  void SetGripMode(TsGripMode mode);
  bool MakeSkinMenu() const { return FMakeSkinMenu; }
  void SetMakeSkinMenu(bool value) { FMakeSkinMenu = value; }
  TsResizeMode ResizeMode() const { return FResizeMode; }
  void SetResizeMode(TsResizeMode mode) { FResizeMode = mode; }
  bool ScreenSnap() const { return FScreenSnap; }
  void SetScreenSnap(bool value) { FScreenSnap = value; }
  int SnapBuffer() const { return FSnapBuffer; }
  void SetSnapBuffer(int value) { FSnapBuffer = value; }
  bool ShowAppIcon() const { return FShowAppIcon; }
  void SetShowAppIcon(bool value);
  TsTitleButtons* TitleButtons() override { return FTitleButtons.get(); }
  TsTitleIcon* TitleIcon() override { return FTitleIcon.get(); }
  bool UseGlobalColor() const { return FUseGlobalColor; }
  void SetUseGlobalColor(bool value);
  TsSystemMenu* SystemMenu() const { return FSystemMenu; }
  // The skinned MDI client of an MDI main form; null for other forms.
  TsMDIForm* MDIForm() const override { return FMDIForm; }

  // The form's window procedure while the provider lives.
  void FormWindowProc(TMessage& message);
  void ProviderWndProc(TMessage& message) override { FormWindowProc(message); }
  // The procedure that was in front of the form before the hook.
  const TWndMethod& OldWindowProc() const { return FOldWindowProc; }

  bool Skinned() const override;
  void RepaintNonClient();
  void SetHotButton(int code);
  void PressButton(int code);
  int HotButton() const;
  int ButtonState(int code) const;
  void ShowSystemMenu(int x, int y);
  void ShowSystemMenuUnderIcon();
  // The provider's own scroll bars over a skinned form that scrolled by itself: shown while the
  // children reach past the client area; without a skin the form scrolls as before.
  void UpdateFormScrollBars();
  TsScrollBar* VertScrollBar() const;
  TsScrollBar* HorzScrollBar() const;
  // The form's menu bar built anew, owner-drawn while the form has a skin.
  void UpdateMenuOwnerDraw();
  // What the window rules see of the form.
  TsWindowFacts WindowFacts() const override;
  // The frame's geometry now (window and client sizes, masks, menu rows).
  TsFrameFacts FrameFacts() override;
  std::vector<TsCaptionSlot> CaptionSlots();
  // The platform's answer for WM_NCHITTEST at the screen point, as the provider gives it.
  int HitTest(int screenX, int screenY);
  // The whole window image into the cache (when a repaint is due).
  void PaintFrame();
  // The non-client bands of the cache to dc (a window DC, or a printing DC).
  void OutputFrame(HDC dc);
  // The outline of the running drag, drawn (or erased: R2_NOT) on dc.
  void DrawDragFrame(HDC dc);
  bool Dragging() const;

  // How often the frame was painted whole and single buttons were repainted (for tests and
  // benchmarks that count work instead of timing it).
  int FramePaints() const;
  int ButtonPaints() const;

  // What the parts read of the form's look: the skin's mask indexes, whether the form is drawn
  // active, and the caption as the skin shows it.
  using TMasks = TsProviderMasks;
  const TMasks& Masks() const override { return FMasks; }
  bool FormActive() const override { return FFormActive; }
  std::string ShownCaption() const override;

  // TsFormFrameLink
  TCustomForm* Form() const override { return FForm; }
  bool FrameSkinned() const override;
  int FrameBorderWidth() const override;
  int FrameBorderHeight() const override;
  int TitleBarHeight() const override;
  bool MenuBarShown() const override;
  int MenuRowCount() const override;
  int MenuLineHeight() const override;
  TBitmap* WindowImage() override;
  void SetBackgroundChanged(bool changed) override;
  void MarkCacheFresh() override;
  void RepaintMenuLine() override;
  void RefreshFrame() override;

  // TsColorSource
  std::optional<TColor> OwnerColor() const override;

  // The system metrics the frame uses; a test may give others.
  static const TsSystemSizes& SystemSizes();
  static void SetSystemSizes(const TsSystemSizes* sizes);
  const TsSystemSizes& FrameSizes() const override { return SystemSizes(); }

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  void CallOld(TMessage& message);
  bool HandleFirstSteps(TMessage& message);
  void HandleNotSkinned(TMessage& message);
  // The form's side of the skin protocol: it answers while the form is skinned; NewSkin and
  // RemoveSkin whatever its state.
  TsCacheInfo SkinCache() override;
  TColor SkinBackgroundColor() override;
  bool SkinBackgroundChanged() override;
  bool SkinHasPaintedBackground() override;
  TsFormFrameLink* SkinProvider() override;
  void SkinCommand(::SkinCommand command) override;
  void SetSkinBgChanged(bool changed) override;
  void SetSkinUpdating(bool updating) override;
  void SetSkinActiveChild(TControl* child) override;
  void NewSkin();
  void HandleSkinned(TMessage& message);
  // Handlers of single messages of a skinned form.
  void WMSetText(TMessage& message);
  void WMPrint(TMessage& message);
  void WMEnterMenuLoop(TMessage& message);
  void WMActivate(TMessage& message);
  void WMGetMinMaxInfo(TMessage& message);
  void WMWindowPosChanging(TMessage& message);
  void WMWindowPosChanged(TMessage& message);
  void WMSize(TMessage& message);
  void WMNCMouseMove(TMessage& message);
  void WMNCRButtonDown(TMessage& message);
  void WMNCRButtonUp(TMessage& message);
  void WMMouseMove(TMessage& message);
  void WMMouseLeave(TMessage& message);
  void CMColorChanged(TMessage& message);
  void CMMenuChanged(TMessage& message);
  void ResolveMasks();
  void ApplyFormColor();
  void EmptyBorderIcons();
  void RestoreBorderIcons();
  void RemoveSkin();
  // The form's menus get (or lose) the skinned menu painter's handlers.
  void UpdateMenus(bool enable);
  // An MDI main form's client follows its size; a child's size and activation reach the main form.
  void AfterMDIMessage(const TMessage& message);
  void PostMainMDIUpdate(bool frameChanged);
  void WMMove(TMessage& message);
  void WMChildActivate(TMessage& message);
  void AfterMDIChildSizeCommand(unsigned command);

  void NcPaint();
  // The platform's copy of the caption, set without the platform painting its own caption.
  static void StoreWindowText(HWND h, LPARAM text);
  void ClientPaint(TMessage& message);
  void NcHitTest(TMessage& message);
  void NcLButtonDown(TMessage& message);
  void ButtonUp(TMessage& message, bool nonClient);
  void NcLButtonDblClk(TMessage& message);
  void SysCommand(TMessage& message);
  bool StartMenuDrag(bool move);
  void NcActivate(TMessage& message);
  void WindowPosChanging(TMessage& message);
  void MaximizeToWorkArea(MINMAXINFO* mmi);
  void SizeChanged(TMessage& message);
  void ActionOf(int code, int x, int y);

  void MarkRepaint();
  void EndDrag(bool apply);

  std::unique_ptr<TsCommonData> FSkinData;
  TsSkinManager* FSkinManager = nullptr;
  TCustomForm* FForm = nullptr;
  uint8_t FBorderIcons;
  uint8_t FSavedBorderIcons = 0;
  bool FSettingBorderIcons = false;
  TAlignment FCaptionAlignment = taLeftJustify;
  TsGripMode FGripMode = TsGripMode::gmNone;
  bool FMakeSkinMenu = true;
  TsResizeMode FResizeMode = TsResizeMode::rmStandard;
  bool FScreenSnap = false;
  int FSnapBuffer = 10;
  bool FShowAppIcon = true;
  std::unique_ptr<TsTitleButtons> FTitleButtons;
  std::unique_ptr<TsTitleIcon> FTitleIcon;
  bool FUseGlobalColor = true;
  TsSystemMenu* FSystemMenu = nullptr;
  TsMDIForm* FMDIForm = nullptr;

  TWndMethod FOldWindowProc;
  bool FHooked = false;
  std::string FCaptionText;
  bool FHasCaptionText = false;
  bool FFormActive = true;
  bool FMenuOwnerDrawDone = false;
  bool FInMenuOwnerDraw = false;
  bool FHoldMoveLoop = false;  // a caption press is passed on: the platform's move loop is not wanted
  int FMDISizeState = SIZE_RESTORED;  // an MDI child's last WM_SIZE kind: restored, maximized, minimized
  const TMainMenu* FHookedMenu = nullptr;  // compared only, never used
  TMasks FMasks;

  std::unique_ptr<TsCaptionButtons> FButtons;
  std::unique_ptr<TsMenuBand> FMenuBand;
  std::unique_ptr<TsProviderFrame> FFrame;
  std::unique_ptr<TsFormScrollBars> FScrollBars;
  std::unique_ptr<TsOutlineDrag> FDrag;
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};
