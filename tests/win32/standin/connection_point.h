#pragma once

#include "com_faces.h"

#include <ocidl.h>

#include <utility>
#include <vector>

namespace standin {

// One outgoing event interface of a stand-in object: the sinks advised on it, each called in
// the order it was advised, through IDispatch as a browser calls its event sinks.
class ConnectionPoint : public Object {
 public:
  explicit ConnectionPoint(REFIID events);

  HRESULT QueryInterface(REFIID iid, void** out) override;
  IConnectionPoint* Get() { return face_.Get(); }

  // Invokes every sink advised now; a sink advised or unadvised meanwhile does not change who
  // hears this event.
  void Raise(DISPID id, DISPPARAMS& params);
  int Count() const { return static_cast<int>(sinks_.size()); }
  // The object has gone away: its sinks are let go and hear nothing more.
  void DropAll();

 private:
  static HRESULT STDMETHODCALLTYPE GetConnectionInterface(IConnectionPoint* self, IID* iid);
  static HRESULT STDMETHODCALLTYPE Advise(IConnectionPoint* self, IUnknown* sink, DWORD* cookie);
  static HRESULT STDMETHODCALLTYPE Unadvise(IConnectionPoint* self, DWORD cookie);

  IID events_;
  std::vector<std::pair<DWORD, IDispatch*>> sinks_;
  DWORD nextCookie_ = 1;
  Face<IConnectionPoint> face_;
};

}  // namespace standin
