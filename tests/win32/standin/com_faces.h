#pragma once

// The stand-in browser's COM objects are written against the C form of the interfaces
// (CINTERFACE): one table of function pointers per interface. An object fills in only the
// members Velmox calls and every other slot answers E_NOTIMPL, so a browser window needs a dozen
// members rather than the hundreds its interfaces declare.
#ifndef CINTERFACE
#error "the stand-in browser is built with CINTERFACE"
#endif

#include <windows.h>

#include <ole2.h>
#include <oleauto.h>

#include <cstddef>
#include <optional>
#include <string>

namespace standin {

HRESULT STDMETHODCALLTYPE NotImplemented();

// An interface table whose every slot answers E_NOTIMPL.
template <class Vtbl>
Vtbl Unimplemented() {
  static_assert(sizeof(Vtbl) % sizeof(void*) == 0);
  Vtbl table;
  void** slot = reinterpret_cast<void**>(&table);
  for (std::size_t i = 0; i < sizeof(Vtbl) / sizeof(void*); ++i) {
    slot[i] = reinterpret_cast<void*>(&NotImplemented);
  }
  return table;
}

// Every stand-in object: one reference count for all of its interfaces.
class Object {
 public:
  Object() = default;
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  ULONG AddRef() { return ++references_; }
  ULONG Release() {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  // The interface asked for, with a reference added; E_NOINTERFACE when the object has none.
  virtual HRESULT QueryInterface(REFIID iid, void** out) = 0;

 protected:
  virtual ~Object() = default;

 private:
  ULONG references_ = 1;
};

// One interface of an object: its table, then the object it belongs to.
template <class Interface>
struct Face {
  const void* lpVtbl;
  Object* owner;

  Interface* Get() { return reinterpret_cast<Interface*>(this); }
  // Hands this interface out through QueryInterface's out-parameter.
  HRESULT HandOut(void** out) {
    owner->AddRef();
    *out = this;
    return S_OK;
  }
};

template <class Owner, class Interface>
Owner& OwnerOf(Interface* self) {
  return *static_cast<Owner*>(reinterpret_cast<Face<Interface>*>(self)->owner);
}

template <class Interface>
HRESULT STDMETHODCALLTYPE FaceQueryInterface(Interface* self, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return reinterpret_cast<Face<Interface>*>(self)->owner->QueryInterface(iid, out);
}
template <class Interface>
ULONG STDMETHODCALLTYPE FaceAddRef(Interface* self) {
  return reinterpret_cast<Face<Interface>*>(self)->owner->AddRef();
}
template <class Interface>
ULONG STDMETHODCALLTYPE FaceRelease(Interface* self) {
  return reinterpret_cast<Face<Interface>*>(self)->owner->Release();
}
template <class Interface>
HRESULT STDMETHODCALLTYPE NoTypeInfo(Interface*, UINT* count) {
  if (count) *count = 0;
  return S_OK;
}

// A table with IUnknown filled in.
template <class Vtbl, class Interface>
Vtbl UnknownTable() {
  Vtbl table = Unimplemented<Vtbl>();
  table.QueryInterface = &FaceQueryInterface<Interface>;
  table.AddRef = &FaceAddRef<Interface>;
  table.Release = &FaceRelease<Interface>;
  return table;
}

// The same for an interface derived from IDispatch, which has no type information to give.
template <class Vtbl, class Interface>
Vtbl DispatchTable() {
  Vtbl table = UnknownTable<Vtbl, Interface>();
  table.GetTypeInfoCount = &NoTypeInfo<Interface>;
  return table;
}

// Text crosses COM as UTF-16; the stand-in's own text is in the system's code page.
BSTR ToBstr(const std::string& text);
std::string FromBstr(BSTR text);
// An optional argument's value: nothing for an empty or missing variant (any by-reference
// wrappers followed), the variant's text otherwise.
std::optional<std::string> OptionalText(const VARIANT* value);
// Post data as the record shows it: "none", "empty" or the bytes in hexadecimal.
std::string PostDataText(const std::optional<std::string>& bytes);

}  // namespace standin
