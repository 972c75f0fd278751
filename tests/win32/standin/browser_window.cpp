#include "browser_window.h"

#include <exdispid.h>
#include <olectl.h>

#include <cstring>

#include "html_objects.h"
#include "record.h"
#include "requests.h"
#include "world.h"

namespace standin {
namespace {

constexpr char kFrameClass[] = "StandIn.Window";

void RegisterFrameClass() {
  static const bool registered = [] {
    WNDCLASSA frame{};
    frame.lpfnWndProc = DefWindowProcA;
    frame.hInstance = GetModuleHandleA(nullptr);
    frame.lpszClassName = kFrameClass;
    frame.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    return RegisterClassA(&frame) != 0;
  }();
  (void)registered;
}

std::string TrueFalse(bool value) {
  return value ? "true" : "false";
}

const std::string& NameOf(Window& window) {
  return window.Name();
}
const std::string& AddressOf(Window& window) {
  return window.Address();
}
const std::string& TypeOf(Window&) {
  static const std::string kType = "Microsoft HTML Document 5.0";
  return kType;
}

}  // namespace

std::optional<std::string> PostDataOf(const VARIANT* value) {
  while (value && value->vt == (VT_BYREF | VT_VARIANT))
    value = value->pvarVal;
  if (!value) return std::nullopt;
  SAFEARRAY* array = nullptr;
  if (value->vt == (VT_ARRAY | VT_UI1)) array = value->parray;
  if (value->vt == (VT_BYREF | VT_ARRAY | VT_UI1) && value->pparray) array = *value->pparray;
  if (!array) return std::nullopt;
  void* bytes = nullptr;
  if (FAILED(SafeArrayAccessData(array, &bytes))) return std::nullopt;
  std::string data(static_cast<const char*>(bytes), array->rgsabound[0].cElements);
  SafeArrayUnaccessData(array);
  return data;
}

Window::Window(World& world, std::string id, WindowFeatures features)
    : world_(world),
      id_(std::move(id)),
      features_(std::move(features)),
      events_(new ConnectionPoint(DIID_DWebBrowserEvents2, id_)) {
  static const IWebBrowser2Vtbl table = [] {
    auto t = DispatchTable<IWebBrowser2Vtbl, IWebBrowser2>();
    t.GetIDsOfNames = &GetIDsOfNames;
    t.Invoke = &Invoke;
    t.get_Name = &get_Name;
    t.get_LocationURL = &get_LocationURL;
    t.get_Type = &get_Type;
    t.get_Document = &get_Document;
    t.put_Visible = &put_Visible;
    t.get_FullScreen = &get_FullScreen;
    t.put_FullScreen = &put_FullScreen;
    t.get_TheaterMode = &get_TheaterMode;
    t.put_TheaterMode = &put_TheaterMode;
    t.get_MenuBar = &get_MenuBar;
    t.put_MenuBar = &put_MenuBar;
    t.get_StatusBar = &get_StatusBar;
    t.put_StatusBar = &put_StatusBar;
    t.put_AddressBar = &put_AddressBar;
    t.get_ToolBar = &get_ToolBar;
    t.put_ToolBar = &put_ToolBar;
    t.Navigate = &Navigate;
    return t;
  }();
  static const IConnectionPointContainerVtbl points = [] {
    auto t = UnknownTable<IConnectionPointContainerVtbl, IConnectionPointContainer>();
    t.FindConnectionPoint = &FindConnectionPoint;
    return t;
  }();
  browser_ = {&table, this};
  container_ = {&points, this};
}

Window::~Window() {
  if (frame_) DestroyWindow(frame_);
  if (page_) page_->Release();
  events_->Release();
}

HRESULT Window::QueryInterface(REFIID iid, void** out) {
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
    return browser_.HandOut(out);
  }
  if (!features_.bare && (IsEqualIID(iid, IID_IWebBrowser) || IsEqualIID(iid, IID_IWebBrowserApp) ||
                          IsEqualIID(iid, IID_IWebBrowser2))) {
    return browser_.HandOut(out);
  }
  if (IsEqualIID(iid, IID_IConnectionPointContainer)) return container_.HandOut(out);
  return E_NOINTERFACE;
}

