#pragma once
// Comparable events. An event is a target object and a member function of it
// (or a free function, or a callable with an explicit identity). Two events
// compare equal when they call the same function on the same target, so a
// handler can be hooked, tested and unhooked by value:
//
//   Button->OnClick = MakeEvent(this, &TMyForm::ButtonClick);
//   if (Button->OnClick == MakeEvent(this, &TMyForm::ButtonClick)) ...
//   if (Assigned(Button->OnClick)) Button->OnClick(Button);
//   Button->OnClick = nullptr;
//
// Calling an empty event does nothing and answers a value-initialised result.
#include <cstddef>
#include <cstring>
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

class TObject;

template <class Signature>
class TEvent;

template <class R, class... Args>
class TEvent<R(Args...)> {
  struct TProbe {
    void Method();
  };
  // Wide enough for any member function pointer of the Itanium ABI.
  static constexpr std::size_t CodeSize = sizeof(void (TProbe::*)()) > 2 * sizeof(void*)
                                              ? sizeof(void (TProbe::*)())
                                              : 2 * sizeof(void*);
  using TThunk = R (*)(const TEvent&, Args...);

public:
  TEvent() = default;
  TEvent(std::nullptr_t) {}

  // A method of an object.
  template <class T, class U>
    requires std::is_base_of_v<U, T>
  TEvent(T* ATarget, R (U::*AMethod)(Args...)) {
    BindMethod<U>(static_cast<U*>(ATarget), AMethod);
  }
  template <class T, class U>
    requires std::is_base_of_v<U, T>
  TEvent(T* ATarget, R (U::*AMethod)(Args...) const) {
    BindMethod<U>(static_cast<U*>(ATarget), AMethod);
  }

  // A free function; its address is its identity.
  TEvent(R (*AFunction)(Args...)) {
    if (!AFunction) return;
    StoreCode(AFunction);
    FThunk = [](const TEvent& e, Args... args) -> R {
      return e.template LoadCode<R (*)(Args...)>()(std::forward<Args>(args)...);
    };
  }

  // Any callable, identified by AIdentity (an object the handler belongs to,
  // or any address that tells this handler apart) plus an optional tag.
  // Events made from the same identity and tag compare equal.
  template <class F>
  TEvent(const void* AIdentity, F&& ACallable, std::size_t ATag = 0) {
    FTarget = const_cast<void*>(AIdentity);
    StoreCode(ATag);
    FCallable = std::make_shared<std::function<R(Args...)>>(std::forward<F>(ACallable));
    FThunk = [](const TEvent& e, Args... args) -> R { return (*e.FCallable)(std::forward<Args>(args)...); };
  }

  R operator()(Args... args) const {
    if (!FThunk) {
      if constexpr (std::is_void_v<R>)
        return;
      else
        return R{};
    }
    return FThunk(*this, std::forward<Args>(args)...);
  }

  bool Assigned() const { return FThunk != nullptr; }
  explicit operator bool() const { return Assigned(); }
  // The object the handler is called on (nullptr for free functions).
  void* Target() const { return FTarget; }

  friend bool operator==(const TEvent& a, const TEvent& b) {
    if (!a.FThunk || !b.FThunk) return !a.FThunk && !b.FThunk;
    return a.FKind == b.FKind && a.FTarget == b.FTarget && std::memcmp(a.FCode, b.FCode, CodeSize) == 0;
  }
  friend bool operator==(const TEvent& a, std::nullptr_t) { return !a.FThunk; }

private:
  enum TKind : unsigned char { kMethod, kFunction, kCallable };

  template <class U, class M>
  void BindMethod(U* ATarget, M AMethod) {
    if (!ATarget || !AMethod) return;
    FTarget = ATarget;
    StoreCode(AMethod);
    FThunk = [](const TEvent& e, Args... args) -> R {
      return (static_cast<U*>(e.FTarget)->*(e.template LoadCode<M>()))(std::forward<Args>(args)...);
    };
    FKind = kMethod;
  }

  template <class C>
  void StoreCode(C ACode) {
    static_assert(sizeof(C) <= CodeSize && std::is_trivially_copyable_v<C>);
    std::memcpy(FCode, &ACode, sizeof(C));
    if constexpr (std::is_pointer_v<C>) FKind = kFunction;
    if constexpr (std::is_integral_v<C>) FKind = kCallable;
  }
  template <class C>
  C LoadCode() const {
    C code;
    std::memcpy(&code, FCode, sizeof(C));
    return code;
  }

  void* FTarget = nullptr;
  alignas(void*) unsigned char FCode[CodeSize] = {};
  TKind FKind = kMethod;
  TThunk FThunk = nullptr;
  std::shared_ptr<std::function<R(Args...)>> FCallable;
};

template <class R, class... Args>
bool Assigned(const TEvent<R(Args...)>& AEvent) {
  return AEvent.Assigned();
}

// The usual way to make an event: MakeEvent(this, &TMyForm::ButtonClick).
template <class T, class U, class R, class... Args>
TEvent<R(Args...)> MakeEvent(T* ATarget, R (U::*AMethod)(Args...)) {
  return TEvent<R(Args...)>(ATarget, AMethod);
}
template <class T, class U, class R, class... Args>
TEvent<R(Args...)> MakeEvent(T* ATarget, R (U::*AMethod)(Args...) const) {
  return TEvent<R(Args...)>(ATarget, AMethod);
}

// ---- Common event types ------------------------------------------------------------------

using TNotifyEvent = TEvent<void(TObject* Sender)>;
