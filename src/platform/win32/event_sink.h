#pragma once

#include "platform/win32/win_api.h"

#include <ocidl.h>

#include <memory>

#include "core/browser_automation.h"

namespace velmox::win32 {

// An event interface implemented as IDispatch, as the browser's connection points call it.
// Reference-counted by COM; the connection that advised it holds one reference.
class EventSink : public IDispatch {
 public:
  explicit EventSink(REFIID events) : events_(events) {}
  EventSink(const EventSink&) = delete;
  EventSink& operator=(const EventSink&) = delete;

  // Called when the connection is dropped; no event reaches the handler after that.
  virtual void Detach() = 0;

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO*, UINT*) override;

 protected:
  virtual ~EventSink() = default;
  // The events it takes; Invoke answers DISP_E_MEMBERNOTFOUND for any other member.
  virtual bool Handles(DISPID id) const = 0;
  // Runs the handler for one event. A failure inside stops there: the browser still gets the
  // by-reference arguments as they stand, and nothing unwinds into its frames.
  virtual void OnEvent(DISPID id, DISPPARAMS& params) = 0;

 private:
  IID events_;
  LONG references_ = 1;
};

// Advises `sink` (holding its first reference) on the source's connection point for `events`;
// the connection unadvises and detaches the sink when destroyed.
std::unique_ptr<Connection> Advise(IUnknown* source, REFIID events, EventSink* sink);

}  // namespace velmox::win32
