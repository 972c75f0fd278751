#pragma once

#include "com_faces.h"
#include "connection_point.h"

#include <exdisp.h>
#include <ocidl.h>

namespace standin {

class World;

// The shell's collection of browser windows: its count, its items in the order the windows
// registered (an entry may be something other than a web browser), an enumeration that is a
// snapshot taken when it starts, and WindowRegistered and WindowRevoked through a connection
// point. There is one per process, whoever asks for it.
class Collection : public Object {
 public:
  explicit Collection(World& world);

  HRESULT QueryInterface(REFIID iid, void** out) override;
  IShellWindows* Get() { return shell_.Get(); }

  // Raises WindowRegistered or WindowRevoked with the window's cookie.
  void Raise(DISPID id, long cookie);
  int Connections() const { return events_->Count(); }

 private:
  ~Collection() override;

  static HRESULT STDMETHODCALLTYPE get_Count(IShellWindows* self, LONG* count);
  static HRESULT STDMETHODCALLTYPE Item(IShellWindows* self, VARIANT index, IDispatch** folder);
  static HRESULT STDMETHODCALLTYPE NewEnum(IShellWindows* self, IUnknown** out);
  static HRESULT STDMETHODCALLTYPE FindConnectionPoint(IConnectionPointContainer* self, REFIID iid,
                                                       IConnectionPoint** out);

  World& world_;
  ConnectionPoint* events_;
  Face<IShellWindows> shell_;
  Face<IConnectionPointContainer> container_;
};

}  // namespace standin
