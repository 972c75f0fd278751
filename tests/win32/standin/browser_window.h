#pragma once

#include "com_faces.h"
#include "connection_point.h"

#include <exdisp.h>
#include <ocidl.h>

#include <optional>
#include <string>

namespace standin {

class Document;
class World;

// What a browser window shows around its page, and what it is called.
struct WindowFeatures {
  std::string name = "Microsoft Internet Explorer";
  bool visible = true;
  bool fullScreen = false;
  bool theaterMode = false;
  bool menuBar = true;
  bool statusBar = true;
  bool addressBar = true;
  int toolBar = 1;
  // An entry of the collection that is no web browser (it has no IWebBrowser2).
  bool bare = false;
};

// One top-level browser window: the properties Velmox reads and writes, Navigate, and
// DWebBrowserEvents2 through a connection point. While visible it has a real window on the
// screen, titled "<id> - stand-in browser", that the user can give the keyboard focus.
// A closed window fails every call, as a window whose process has gone does.
class Window : public Object {
 public:
  Window(World& world, std::string id, WindowFeatures features);

  HRESULT QueryInterface(REFIID iid, void** out) override;
  IDispatch* Dispatch() { return reinterpret_cast<IDispatch*>(browser_.Get()); }

  const std::string& Id() const { return id_; }
  const std::string& Name() const { return features_.name; }
  const std::string& Address() const { return address_; }
  Document* Page() { return page_; }
  int Connections() const { return events_->Count(); }
  bool Closed() const { return closed_; }

  // The browser shows a page: its document is built anew from the page's description.
  void Load(const std::string& address);
  // Raises BeforeNavigate2 with the browser's own argument layout; true when a sink cancelled.
  // `reported`, when given, is the address as the event carries it, in full UTF-16.
  bool BeforeNavigate2(const std::string& url, const std::optional<std::string>& postData,
                       const std::wstring& reported = {});
  // Raise NewWindow2 or NewWindow3 for one request; ppDisp and cancel carry the answer.
  void NewWindow2(IDispatch** ppDisp, VARIANT_BOOL* cancel);
  void NewWindow3(IDispatch** ppDisp, VARIANT_BOOL* cancel, const std::string& url, bool byUser);
  void Show(bool visible);
  void Close();

 private:
  ~Window() override;

  // Every call from outside starts here: a closed window refuses it, and a command armed for
  // this member runs first (or makes the call fail).
  HRESULT Enter(const char* member);
  static HRESULT GetFlag(IWebBrowser2* self, const char* member, bool WindowFeatures::*field,
                         VARIANT_BOOL* out);
  static HRESULT PutFlag(IWebBrowser2* self, const char* member, bool WindowFeatures::*field,
                         VARIANT_BOOL value);
  static HRESULT GetText(IWebBrowser2* self, const char* member,
                         const std::string& (*read)(Window&), BSTR* out);

  // Late binding, as a script or a caller that does not know the object's kind uses it: only
  // the AddressBar property, set by name.
  static HRESULT STDMETHODCALLTYPE GetIDsOfNames(IWebBrowser2* self, REFIID, LPOLESTR* names,
                                                 UINT count, LCID, DISPID* ids);
  static HRESULT STDMETHODCALLTYPE Invoke(IWebBrowser2* self, DISPID id, REFIID, LCID, WORD flags,
                                          DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*);
  static HRESULT STDMETHODCALLTYPE get_Name(IWebBrowser2* self, BSTR* out);
  static HRESULT STDMETHODCALLTYPE get_LocationURL(IWebBrowser2* self, BSTR* out);
  static HRESULT STDMETHODCALLTYPE get_Type(IWebBrowser2* self, BSTR* out);
  static HRESULT STDMETHODCALLTYPE get_Document(IWebBrowser2* self, IDispatch** out);
  static HRESULT STDMETHODCALLTYPE put_Visible(IWebBrowser2* self, VARIANT_BOOL value);
  static HRESULT STDMETHODCALLTYPE get_FullScreen(IWebBrowser2* self, VARIANT_BOOL* out);
  static HRESULT STDMETHODCALLTYPE put_FullScreen(IWebBrowser2* self, VARIANT_BOOL value);
  static HRESULT STDMETHODCALLTYPE get_TheaterMode(IWebBrowser2* self, VARIANT_BOOL* out);
  static HRESULT STDMETHODCALLTYPE put_TheaterMode(IWebBrowser2* self, VARIANT_BOOL value);
  static HRESULT STDMETHODCALLTYPE get_MenuBar(IWebBrowser2* self, VARIANT_BOOL* out);
  static HRESULT STDMETHODCALLTYPE put_MenuBar(IWebBrowser2* self, VARIANT_BOOL value);
  static HRESULT STDMETHODCALLTYPE get_StatusBar(IWebBrowser2* self, VARIANT_BOOL* out);
  static HRESULT STDMETHODCALLTYPE put_StatusBar(IWebBrowser2* self, VARIANT_BOOL value);
  static HRESULT STDMETHODCALLTYPE put_AddressBar(IWebBrowser2* self, VARIANT_BOOL value);
  static HRESULT STDMETHODCALLTYPE get_ToolBar(IWebBrowser2* self, int* out);
  static HRESULT STDMETHODCALLTYPE put_ToolBar(IWebBrowser2* self, int value);
  static HRESULT STDMETHODCALLTYPE Navigate(IWebBrowser2* self, BSTR url, VARIANT* flags,
                                            VARIANT* target, VARIANT* postData, VARIANT* headers);
  static HRESULT STDMETHODCALLTYPE FindConnectionPoint(IConnectionPointContainer* self, REFIID iid,
                                                       IConnectionPoint** out);

  World& world_;
  std::string id_;
  WindowFeatures features_;
  std::string address_;
  Document* page_ = nullptr;
  ConnectionPoint* events_;
  HWND frame_ = nullptr;
  bool closed_ = false;
  Face<IWebBrowser2> browser_;
  Face<IConnectionPointContainer> container_;
};

// Post data as a navigation's argument holds it: an array of bytes, behind any by-reference
// wrappers; nothing for an empty or missing argument.
std::optional<std::string> PostDataOf(const VARIANT* value);

}  // namespace standin
