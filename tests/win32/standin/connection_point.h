#pragma once

#include "com_faces.h"

#include <ocidl.h>

#include <string>
#include <utility>
#include <vector>

namespace standin {

// One outgoing event interface of a stand-in object: the sinks advised on it, each called in
// the order it was advised, through IDispatch as a browser calls its event sinks. Advise and
// Unadvise are members a command can be armed for, under the name of the object that owns the
// point ("collection" or a window's id): a browser in another process answers them while the
// caller's thread goes on taking incoming calls.
class ConnectionPoint : public Object {
 public:
  ConnectionPoint(REFIID events, std::string owner);

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
  std::string owner_;
  std::vector<std::pair<DWORD, IDispatch*>> sinks_;
  DWORD nextCookie_ = 1;
  Face<IConnectionPoint> face_;
};

}  // namespace standin
