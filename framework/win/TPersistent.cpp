#include "framework/win/TPersistent.h"

#include "framework/base/Exception.h"

void TPersistent::Assign(const TPersistent* source) {
  if (source != nullptr && source->AssignTo(this)) return;
  throw Exception(source == nullptr ? "Cannot assign nil" : "Cannot assign between these kinds of object");
}

bool TPersistent::AssignTo(TPersistent*) const { return false; }
