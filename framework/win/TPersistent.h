#pragma once

// An object whose state can be copied from another of a compatible kind.
class TPersistent {
public:
  TPersistent() = default;
  TPersistent(const TPersistent&) = delete;
  TPersistent& operator=(const TPersistent&) = delete;
  virtual ~TPersistent() = default;

  // Copies the state of source into this object; source gets the chance to do it (AssignTo) when
  // this object does not know its kind. Raises when neither knows the other.
  virtual void Assign(const TPersistent* source);

protected:
  // Copies this object's state into dest; false when dest's kind is unknown here.
  virtual bool AssignTo(TPersistent* dest) const;
};
