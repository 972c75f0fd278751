#include "platform/win32/event_sink.h"

#include "platform/win32/scoped_win.h"
#include "platform/win32/win_error.h"

namespace velmox::win32 {

STDMETHODIMP EventSink::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, events_)) {
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) EventSink::AddRef() {
  return static_cast<ULONG>(++references_);
}

STDMETHODIMP_(ULONG) EventSink::Release() {
  const LONG left = --references_;
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

STDMETHODIMP EventSink::GetTypeInfoCount(UINT* count) {
  if (count) *count = 0;
  return S_OK;
}

STDMETHODIMP EventSink::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP EventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
  return E_NOTIMPL;
}

STDMETHODIMP EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                               EXCEPINFO*, UINT*) {
  if (!Handles(id)) return DISP_E_MEMBERNOTFOUND;
  if (!params) return E_INVALIDARG;
  // Keeps the sink alive should the handler drop the connection that holds it.
  ComPtr<EventSink> self = ComPtr<EventSink>::Borrow(this);
  try {
    OnEvent(id, *params);
  } catch (...) {
  }
  return S_OK;
}

namespace {

class PointConnection : public Connection {
 public:
  PointConnection(ComPtr<IConnectionPoint> point, DWORD cookie, ComPtr<EventSink> sink)
      : point_(std::move(point)), cookie_(cookie), sink_(std::move(sink)) {}
  ~PointConnection() override {
    sink_->Detach();
    point_->Unadvise(cookie_);
  }
  PointConnection(const PointConnection&) = delete;
  PointConnection& operator=(const PointConnection&) = delete;

 private:
  ComPtr<IConnectionPoint> point_;
  DWORD cookie_;
  ComPtr<EventSink> sink_;
};

}  // namespace

std::unique_ptr<Connection> Advise(IUnknown* source, REFIID events, EventSink* sink) {
  ComPtr<EventSink> owned(sink);
  ComPtr<IConnectionPointContainer> container;
  CheckHr(source->QueryInterface(IID_IConnectionPointContainer,
                                 reinterpret_cast<void**>(container.Put())));
  ComPtr<IConnectionPoint> point;
  CheckHr(container->FindConnectionPoint(events, point.Put()));
  DWORD cookie = 0;
  CheckHr(point->Advise(static_cast<IDispatch*>(sink), &cookie));
  return std::make_unique<PointConnection>(std::move(point), cookie, std::move(owned));
}

}  // namespace velmox::win32
