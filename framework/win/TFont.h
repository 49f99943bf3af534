#pragma once

#include <string>

#include "framework/win/Graphics.h"
#include "framework/win/TGraphicsObject.h"

class TFont : public TGraphicsObject {
public:
  TFont();

  void Assign(const TPersistent* source) override;

  // The font object for the current properties, made on first use; the font keeps it.
  HFONT Handle();
  // Takes the properties of a platform font; the font does not take ownership of handle.
  void SetHandle(HFONT handle);

  const std::string& Name() const { return FName; }
  void SetName(const std::string& name);
  // Size in points; Height in pixels (negative: character height without internal leading).
  int Size() const;
  void SetSize(int points);
  int Height() const { return FHeight; }
  void SetHeight(int pixels);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles style);
  TColor Color() const { return FColor; }
  void SetColor(TColor color);
  BYTE Charset() const { return FCharset; }
  void SetCharset(BYTE charset);
  int PixelsPerInch() const { return FPixelsPerInch; }
  void SetPixelsPerInch(int ppi) { FPixelsPerInch = ppi > 0 ? ppi : 96; }

private:
  std::string FName;
  int FHeight;
  TFontStyles FStyle = 0;
  TColor FColor = clWindowText;
  BYTE FCharset = DEFAULT_CHARSET;
  int FPixelsPerInch;
};