void Window::Load(const std::string& address) {
  Document* page = world_.LoadDocument(id_, address);
  if (page_) page_->Release();
  page_ = page;
  address_ = address;
  if (frame_) SetWindowTextA(frame_, (id_ + " - stand-in browser").c_str());
}

bool Window::BeforeNavigate2(const std::string& url, const std::optional<std::string>& postData,
                             const std::wstring& reported) {
  // The browser's layout: URL, flags, target and headers in one by-reference variant each, the
  // post data in two.
  VARIANT urlValue, flags, target, postValue, postWrap, headers;
  for (VARIANT* v : {&urlValue, &flags, &target, &postValue, &postWrap, &headers})
    VariantInit(v);
  urlValue.vt = VT_BSTR;
  urlValue.bstrVal = reported.empty()
                         ? ToBstr(url)
                         : SysAllocStringLen(reported.data(), static_cast<UINT>(reported.size()));
  flags.vt = VT_I4;
  flags.lVal = 0;
  target.vt = VT_BSTR;
  target.bstrVal = nullptr;
  headers.vt = VT_BSTR;
  headers.bstrVal = nullptr;
  if (postData) {
    postValue.vt = VT_ARRAY | VT_UI1;
    postValue.parray = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(postData->size()));
    if (!postData->empty())
      std::memcpy(postValue.parray->pvData, postData->data(), postData->size());
  }
  postWrap.vt = VT_BYREF | VT_VARIANT;
  postWrap.pvarVal = &postValue;

  VARIANT_BOOL cancel = VARIANT_FALSE;
  VARIANT args[7];
  VARIANT* byRef[] = {&headers, &postWrap, &target, &flags, &urlValue};
  args[0].vt = VT_BYREF | VT_BOOL;
  args[0].pboolVal = &cancel;
  for (int i = 0; i < 5; ++i) {
    args[i + 1].vt = VT_BYREF | VT_VARIANT;
    args[i + 1].pvarVal = byRef[i];
  }
  args[6].vt = VT_DISPATCH;
  args[6].pdispVal = Dispatch();
  DISPPARAMS params{args, nullptr, 7, 0};
  AddRef();
  events_->Raise(DISPID_BEFORENAVIGATE2, params);
  Release();
  for (VARIANT* v : {&urlValue, &postValue})
    VariantClear(v);
  return cancel != VARIANT_FALSE;
}

void Window::NewWindow2(IDispatch** ppDisp, VARIANT_BOOL* cancel) {
  VARIANT args[2];
  args[1].vt = VT_BYREF | VT_DISPATCH;
  args[1].ppdispVal = ppDisp;
  args[0].vt = VT_BYREF | VT_BOOL;
  args[0].pboolVal = cancel;
  DISPPARAMS params{args, nullptr, 2, 0};
  events_->Raise(DISPID_NEWWINDOW2, params);
}

void Window::NewWindow3(IDispatch** ppDisp, VARIANT_BOOL* cancel, const std::string& url,
                        bool byUser) {
  constexpr long kFirst = 0x4;       // NWMF_FIRST
  constexpr long kUserInited = 0x2;  // NWMF_USERINITED
  VARIANT args[5];
  args[4].vt = VT_BYREF | VT_DISPATCH;
  args[4].ppdispVal = ppDisp;
  args[3].vt = VT_BYREF | VT_BOOL;
  args[3].pboolVal = cancel;
  args[2].vt = VT_I4;
  args[2].lVal = byUser ? kFirst | kUserInited : kFirst;
  args[1].vt = VT_BSTR;
  args[1].bstrVal = ToBstr(address_);
  args[0].vt = VT_BSTR;
  args[0].bstrVal = ToBstr(url);
  DISPPARAMS params{args, nullptr, 5, 0};
  events_->Raise(DISPID_NEWWINDOW3, params);
  SysFreeString(args[1].bstrVal);
  SysFreeString(args[0].bstrVal);
}

