#pragma once

class TBitmap;
class TControl;
class TCustomForm;

// What a form's skin provider tells the pieces that paint inside its frame (menu bar items, the MDI
// client): the frame's sizes as the provider paints them and its window cache. A form answers skin
// command GetProvider with a pointer to this interface in Result (0 without a provider).
class TsFormFrameLink {
public:
  virtual TCustomForm* Form() const = 0;
  // The section of the provider's skin object exists (the form is painted from the skin).
  virtual bool FrameSkinned() const = 0;

  virtual int FrameBorderWidth() const = 0;
  virtual int FrameBorderHeight() const = 0;
  virtual int TitleBarHeight() const = 0;
  virtual bool MenuBarShown() const = 0;
  virtual int MenuRowCount() const = 0;
  virtual int MenuLineHeight() const = 0;

  // The whole window as last painted (frame, menu band and client background); null before the
  // first paint.
  virtual TBitmap* WindowImage() = 0;
  virtual void SetBackgroundChanged(bool changed) = 0;
  virtual void MarkCacheFresh() = 0;
  virtual void RepaintMenuLine() = 0;
  virtual void RefreshFrame() = 0;

  virtual ~TsFormFrameLink() = default;
};

// The provider of the application's MDI main form, when there is one.
TsFormFrameLink* MDIFormProvider();
void SetMDIFormProvider(TsFormFrameLink* provider);

// The provider of the form that holds the control (the parent chain walked up to the form, which is
// asked with command GetProvider), or null.
TsFormFrameLink* GetFormProvider(TControl* control);
