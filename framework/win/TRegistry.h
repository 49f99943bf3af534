#pragma once

#include <windows.h>

#include <string>

#include "framework/base/Exception.h"
#include "framework/base/TObject.h"

class TStringList;

class ERegistryException : public Exception {
public:
  using Exception::Exception;
};

// Reads the registry: a root key, one open key under it, its value names and string values.
class TRegistry : public TObject {
public:
  TRegistry() = default;
  ~TRegistry() override { CloseKey(); }
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  HKEY RootKey() const { return FRootKey; }
  void SetRootKey(HKEY root);
  HKEY CurrentKey() const { return FCurrentKey; }
  const std::string& CurrentPath() const { return FCurrentPath; }
  // Opens key (relative to the root, or to the open key when it has no leading backslash and a
  // key is open) for reading only; false when it does not exist or may not be read.
  bool OpenKeyReadOnly(const std::string& key);
  bool KeyExists(const std::string& key);
  void CloseKey();
  // The names of the open key's values, in the registry's order.
  void GetValueNames(TStringList& names);
  bool ValueExists(const std::string& name);
  // A string value (REG_SZ or REG_EXPAND_SZ, unexpanded); "" when the value does not exist. Raises
  // ERegistryException for a value of another type.
  std::string ReadString(const std::string& name);

private:
  std::string Resolve(const std::string& key, HKEY& base) const;

  HKEY FRootKey = HKEY_CURRENT_USER;
  HKEY FCurrentKey = nullptr;
  std::string FCurrentPath;
};
