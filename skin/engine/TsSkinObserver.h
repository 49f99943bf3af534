#pragma once

#include <functional>

class TsSkinManager;

// Hears each skin change a manager tells the windows: a new skin in place, or the skin removed.
// It leaves its manager when freed; a manager freed first lets go of it. Its few methods are
// defined with the manager's, whose list they keep.
//   FSkinObserver.SetManager(SkinData().DefaultManager);  // with FSkinObserver{[this] { Recolour(); }}
class TsSkinObserver {
public:
  explicit TsSkinObserver(std::function<void()> onChange);
  ~TsSkinObserver();
  TsSkinObserver(const TsSkinObserver&) = delete;
  TsSkinObserver& operator=(const TsSkinObserver&) = delete;

  TsSkinManager* Manager() const { return FManager; }
  // Listens to this manager from now on; nullptr listens to none.
  void SetManager(TsSkinManager* manager);

private:
  friend class TsSkinManager;

  TsSkinManager* FManager = nullptr;
  std::function<void()> FOnChange;
};
