#pragma once

#include <memory>
#include <string>

#include "framework/win/TBitmap.h"
#include "framework/win/TFont.h"
#include "framework/win/TPersistent.h"
#include "skin/windows/core/TsHintLook.h"

class TsHintManager;

// The look of a manager's hints: shape, margins, colours, transparency, gradient, texture, shadow
// and font. Setting the style selects the manager's hint window class at once.
class TsHintKind : public TPersistent {
public:
  explicit TsHintKind(TsHintManager* manager);
  ~TsHintKind() override;

  void Assign(const TPersistent* source) override;

  const TsHintLook& Look() const { return FLook; }
  // Applies a predefined look; false when it changed nothing but perhaps the style.
  bool ApplyPredefinition(TsHintsPredefinitions predefinition);

  TsHintStyle Style() const { return FLook.Style; }
  void SetStyle(TsHintStyle style);
  int Radius() const { return FLook.Radius; }
  void SetRadius(int v) { FLook.Radius = v; }
  int BevelWidth() const { return FLook.BevelWidth; }
  void SetBevelWidth(int v) { FLook.BevelWidth = v; }
  int Blur() const { return FLook.Blur; }
  void SetBlur(int v) { FLook.Blur = v; }
  int ExOffset() const { return FLook.ExOffset; }
  void SetExOffset(int v) { FLook.ExOffset = v; }
  int MarginH() const { return FLook.MarginH; }
  void SetMarginH(int v) { FLook.MarginH = v; }
  int MarginV() const { return FLook.MarginV; }
  void SetMarginV(int v) { FLook.MarginV = v; }
  int MaxWidth() const { return FLook.MaxWidth; }
  void SetMaxWidth(int v) { FLook.MaxWidth = v; }
  TColor Color() const { return FLook.Color; }
  void SetColor(TColor v) { FLook.Color = v; }
  TColor ColorBorderTop() const { return FLook.ColorBorderTop; }
  void SetColorBorderTop(TColor v) { FLook.ColorBorderTop = v; }
  TColor ColorBorderBottom() const { return FLook.ColorBorderBottom; }
  void SetColorBorderBottom(TColor v) { FLook.ColorBorderBottom = v; }
  int Transparency() const { return FLook.Transparency; }
  void SetTransparency(int v) { FLook.Transparency = v; }
  const std::string& GradientData() const { return FLook.GradientData; }
  void SetGradientData(const std::string& v) { FLook.GradientData = v; }
  int GradientPercent() const { return FLook.GradientPercent; }
  void SetGradientPercent(int v) { FLook.GradientPercent = v; }
  int TexturePercent() const { return FLook.TexturePercent; }
  void SetTexturePercent(int v) { FLook.TexturePercent = v; }
  int Bevel() const { return FLook.Bevel; }
  void SetBevel(int v) { FLook.Bevel = v; }
  bool ShadowEnabled() const { return FLook.ShadowEnabled; }
  void SetShadowEnabled(bool v) { FLook.ShadowEnabled = v; }
  TColor ShadowColor() const { return FLook.ShadowColor; }
  void SetShadowColor(TColor v) { FLook.ShadowColor = v; }
  int ShadowOffset() const { return FLook.ShadowOffset; }
  void SetShadowOffset(int v) { FLook.ShadowOffset = v; }
  int ShadowBlur() const { return FLook.ShadowBlur; }
  void SetShadowBlur(int v) { FLook.ShadowBlur = v; }
  int ShadowTransparency() const { return FLook.ShadowTransparency; }
  void SetShadowTransparency(int v) { FLook.ShadowTransparency = v; }

  TFont* Font() { return &FFont; }
  void SetFont(const TFont* font) { FFont.Assign(font); }
  // The body's texture picture, tiled at TexturePercent.
  TBitmap* Texture() { return &FTexture; }
  const std::string& TextureFile() const { return FTextureFile; }
  // Loads the texture from a BMP file; an empty name empties it.
  void SetTextureFile(const std::string& fileName);

private:
  TsHintManager* FManager;
  TsHintLook FLook;
  TFont FFont;
  TBitmap FTexture;
  std::string FTextureFile;
};
