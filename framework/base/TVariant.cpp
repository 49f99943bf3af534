#include "framework/base/TVariant.h"

#include "framework/base/Exception.h"

namespace {

[[noreturn]] void WrongKind() { throw EConvertError("Invalid variant type conversion"); }

}  // namespace

std::int32_t TVariant::Integer() const {
  if (auto v = std::get_if<std::int32_t>(&FValue)) return *v;
  WrongKind();
}

const std::string& TVariant::String() const {
  if (auto v = std::get_if<std::string>(&FValue)) return *v;
  WrongKind();
}

const WideString& TVariant::Wide() const {
  if (auto v = std::get_if<WideString>(&FValue)) return *v;
  WrongKind();
}
