#pragma once

// Owners for every Windows handle and COM pointer the Windows desktop holds. Each closes what it
// owns exactly once; copies are deleted, moves hand ownership over.
#include "platform/win32/win_api.h"

#include <oleauto.h>

#include <utility>

#include "platform/win32/win_error.h"

namespace velmox::win32 {

template <class T, class Traits>
class Scoped {
 public:
  Scoped() = default;
  explicit Scoped(T value) : value_(value) {}
  ~Scoped() { Reset(); }
  Scoped(const Scoped&) = delete;
  Scoped& operator=(const Scoped&) = delete;
  Scoped(Scoped&& other) noexcept : value_(std::exchange(other.value_, Traits::Invalid())) {}
  Scoped& operator=(Scoped&& other) noexcept {
    if (this != &other) {
      Reset();
      value_ = std::exchange(other.value_, Traits::Invalid());
    }
    return *this;
  }

  T Get() const { return value_; }
  bool Valid() const { return value_ != Traits::Invalid(); }
  void Reset(T value = Traits::Invalid()) {
    if (Valid()) Traits::Close(value_);
    value_ = value;
  }
  T Release() { return std::exchange(value_, Traits::Invalid()); }

 private:
  T value_ = Traits::Invalid();
};

struct HandleTraits {
  static HANDLE Invalid() { return nullptr; }
  static void Close(HANDLE h) { CloseHandle(h); }
};
// CreateFileA reports failure as INVALID_HANDLE_VALUE rather than null.
struct FileHandleTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { CloseHandle(h); }
};
struct KeyTraits {
  static HKEY Invalid() { return nullptr; }
  static void Close(HKEY key) { RegCloseKey(key); }
};
struct WindowTraits {
  static HWND Invalid() { return nullptr; }
  static void Close(HWND window) { DestroyWindow(window); }
};
struct IconTraits {
  static HICON Invalid() { return nullptr; }
  static void Close(HICON icon) { DestroyIcon(icon); }
};
struct MenuTraits {
  static HMENU Invalid() { return nullptr; }
  static void Close(HMENU menu) { DestroyMenu(menu); }
};
struct FontTraits {
  static HFONT Invalid() { return nullptr; }
  static void Close(HFONT font) { DeleteObject(font); }
};
struct BstrTraits {
  static BSTR Invalid() { return nullptr; }
  static void Close(BSTR text) { SysFreeString(text); }
};

using ScopedHandle = Scoped<HANDLE, HandleTraits>;
using ScopedFile = Scoped<HANDLE, FileHandleTraits>;
using ScopedKey = Scoped<HKEY, KeyTraits>;
using ScopedWindow = Scoped<HWND, WindowTraits>;
using ScopedIcon = Scoped<HICON, IconTraits>;
using ScopedMenu = Scoped<HMENU, MenuTraits>;
using ScopedBstr = Scoped<BSTR, BstrTraits>;
using ScopedFont = Scoped<HFONT, FontTraits>;

// A COM interface pointer holding one reference.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  // Takes over a reference the caller already owns.
  explicit ComPtr(T* owned) : p_(owned) {}
  ~ComPtr() { Reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      Reset();
      p_ = std::exchange(other.p_, nullptr);
    }
    return *this;
  }

  // Adds a reference of its own to a borrowed pointer.
  static ComPtr Borrow(T* borrowed) {
    if (borrowed) borrowed->AddRef();
    return ComPtr(borrowed);
  }

  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // The out-parameter of a creating call; drops what was held.
  T** Put() {
    Reset();
    return &p_;
  }
  void Reset() {
    if (p_) std::exchange(p_, nullptr)->Release();
  }
  // Hands the reference to the caller.
  T* Detach() { return std::exchange(p_, nullptr); }

  // QueryInterface: null when the object does not offer the interface.
  template <class U>
  ComPtr<U> Query(REFIID iid) const {
    ComPtr<U> result;
    if (p_) p_->QueryInterface(iid, reinterpret_cast<void**>(result.Put()));
    return result;
  }

 private:
  T* p_ = nullptr;
};

// A VARIANT that is cleared when it goes.
class ScopedVariant {
 public:
  ScopedVariant() { VariantInit(&v_); }
  ~ScopedVariant() { VariantClear(&v_); }
  ScopedVariant(const ScopedVariant&) = delete;
  ScopedVariant& operator=(const ScopedVariant&) = delete;

  VARIANT* Get() { return &v_; }
  const VARIANT& operator*() const { return v_; }

 private:
  VARIANT v_;
};

// A safe array's data, locked for one scope: unlocked again whatever happens meanwhile.
class SafeArrayData {
 public:
  explicit SafeArrayData(SAFEARRAY* array) : array_(array) {
    CheckHr(SafeArrayAccessData(array, &data_));
  }
  ~SafeArrayData() { SafeArrayUnaccessData(array_); }
  SafeArrayData(const SafeArrayData&) = delete;
  SafeArrayData& operator=(const SafeArrayData&) = delete;

  void* Get() const { return data_; }

 private:
  SAFEARRAY* array_;
  void* data_ = nullptr;
};

// OLE for the user-interface thread (a single-threaded apartment), for one scope.
class OleSession {
 public:
  OleSession();
  ~OleSession();
  OleSession(const OleSession&) = delete;
  OleSession& operator=(const OleSession&) = delete;
};

}  // namespace velmox::win32
