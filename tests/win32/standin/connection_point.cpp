#include "connection_point.h"

#include <olectl.h>

#include "world.h"

namespace standin {

ConnectionPoint::ConnectionPoint(REFIID events, std::string owner)
    : events_(events), owner_(std::move(owner)) {
  static const IConnectionPointVtbl table = [] {
    auto t = UnknownTable<IConnectionPointVtbl, IConnectionPoint>();
    t.GetConnectionInterface = &GetConnectionInterface;
    t.Advise = &Advise;
    t.Unadvise = &Unadvise;
    return t;
  }();
  face_ = {&table, this};
}

HRESULT ConnectionPoint::QueryInterface(REFIID iid, void** out) {
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
    return face_.HandOut(out);
  }
  return E_NOINTERFACE;
}

void ConnectionPoint::Raise(DISPID id, DISPPARAMS& params) {
  std::vector<IDispatch*> listening;
  for (auto& [cookie, sink] : sinks_) {
    IDispatch_AddRef(sink);
    listening.push_back(sink);
  }
  for (IDispatch* sink : listening) {
    IDispatch_Invoke(sink, id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                     nullptr, nullptr);
    IDispatch_Release(sink);
  }
}

void ConnectionPoint::DropAll() {
  std::vector<std::pair<DWORD, IDispatch*>> dropped;
  dropped.swap(sinks_);
  for (auto& [cookie, sink] : dropped)
    IDispatch_Release(sink);
}

HRESULT STDMETHODCALLTYPE ConnectionPoint::GetConnectionInterface(IConnectionPoint* self,
                                                                  IID* iid) {
  if (!iid) return E_POINTER;
  *iid = OwnerOf<ConnectionPoint>(self).events_;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ConnectionPoint::Advise(IConnectionPoint* self, IUnknown* sink,
                                                  DWORD* cookie) {
  if (!sink || !cookie) return E_POINTER;
  ConnectionPoint& point = OwnerOf<ConnectionPoint>(self);
  if (const HRESULT hr = World::Instance().Enter(point.owner_, "Advise"); FAILED(hr)) return hr;
  IDispatch* events = nullptr;
  if (FAILED(IUnknown_QueryInterface(sink, point.events_, reinterpret_cast<void**>(&events))) &&
      FAILED(IUnknown_QueryInterface(sink, IID_IDispatch, reinterpret_cast<void**>(&events)))) {
    return CONNECT_E_CANNOTCONNECT;
  }
  *cookie = point.nextCookie_++;
  point.sinks_.emplace_back(*cookie, events);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ConnectionPoint::Unadvise(IConnectionPoint* self, DWORD cookie) {
  ConnectionPoint& point = OwnerOf<ConnectionPoint>(self);
  // What the armed command raises may still reach the sink that is being let go.
  if (const HRESULT hr = World::Instance().Enter(point.owner_, "Unadvise"); FAILED(hr)) return hr;
  for (auto it = point.sinks_.begin(); it != point.sinks_.end(); ++it) {
    if (it->first != cookie) continue;
    IDispatch* sink = it->second;
    point.sinks_.erase(it);
    IDispatch_Release(sink);
    return S_OK;
  }
  return CONNECT_E_NOCONNECTION;
}

}  // namespace standin
