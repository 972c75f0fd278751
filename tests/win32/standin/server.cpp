// The stand-in browser as an in-process COM server: the classes of the shell's window collection
// and of the browser's application, so that Velmox finds it by their CLSIDs the usual way once
// `regsvr32 standin_browser.dll` has registered it in a throwaway Wine prefix.
#include <exdisp.h>

#include <string>

#include "record.h"
#include "world.h"

namespace standin {
namespace {

// The window collection, or a new browser window as CoCreateInstance gives one: invisible,
// showing no page, and listed in the collection (its WindowRegistered follows from the message
// loop, since it was made in the middle of the caller's work).
class Factory : public Object {
 public:
  explicit Factory(bool browser) : browser_(browser) {
    static const IClassFactoryVtbl table = [] {
      auto t = UnknownTable<IClassFactoryVtbl, IClassFactory>();
      t.CreateInstance = &CreateInstance;
      t.LockServer = &LockServer;
      return t;
    }();
    face_ = {&table, this};
  }
  HRESULT QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
      return face_.HandOut(out);
    }
    return E_NOINTERFACE;
  }
  IClassFactory* Get() { return face_.Get(); }

 private:
  static HRESULT STDMETHODCALLTYPE CreateInstance(IClassFactory* self, IUnknown* outer, REFIID iid,
                                                  void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    World& world = World::Instance();
    if (!OwnerOf<Factory>(self).browser_) return world.TheCollection().QueryInterface(iid, out);
    WindowFeatures features;
    features.visible = false;
    Window& window = world.Create("", features);
    Record("created " + window.Id() + " by a caller");
    world.Register(window, true);
    const HRESULT hr = window.QueryInterface(iid, out);
    window.Release();
    return hr;
  }
  static HRESULT STDMETHODCALLTYPE LockServer(IClassFactory*, BOOL) { return S_OK; }

  bool browser_;
  Face<IClassFactory> face_;
};

HMODULE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExA(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCSTR>(&ThisModule), &module);
  return module;
}

HRESULT RegisterClassServer(REFCLSID clsid, const std::string& module) {
  LPOLESTR text = nullptr;
  if (FAILED(StringFromCLSID(clsid, &text))) return E_FAIL;
  char guid[64];
  WideCharToMultiByte(CP_ACP, 0, text, -1, guid, sizeof guid, nullptr, nullptr);
  CoTaskMemFree(text);
  const std::string key = std::string("Software\\Classes\\CLSID\\") + guid + "\\InprocServer32";
  const char apartment[] = "Apartment";
  LONG status = RegSetKeyValueA(HKEY_LOCAL_MACHINE, key.c_str(), nullptr, REG_SZ, module.c_str(),
                                static_cast<DWORD>(module.size() + 1));
  if (status == ERROR_SUCCESS) {
    status = RegSetKeyValueA(HKEY_LOCAL_MACHINE, key.c_str(), "ThreadingModel", REG_SZ, apartment,
                             sizeof apartment);
  }
  return HRESULT_FROM_WIN32(status);
}

}  // namespace
}  // namespace standin

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  using namespace standin;
  if (!out) return E_POINTER;
  *out = nullptr;
  const bool browser = IsEqualCLSID(clsid, CLSID_InternetExplorer);
  if (!browser && !IsEqualCLSID(clsid, CLSID_ShellWindows)) return CLASS_E_CLASSNOTAVAILABLE;
  World::Instance();
  Factory* factory = new Factory(browser);
  const HRESULT hr = factory->QueryInterface(iid, out);
  factory->Release();
  return hr;
}

// The stand-in's browser lives as long as the process.
extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  return S_FALSE;
}

// Registers the stand-in for both classes. Only ever for a throwaway test prefix: it takes the
// place of the system's own browser automation.
extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
  using namespace standin;
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(ThisModule(), path, MAX_PATH);
  const std::string module(path, length);
  const HRESULT hr = RegisterClassServer(CLSID_ShellWindows, module);
  return FAILED(hr) ? hr : RegisterClassServer(CLSID_InternetExplorer, module);
}
