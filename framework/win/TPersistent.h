#pragma once

#include <string>

#include "framework/base/TObject.h"

// An object whose state can be copied from another of a compatible kind.
class TPersistent : public TObject {
public:
  TPersistent() = default;
  TPersistent(const TPersistent&) = delete;
  TPersistent& operator=(const TPersistent&) = delete;
  ~TPersistent() override = default;

  // Copies the state of source into this object; source gets the chance to do it (AssignTo) when
  // this object does not know its kind. Raises when neither knows the other.
  virtual void Assign(const TPersistent* source);
  // The name of the object's most derived class ("TButton").
  std::string ClassName() const;

protected:
  // Copies this object's state into dest; false when dest's kind is unknown here.
  virtual bool AssignTo(TPersistent* dest) const;
};
