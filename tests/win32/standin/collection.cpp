#include "collection.h"

#include <olectl.h>

#include <vector>

#include "browser_window.h"
#include "world.h"

namespace standin {
namespace {

// The collection's items as they were when the enumeration started; "Next" is a member a
// command can be armed for, owned by "collection".
class Enumerator : public Object {
 public:
  Enumerator(World& world, const std::vector<Window*>& windows) : world_(world) {
    for (Window* window : windows) {
      IDispatch* item = window->Dispatch();
      IDispatch_AddRef(item);
      items_.push_back(item);
    }
    static const IEnumVARIANTVtbl table = [] {
      auto t = UnknownTable<IEnumVARIANTVtbl, IEnumVARIANT>();
      t.Next = &Next;
      return t;
    }();
    face_ = {&table, this};
  }
  HRESULT QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IEnumVARIANT)) {
      return face_.HandOut(out);
    }
    return E_NOINTERFACE;
  }
  IEnumVARIANT* Get() { return face_.Get(); }

 private:
  ~Enumerator() override {
    for (IDispatch* item : items_)
      IDispatch_Release(item);
  }

  static HRESULT STDMETHODCALLTYPE Next(IEnumVARIANT* self, ULONG count, VARIANT* out,
                                        ULONG* fetched) {
    Enumerator& items = OwnerOf<Enumerator>(self);
    if (const HRESULT hr = items.world_.Enter("collection", "Next"); FAILED(hr)) return hr;
    if (!out) return E_POINTER;
    ULONG given = 0;
    while (given < count && items.next_ < items.items_.size()) {
      IDispatch* item = items.items_[items.next_++];
      IDispatch_AddRef(item);
      VariantInit(&out[given]);
      out[given].vt = VT_DISPATCH;
      out[given].pdispVal = item;
      ++given;
    }
    if (fetched) *fetched = given;
    return given == count ? S_OK : S_FALSE;
  }
  World& world_;
  std::vector<IDispatch*> items_;
  std::size_t next_ = 0;
  Face<IEnumVARIANT> face_;
};

}  // namespace

Collection::Collection(World& world)
    : world_(world), events_(new ConnectionPoint(DIID_DShellWindowsEvents, "collection")) {
  static const IShellWindowsVtbl table = [] {
    auto t = DispatchTable<IShellWindowsVtbl, IShellWindows>();
    t.get_Count = &get_Count;
    t.Item = &Item;
    t._NewEnum = &NewEnum;
    return t;
  }();
  static const IConnectionPointContainerVtbl points = [] {
    auto t = UnknownTable<IConnectionPointContainerVtbl, IConnectionPointContainer>();
    t.FindConnectionPoint = &FindConnectionPoint;
    return t;
  }();
  shell_ = {&table, this};
  container_ = {&points, this};
}

Collection::~Collection() {
  events_->Release();
}

HRESULT Collection::QueryInterface(REFIID iid, void** out) {
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
      IsEqualIID(iid, IID_IShellWindows)) {
    return shell_.HandOut(out);
  }
  if (IsEqualIID(iid, IID_IConnectionPointContainer)) return container_.HandOut(out);
  return E_NOINTERFACE;
}

void Collection::Raise(DISPID id, long cookie) {
  VARIANT argument;
  argument.vt = VT_I4;
  argument.lVal = cookie;
  DISPPARAMS params{&argument, nullptr, 1, 0};
  AddRef();
  events_->Raise(id, params);
  Release();
}

HRESULT STDMETHODCALLTYPE Collection::get_Count(IShellWindows* self, LONG* count) {
  Collection& collection = OwnerOf<Collection>(self);
  if (const HRESULT hr = collection.world_.Enter("collection", "Count"); FAILED(hr)) return hr;
  if (!count) return E_POINTER;
  *count = static_cast<LONG>(collection.world_.Listed().size());
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Collection::Item(IShellWindows* self, VARIANT index, IDispatch** folder) {
  Collection& collection = OwnerOf<Collection>(self);
  if (const HRESULT hr = collection.world_.Enter("collection", "Item"); FAILED(hr)) return hr;
  if (!folder) return E_POINTER;
  *folder = nullptr;
  VARIANT number;
  VariantInit(&number);
  if (FAILED(VariantChangeType(&number, &index, 0, VT_I4))) return E_INVALIDARG;
  const auto& windows = collection.world_.Listed();
  if (number.lVal < 0 || number.lVal >= static_cast<LONG>(windows.size())) return S_FALSE;
  *folder = windows[static_cast<std::size_t>(number.lVal)]->Dispatch();
  IDispatch_AddRef(*folder);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Collection::NewEnum(IShellWindows* self, IUnknown** out) {
  Collection& collection = OwnerOf<Collection>(self);
  if (const HRESULT hr = collection.world_.Enter("collection", "_NewEnum"); FAILED(hr)) return hr;
  if (!out) return E_POINTER;
  *out = reinterpret_cast<IUnknown*>(
      (new Enumerator(collection.world_, collection.world_.Listed()))->Get());
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Collection::FindConnectionPoint(IConnectionPointContainer* self,
                                                          REFIID iid, IConnectionPoint** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!IsEqualIID(iid, DIID_DShellWindowsEvents)) return CONNECT_E_NOCONNECTION;
  Collection& collection = OwnerOf<Collection>(self);
  collection.events_->AddRef();
  *out = collection.events_->Get();
  return S_OK;
}

}  // namespace standin
