#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TEditorHost;

// The flex editor's logic: it names the image and its load address and hands the file on; it does
// not interpret the image.
class TFlexEditorModel {
public:
  explicit TFlexEditorModel(TEditorHost& host) : FHost(host) {}

  const std::string& FileName() const { return FFileName; }  // the source-file edit
  void SetFileName(const std::string& value) { FFileName = value; }
  const std::string& AddressText() const { return FAddressText; }  // the "Adress" edit
  void SetAddressText(const std::string& value) { FAddressText = value; }
  const std::vector<uint8_t>& Data() const { return FData; }

  void Show();
  int32_t GetFlexAddress();
  void Parse();
  void MakeShx();
  void Flash();

private:
  TEditorHost& FHost;
  std::string FFileName;
  std::string FAddressText;
  std::vector<uint8_t> FData;
};
