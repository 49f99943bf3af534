#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/win/TOpenDialog.h"

class TPicture;

// The pane the picture dialogs add beside the platform's file list: the chosen picture's size and
// the picture, scaled down to fit. A file the picture class cannot read shows "Picture:" and no
// picture.
class TPicturePreviewPane {
public:
  static constexpr int LabelId = 0x5F01, ImageId = 0x5F02;

  TPicturePreviewPane();
  ~TPicturePreviewPane();

  // The child dialog's template: the standard controls' place (stc32) and the pane on its right.
  const DLGTEMPLATE* Template();
  // Messages of the hook dialog: placing the pane and painting the picture.
  bool Message(HWND hook, UINT msg, WPARAM wParam, LPARAM lParam);
  void Shown(HWND hook);
  // The platform dialog's selection now.
  void SelectionChanged(HWND hook);
  // Shows fileName (empty: nothing): its picture and " (width x height)", or "Picture:".
  void ShowFile(const std::string& fileName);

  const std::string& LabelText() const { return FLabelText; }
  TPicture* Picture() const { return FPicture.get(); }

private:
  void Place(HWND hook);
  void Draw(const DRAWITEMSTRUCT& item);

  std::vector<WORD> FTemplate;
  std::unique_ptr<TPicture> FPicture;
  std::string FLabelText = "Picture:";
  HWND FHook = nullptr;
};

// A file dialog Base with the preview pane.
template <typename Base>
class TPicturePreviewDialog : public Base {
public:
  using Base::Base;
  TPicturePreviewPane& PreviewPane() { return FPane; }

protected:
  const DLGTEMPLATE* ChildTemplate() override { return FPane.Template(); }
  bool ChildMessage(HWND hook, UINT msg, WPARAM wParam, LPARAM lParam) override {
    return FPane.Message(hook, msg, wParam, lParam);
  }
  void DialogShown(HWND hook) override { FPane.Shown(hook); }
  void SelectionChanged(HWND hook) override { FPane.SelectionChanged(hook); }

private:
  TPicturePreviewPane FPane;
};

// Open and save dialogs whose filter starts as every registered picture format, with a preview pane.
class TOpenPictureDialog : public TPicturePreviewDialog<TOpenDialog> {
public:
  explicit TOpenPictureDialog(TComponent* owner);
};

class TSavePictureDialog : public TPicturePreviewDialog<TSaveDialog> {
public:
  explicit TSavePictureDialog(TComponent* owner);
};