void Window::Show(bool visible) {
  features_.visible = visible;
  if (!visible) {
    if (frame_) ShowWindow(frame_, SW_HIDE);
    return;
  }
  if (!frame_) {
    RegisterFrameClass();
    static int placed = 0;
    const int offset = 16 * (placed++ % 24);
    frame_ = CreateWindowA(kFrameClass, (id_ + " - stand-in browser").c_str(), WS_OVERLAPPEDWINDOW,
                           40 + offset, 40 + offset, 320, 160, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  }
  if (frame_) ShowWindow(frame_, SW_SHOWNOACTIVATE);
}

void Window::Close() {
  closed_ = true;
  events_->DropAll();
  if (frame_) DestroyWindow(frame_);
  frame_ = nullptr;
}

HRESULT Window::Enter(const char* member) {
  if (closed_) return RPC_E_DISCONNECTED;
  return world_.Enter(id_, member);
}

HRESULT Window::GetFlag(IWebBrowser2* self, const char* member, bool WindowFeatures::*field,
                        VARIANT_BOOL* out) {
  Window& window = OwnerOf<Window>(self);
  if (const HRESULT hr = window.Enter(member); FAILED(hr)) return hr;
  if (!out) return E_POINTER;
  *out = window.features_.*field ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT Window::PutFlag(IWebBrowser2* self, const char* member, bool WindowFeatures::*field,
                        VARIANT_BOOL value) {
  Window& window = OwnerOf<Window>(self);
  if (const HRESULT hr = window.Enter(member); FAILED(hr)) return hr;
  window.features_.*field = value != VARIANT_FALSE;
  Record("set " + window.id_ + " " + member + " " + TrueFalse(value != VARIANT_FALSE));
  return S_OK;
}

HRESULT Window::GetText(IWebBrowser2* self, const char* member, const std::string& (*read)(Window&),
                        BSTR* out) {
  Window& window = OwnerOf<Window>(self);
  if (const HRESULT hr = window.Enter(member); FAILED(hr)) return hr;
  if (!out) return E_POINTER;
  *out = ToBstr(read(window));
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Window::get_Name(IWebBrowser2* self, BSTR* out) {
  return GetText(self, "Name", &NameOf, out);
}
HRESULT STDMETHODCALLTYPE Window::get_LocationURL(IWebBrowser2* self, BSTR* out) {
  return GetText(self, "LocationURL", &AddressOf, out);
}
HRESULT STDMETHODCALLTYPE Window::get_Type(IWebBrowser2* self, BSTR* out) {
  return GetText(self, "Type", &TypeOf, out);
}

HRESULT STDMETHODCALLTYPE Window::get_Document(IWebBrowser2* self, IDispatch** out) {
  Window& window = OwnerOf<Window>(self);
  if (const HRESULT hr = window.Enter("Document"); FAILED(hr)) return hr;
  if (!out) return E_POINTER;
  *out = nullptr;
  if (window.page_) {
    window.page_->AddRef();
    *out = reinterpret_cast<IDispatch*>(window.page_->Get());
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Window::put_Visible(IWebBrowser2* self, VARIANT_BOOL value) {
  const HRESULT hr = PutFlag(self, "Visible", &WindowFeatures::visible, value);
  if (SUCCEEDED(hr)) OwnerOf<Window>(self).Show(value != VARIANT_FALSE);
  return hr;
}
HRESULT STDMETHODCALLTYPE Window::get_FullScreen(IWebBrowser2* self, VARIANT_BOOL* out) {
  return GetFlag(self, "FullScreen", &WindowFeatures::fullScreen, out);
}
HRESULT STDMETHODCALLTYPE Window::put_FullScreen(IWebBrowser2* self, VARIANT_BOOL value) {
  return PutFlag(self, "FullScreen", &WindowFeatures::fullScreen, value);
}
HRESULT STDMETHODCALLTYPE Window::get_TheaterMode(IWebBrowser2* self, VARIANT_BOOL* out) {
  return GetFlag(self, "TheaterMode", &WindowFeatures::theaterMode, out);
}
HRESULT STDMETHODCALLTYPE Window::put_TheaterMode(IWebBrowser2* self, VARIANT_BOOL value) {
  return PutFlag(self, "TheaterMode", &WindowFeatures::theaterMode, value);
}
HRESULT STDMETHODCALLTYPE Window::get_MenuBar(IWebBrowser2* self, VARIANT_BOOL* out) {
  return GetFlag(self, "MenuBar", &WindowFeatures::menuBar, out);
}
HRESULT STDMETHODCALLTYPE Window::put_MenuBar(IWebBrowser2* self, VARIANT_BOOL value) {
  return PutFlag(self, "MenuBar", &WindowFeatures::menuBar, value);
}
HRESULT STDMETHODCALLTYPE Window::get_StatusBar(IWebBrowser2* self, VARIANT_BOOL* out) {
  return GetFlag(self, "StatusBar", &WindowFeatures::statusBar, out);
}
HRESULT STDMETHODCALLTYPE Window::put_StatusBar(IWebBrowser2* self, VARIANT_BOOL value) {
  return PutFlag(self, "StatusBar", &WindowFeatures::statusBar, value);
}
HRESULT STDMETHODCALLTYPE Window::put_AddressBar(IWebBrowser2* self, VARIANT_BOOL value) {
  return PutFlag(self, "AddressBar", &WindowFeatures::addressBar, value);
}

namespace {
constexpr DISPID kAddressBarId = 555;  // the browser's own number for the property
}

HRESULT STDMETHODCALLTYPE Window::GetIDsOfNames(IWebBrowser2*, REFIID, LPOLESTR* names, UINT count,
                                                LCID, DISPID* ids) {
  if (!names || !ids || count != 1) return E_INVALIDARG;
  if (lstrcmpiW(names[0], L"AddressBar") != 0) {
    ids[0] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
  ids[0] = kAddressBarId;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Window::Invoke(IWebBrowser2* self, DISPID id, REFIID, LCID, WORD flags,
                                         DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) {
  if (id != kAddressBarId) return DISP_E_MEMBERNOTFOUND;
  if (!(flags & DISPATCH_PROPERTYPUT) || !params || params->cArgs != 1) {
    return DISP_E_BADPARAMCOUNT;
  }
  if (params->rgvarg[0].vt != VT_BOOL) return DISP_E_TYPEMISMATCH;
  Record("late-bound " + OwnerOf<Window>(self).id_);
  return put_AddressBar(self, params->rgvarg[0].boolVal);
}

HRESULT STDMETHODCALLTYPE Window::get_ToolBar(IWebBrowser2* self, int* out) {
  Window& window = OwnerOf<Window>(self);
  if (const HRESULT hr = window.Enter("ToolBar"); FAILED(hr)) return hr;
  if (!out) return E_POINTER;
  *out = window.features_.toolBar;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE Window::put_ToolBar(IWebBrowser2* self, int value) {
  Window& window = OwnerOf<Window>(self);
  if (const HRESULT hr = window.Enter("ToolBar"); FAILED(hr)) return hr;
  window.features_.toolBar = value;
  Record("set " + window.id_ + " ToolBar " + std::to_string(value));
  return S_OK;
}

// Like the browser, Navigate only starts the navigation: BeforeNavigate2 follows from the
// message loop.
HRESULT STDMETHODCALLTYPE Window::Navigate(IWebBrowser2* self, BSTR url, VARIANT* flags,
                                           VARIANT* target, VARIANT* postData, VARIANT*) {
  Window& window = OwnerOf<Window>(self);
  if (const HRESULT hr = window.Enter("Navigate"); FAILED(hr)) return hr;
  const std::string address = FromBstr(url);
  const std::optional<std::string> post = PostDataOf(postData);
  Record("navigate " + window.id_ + " " + address +
         " flags=" + OptionalText(flags).value_or("none") +
         " target=" + OptionalText(target).value_or("none") + " post=" + PostDataText(post));
  window.AddRef();
  window.world_.Later([&window, address, post] {
    NavigateWindow(window, address, post);
    window.Release();
  });
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Window::FindConnectionPoint(IConnectionPointContainer* self, REFIID iid,
                                                      IConnectionPoint** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  Window& window = OwnerOf<Window>(self);
  if (window.closed_) return RPC_E_DISCONNECTED;
  if (!IsEqualIID(iid, DIID_DWebBrowserEvents2)) return CONNECT_E_NOCONNECTION;
  window.events_->AddRef();
  *out = window.events_->Get();
  return S_OK;
}

}  // namespace standin
