#pragma once

#include "platform/win32/win_api.h"

#include <oaidl.h>

#include <memory>

#include "core/browser_automation.h"
#include "platform/win32/scoped_win.h"

namespace velmox::win32 {

// What every automation object of the Windows desktop is underneath: a COM object. A new-window
// request's ppDisp is filled from it.
class ComObject {
 public:
  virtual ~ComObject() = default;
  // Borrowed: the caller adds its own reference when it keeps the pointer.
  virtual IDispatch* RawDispatch() const = 0;
};

// Any automation object the browser hands us that Velmox does not look into.
class ComDispatch : public Dispatch, public ComObject {
 public:
  explicit ComDispatch(ComPtr<IDispatch> object) : object_(std::move(object)) {}
  IDispatch* RawDispatch() const override { return object_.Get(); }

 private:
  ComPtr<IDispatch> object_;
};

// The COM object behind one of ours; null for an object from elsewhere.
inline IDispatch* RawDispatchOf(const Dispatch* object) {
  const auto* com = dynamic_cast<const ComObject*>(object);
  return com ? com->RawDispatch() : nullptr;
}

}  // namespace velmox::win32
