#pragma once

#include "gif/core/TGIFExtension.h"

// Transparency, delay and disposal of the frame that follows.
class TGIFGraphicControlExtension : public TGIFExtension {
public:
  static constexpr uint8_t kLabel = 0xF9;

  uint8_t Label() const override { return kLabel; }
  std::unique_ptr<TGIFExtension> Clone() const override;

  uint8_t Packed() const { return FPacked; }
  void SetPacked(uint8_t value) { FPacked = value; }
  bool Transparent() const { return (FPacked & 0x01) != 0; }
  void SetTransparent(bool value) { FPacked = static_cast<uint8_t>(value ? FPacked | 1 : FPacked & ~1); }
  bool UserInput() const { return (FPacked & 0x02) != 0; }
  // 0 none given, 1 do not dispose, 2 restore to background, 3 restore to previous; 4-7 undefined.
  int Disposal() const { return (FPacked >> 2) & 7; }
  void SetDisposal(int value) { FPacked = static_cast<uint8_t>((FPacked & ~0x1C) | ((value & 7) << 2)); }
  // Hundredths of a second.
  uint16_t Delay() const { return FDelay; }
  void SetDelay(uint16_t value) { FDelay = value; }
  uint8_t TransparentIndex() const { return FTransparentIndex; }
  void SetTransparentIndex(uint8_t value) { FTransparentIndex = value; }

protected:
  void LoadBody(TGIFSpanReader& reader, const TGIFReporter& reporter) override;
  void SaveBody(std::vector<uint8_t>& out) const override;

private:
  uint8_t FPacked = 0;
  uint16_t FDelay = 0;
  uint8_t FTransparentIndex = 0;
};
