#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/win/Controls.h"
#include "skin/engine/TsSkinPeer.h"
#include "skin/windows/TsCtrlAdapter.h"
#include "skin/windows/core/GridBars.h"

class TBitmap;
class TDBGrid;
class TsCommonData;
class TsGridAdapter;
class TsGridHook;
class TsScrollBar;

// One adapted grid: its skin object, the window procedure it runs ahead of the grid's own, the
// skinned frame and the pair of skinned scroll bars laid over the grid's native ones.
class TsGridItem : public TsSkinPeer {
public:
  explicit TsGridItem(TsGridAdapter* adapter);
  ~TsGridItem() override;
  TsGridItem(const TsGridItem&) = delete;
  TsGridItem& operator=(const TsGridItem&) = delete;

  // The grid's component name.
  const std::string& CtrlName() const { return FCtrlName; }
  void SetCtrlName(const std::string& name) { FCtrlName = name; }
  TsCommonData* SkinData() const { return FSkinData.get(); }
  TDBGrid* Grid() const { return FGrid; }
  TsScrollBar* VertBar() const { return FBars[1]; }
  TsScrollBar* HorzBar() const { return FBars[0]; }
  // The frame painted around the grid: 2 pixels with a single border, else 0.
  int FrameWidth() const;
  bool FrameDirty() const { return FFrameDirty; }
  void SetFrameDirty() { FFrameDirty = true; }

  void Bind(TDBGrid* grid);
  void Unbind();
  // The grid goes away: the item lets go of it without touching it.
  void Forget();
  // Shows, places and fills the skinned bars, or hides them.
  void UpdateBars();
  // A bar that was freed by its parent.
  void BarGone(TComponent* bar);

private:
  friend class TsGridHook;

  void WndProc(TMessage& message);
  // A message to the skinned grid: the grid's procedure, then the bars and frame it changed. grid:
  // the grid bound when the message came, for telling whether the message unbound it.
  void HandleSkinned(TDBGrid* grid, TMessage& message);
  void CallSaved(TMessage& message);
  // The grid's side of the skin protocol: the grid keeps no cache for children.
  TsCacheInfo SkinCache() override;
  void SkinCommand(::SkinCommand command) override;
  void SkinRefresh(const TsRefresh& refresh) override;
  // Refresh, within the application's refresh or not (nullptr).
  void Refresh(const TsRefresh* refresh);
  void PaintFrame();
  void FreeBars();
  void RefreshAfterSkin();
  void SetFixedColorFromSkin();
  TsScrollBar* NeedBar(int which);
  // True when the bar was hidden and shows now.
  bool PlaceBar(int which, bool wanted, const TGridBarParams& params, const RECT& bounds);
  TGridRecordView RecordView() const;
  void VertScroll(TObject* sender, TScrollCode code, int& position);
  void HorzScroll(TObject* sender, TScrollCode code, int& position);
  bool Visible() const;

  TsGridAdapter* FAdapter;
  std::string FCtrlName;
  std::unique_ptr<TsCommonData> FSkinData;
  bool FFrameDirty = true;
  TDBGrid* FGrid = nullptr;
  TsGridHook* FHook = nullptr;  // owned by the grid
  TsScrollBar* FBars[2] = {nullptr, nullptr};  // horizontal, vertical; freed with their parent
  bool FUpdating = false;  // the item moves the grid itself: no bar updates meanwhile
  bool FButtonDown = false;
};

// The grids an adapter names.
class TsGridItems {
public:
  explicit TsGridItems(TsGridAdapter* adapter) : FAdapter(adapter) {}
  int Count() const { return int(FItems.size()); }
  TsGridItem* Items(int index) const { return FItems.at(std::size_t(index)).get(); }
  TsGridItem* Add();
  void Delete(int index);

private:
  TsGridAdapter* FAdapter;
  std::vector<std::unique_ptr<TsGridItem>> FItems;
};

// The adapter of the framework's data grids: each grid gets a skinned frame from its section
// ("EDIT" by default), the skin's fixed-cell colour and skinned scroll bars kept in step with its
// records, rows and columns.
class TsGridAdapter : public TsCtrlAdapter {
public:
  explicit TsGridAdapter(TComponent* owner);
  ~TsGridAdapter() override;

  TsGridItems* Controls() { return &FControls; }

  int Count() const override { return FControls.Count(); }
  void BindItem(int index, TControl* control) override;
  void* GetItem(int index) override;
  TsCommonData* ItemSkinData(int index) override;
  int IndexOf(const std::string& name) const override;
  void AddControl(TControl* control) override;
  void AddItem(TControl* control, const std::string& section) override;
  void RemoveItem(int index) override;
  // The item bound to grid; -1 when none.
  int IndexOfGrid(const TControl* grid) const;

protected:
  void Notification(TComponent* component, TOperation operation) override;
  bool Adapts(TComponent* component) const override;
  std::string ItemControlName(int index) const override;
  int IndexOfRemoved(TComponent* component) const override;
  void ForgetRemoved(TComponent* component) override;

private:
  TsGridItems FControls;
};
