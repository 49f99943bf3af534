#include "framework/win/TPersistent.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

#include "framework/base/Exception.h"

void TPersistent::Assign(const TPersistent* source) {
  if (source != nullptr && source->AssignTo(this)) return;
  throw EConvertError(source == nullptr ? "Cannot assign nil" : "Cannot assign between these kinds of object");
}

bool TPersistent::AssignTo(TPersistent*) const { return false; }

std::string TPersistent::ClassName() const {
  const char* mangled = typeid(*this).name();
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> name(abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
  std::string result = status == 0 && name ? name.get() : mangled;
  // Only the class's own name, as the window class and skin sections know it.
  size_t colon = result.rfind("::");
  return colon == std::string::npos ? result : result.substr(colon + 2);
}
