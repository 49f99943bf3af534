#pragma once

#include <cstring>
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

class TObject;

template <typename Signature>
class TDelegate;

namespace delegate_detail {
// The class a member function pointer belongs to (the class that declares the method).
template <typename M>
struct TMemberClass;
template <typename C, typename R, typename... A>
struct TMemberClass<R (C::*)(A...)> {
  using Type = C;
};
template <typename C, typename R, typename... A>
struct TMemberClass<R (C::*)(A...) const> {
  using Type = C;
};
}  // namespace delegate_detail

// An event handler: an {object, method} pair that compares equal to another pair naming the same
// object and method, so a component can recognise (and later restore) a handler it installed.
// A plain function or a functor may be bound too; a functor compares equal only to copies of the
// delegate it was bound into.
template <typename R, typename... Args>
class TDelegate<R(Args...)> {
public:
  TDelegate() = default;
  TDelegate(std::nullptr_t) {}

  // The object is stored as the method's own class, so a handler bound through a derived-class
  // pointer equals the same handler bound through a base-class pointer.
  template <typename T, typename M>
    requires std::is_member_function_pointer_v<M>
  TDelegate(T* object, M method) {
    using C = typename delegate_detail::TMemberClass<M>::Type;
    static_assert(sizeof(M) <= sizeof(FMethod), "member pointer too large");
    if (object == nullptr || method == nullptr) return;
    FObject = static_cast<C*>(object);
    std::memcpy(FMethod, &method, sizeof(M));
    FInvoke = &InvokeMethod<C, M>;
  }

  TDelegate(R (*function)(Args...)) {
    if (function == nullptr) return;
    std::memcpy(FMethod, &function, sizeof(function));
    FInvoke = &InvokeFunction;
  }

  template <typename F>
  static TDelegate FromFunctor(F functor) {
    TDelegate d;
    d.FFunctor = std::make_shared<std::function<R(Args...)>>(std::move(functor));
    d.FInvoke = &InvokeFunctor;
    return d;
  }

  explicit operator bool() const { return FInvoke != nullptr; }
  bool Assigned() const { return FInvoke != nullptr; }
  void Clear() { *this = TDelegate(); }

  // The object the handler runs on (null for a plain function or functor).
  void* Object() const { return FObject; }

  R operator()(Args... args) const { return FInvoke(*this, std::forward<Args>(args)...); }

  friend bool operator==(const TDelegate& a, const TDelegate& b) {
    return a.FObject == b.FObject && a.FInvoke == b.FInvoke && a.FFunctor == b.FFunctor &&
           std::memcmp(a.FMethod, b.FMethod, sizeof(a.FMethod)) == 0;
  }

private:
  struct TProbe {
    virtual ~TProbe() = default;
  };
  using TInvoker = R (*)(const TDelegate&, Args...);

  template <typename T, typename M>
  static R InvokeMethod(const TDelegate& self, Args... args) {
    M method;
    std::memcpy(&method, self.FMethod, sizeof(M));
    return (static_cast<T*>(self.FObject)->*method)(std::forward<Args>(args)...);
  }
  static R InvokeFunction(const TDelegate& self, Args... args) {
    R (*function)(Args...);
    std::memcpy(&function, self.FMethod, sizeof(function));
    return function(std::forward<Args>(args)...);
  }
  static R InvokeFunctor(const TDelegate& self, Args... args) {
    return (*self.FFunctor)(std::forward<Args>(args)...);
  }

  void* FObject = nullptr;
  alignas(void*) unsigned char FMethod[2 * sizeof(void (TProbe::*)())] = {};
  TInvoker FInvoke = nullptr;
  std::shared_ptr<std::function<R(Args...)>> FFunctor;
};

template <typename T, typename R, typename C, typename... Args>
  requires std::is_base_of_v<C, T>
TDelegate<R(Args...)> MakeDelegate(T* object, R (C::*method)(Args...)) {
  return TDelegate<R(Args...)>(object, method);
}

using TNotifyEvent = TDelegate<void(TObject* Sender)>;
