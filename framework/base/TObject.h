#pragma once

// Common root of the framework's classes: lets events carry a Sender of any kind and lets
// delegates name their object without knowing its class.
class TObject {
public:
  TObject() = default;
  TObject(const TObject&) = default;
  TObject& operator=(const TObject&) = default;
  virtual ~TObject() = default;
};
