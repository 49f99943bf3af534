#pragma once

// While a TScribbleFreed lives, memory given back through operator delete is overwritten and held
// back (freed when the scope ends), so that code reading an object after its free finds garbage
// instead of the old values or another object's.
class TScribbleFreed {
public:
  TScribbleFreed();
  ~TScribbleFreed();
  TScribbleFreed(const TScribbleFreed&) = delete;
  TScribbleFreed& operator=(const TScribbleFreed&) = delete;
};
