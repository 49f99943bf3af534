#include "framework/win/TRegistry.h"

#include <vector>

#include "framework/base/TStringList.h"

namespace {

// Longest value name the registry allows, plus the terminator.
constexpr DWORD kMaxValueName = 16384;
// A string value larger than this is refused rather than allocated.
constexpr DWORD kMaxStringBytes = 1u << 20;

}  // namespace

void TRegistry::SetRootKey(HKEY root) {
  if (root == FRootKey) return;
  CloseKey();
  FRootKey = root;
}

std::string TRegistry::Resolve(const std::string& key, HKEY& base) const {
  bool relative = !key.empty() && key[0] != '\\' && FCurrentKey != nullptr;
  base = relative ? FCurrentKey : FRootKey;
  return relative || key.empty() || key[0] != '\\' ? key : key.substr(1);
}

bool TRegistry::OpenKeyReadOnly(const std::string& key) {
  HKEY base;
  std::string path = Resolve(key, base);
  HKEY opened = nullptr;
  if (RegOpenKeyExA(base, path.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
  std::string full = base == FCurrentKey ? FCurrentPath + "\\" + path : path;
  CloseKey();
  FCurrentKey = opened;
  FCurrentPath = full;
  return true;
}

bool TRegistry::KeyExists(const std::string& key) {
  HKEY base;
  std::string path = Resolve(key, base);
  HKEY opened = nullptr;
  if (RegOpenKeyExA(base, path.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return false;
  RegCloseKey(opened);
  return true;
}

void TRegistry::CloseKey() {
  if (FCurrentKey != nullptr) RegCloseKey(FCurrentKey);
  FCurrentKey = nullptr;
  FCurrentPath.clear();
}

void TRegistry::GetValueNames(TStringList& names) {
  names.Clear();
  if (FCurrentKey == nullptr) return;
  std::vector<char> buffer(kMaxValueName);
  for (DWORD index = 0;; ++index) {
    DWORD length = kMaxValueName;
    LONG r = RegEnumValueA(FCurrentKey, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (r == ERROR_NO_MORE_ITEMS) break;
    if (r != ERROR_SUCCESS) throw ERegistryException("Cannot read the value names of " + FCurrentPath);
    names.Add(std::string(buffer.data(), length));
  }
}

bool TRegistry::ValueExists(const std::string& name) {
  return FCurrentKey != nullptr &&
         RegQueryValueExA(FCurrentKey, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::string TRegistry::ReadString(const std::string& name) {
  if (FCurrentKey == nullptr) return "";
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(FCurrentKey, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return "";
  if (type != REG_SZ && type != REG_EXPAND_SZ) throw ERegistryException("Invalid data type for '" + name + "'");
  if (size > kMaxStringBytes) throw ERegistryException("Value '" + name + "' is too large");
  // The value may grow between the two calls: try a few times with the size reported.
  for (int attempt = 0; attempt < 4; ++attempt) {
    std::vector<char> data(size_t(size) + 1, 0);
    DWORD got = size;
    LONG r = RegQueryValueExA(FCurrentKey, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &got);
    if (r == ERROR_MORE_DATA && got <= kMaxStringBytes) {
      size = got;
      continue;
    }
    if (r != ERROR_SUCCESS) return "";
    // The stored string need not end with a terminator; stop at the first one if it does.
    std::string text(data.data(), got);
    size_t nul = text.find('\0');
    return nul == std::string::npos ? text : text.substr(0, nul);
  }
  return "";
}
