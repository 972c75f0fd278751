#include "requests.h"

#include <shlwapi.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "browser_window.h"
#include "html_objects.h"
#include "page.h"
#include "record.h"
#include "world.h"

namespace standin {
namespace {

std::string Hex(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lx", static_cast<unsigned long>(hr));
  return text;
}

// The new window's first navigation goes to the object a sink handed out.
void HandOff(IDispatch* target, const std::string& url,
             const std::optional<std::string>& postData) {
  IWebBrowser2* browser = nullptr;
  HRESULT hr =
      IDispatch_QueryInterface(target, IID_IWebBrowser2, reinterpret_cast<void**>(&browser));
  if (SUCCEEDED(hr)) {
    VARIANT empty, post;
    VariantInit(&empty);
    VariantInit(&post);
    if (postData) {
      post.vt = VT_ARRAY | VT_UI1;
      post.parray = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(postData->size()));
      if (!postData->empty()) std::memcpy(post.parray->pvData, postData->data(), postData->size());
    }
    BSTR address = ToBstr(url);
    hr = IWebBrowser2_Navigate(browser, address, &empty, &empty, &post, &empty);
    SysFreeString(address);
    VariantClear(&post);
    IWebBrowser2_Release(browser);
  }
  Record("hand-off " + url + " post=" + PostDataText(postData) +
         (FAILED(hr) ? " failed " + Hex(hr) : ""));
}

void OpenOwnWindow(World& world, const std::string& url,
                   const std::optional<std::string>& postData) {
  WindowFeatures features;
  features.visible = false;
  Window& window = world.Create("", features);
  Record("created " + window.Id() + " by the browser");
  world.Register(window, false);
  NavigateWindow(window, url, postData);
  window.Show(true);
  Record("shown " + window.Id());
  window.Release();
}

// A bare file name is in the running program's folder, whatever characters that folder's name
// has; anything else is a path in the system's code page.
std::filesystem::path ScriptPath(const std::string& scriptFile) {
  if (scriptFile.find('\\') != std::string::npos) {
    wchar_t wide[MAX_PATH * 2];
    const int size = MultiByteToWideChar(CP_ACP, 0, scriptFile.c_str(), -1, wide, MAX_PATH * 2);
    return std::wstring(wide, size > 0 ? static_cast<std::size_t>(size - 1) : 0);
  }
  wchar_t program[MAX_PATH * 2];
  const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH * 2);
  return std::filesystem::path(std::wstring(program, length)).parent_path() / scriptFile;
}

}  // namespace

void NavigateWindow(Window& window, const std::string& url,
                    const std::optional<std::string>& postData, const std::wstring& reported) {
  if (window.Closed()) return;
  const bool cancelled = window.BeforeNavigate2(url, postData, reported);
  Record("before-navigate " + window.Id() + " " + url + (cancelled ? " cancelled" : " allowed"));
  if (cancelled || window.Closed()) return;
  window.Load(url);
  Record("loaded " + window.Id() + " " + url);
}

namespace {

// One request while its events are being raised, kept across turns of the message loop.
struct Raising {
  World& world;
  Window& opener;
  NewWindowRequest request;
  IDispatch* ppDisp = nullptr;
  VARIANT_BOOL cancel = VARIANT_FALSE;
  std::size_t next = 0;
};

void RaiseEvent(Raising& r, int kind) {
  if (r.request.fresh && r.next > 0) {
    if (r.ppDisp) IDispatch_Release(r.ppDisp);
    r.ppDisp = nullptr;
    r.cancel = VARIANT_FALSE;
  }
  if (kind == 3) {
    r.opener.NewWindow3(&r.ppDisp, &r.cancel, r.request.url, r.request.byUser);
  } else {
    r.opener.NewWindow2(&r.ppDisp, &r.cancel);
  }
  Record("new-window " + r.opener.Id() + " NewWindow" + std::to_string(kind) +
         " ppDisp=" + (r.ppDisp ? "set" : "empty") + " cancel=" + (r.cancel ? "true" : "false"));
}

// The browser acts on the answer left after the last event.
void FinishRequest(Raising& r) {
  if (r.cancel) {
    Record("new-window " + r.opener.Id() + " cancelled");
  } else if (r.ppDisp) {
    HandOff(r.ppDisp, r.request.url, r.request.postData);
  } else {
    OpenOwnWindow(r.world, r.request.url, r.request.postData);
  }
  if (r.ppDisp) IDispatch_Release(r.ppDisp);
  r.opener.Release();
}

void ContinueRequest(const std::shared_ptr<Raising>& r) {
  while (r->next < r->request.events.size()) {
    RaiseEvent(*r, r->request.events[r->next]);
    ++r->next;
    if (r->request.apart && r->next < r->request.events.size()) {
      r->world.Later([r] { ContinueRequest(r); });
      return;
    }
  }
  FinishRequest(*r);
}

}  // namespace

void RequestNewWindow(World& world, Window& opener, const NewWindowRequest& request) {
  Record("request " + opener.Id() + " " + request.url);
  opener.AddRef();
  ContinueRequest(std::make_shared<Raising>(Raising{world, opener, request}));
}

namespace {

Element* FocusOn(Window& window, const std::string& elementId) {
  Document* page = window.Page();
  Document* holder = nullptr;
  Element* element = page ? page->Find(elementId, holder) : nullptr;
  if (!element) {
    Record("error: no element " + elementId + " in " + window.Id());
    return nullptr;
  }
  page->Focus(*holder, *element);
  Record("focus " + window.Id() + " " + elementId);
  return element;
}

}  // namespace

bool FocusElement(Window& window, const std::string& elementId) {
  return FocusOn(window, elementId) != nullptr;
}

void Click(World& world, Window& window, const std::string& elementId,
           const std::vector<int>& events) {
  Element* element = FocusOn(window, elementId);
  if (!element) return;

  NewWindowRequest request{std::string(), std::nullopt, events, true};
  std::string target;
  const std::string type = Lower(element->Attribute("type"));
  if (element->tag == "a" || element->tag == "area") {
    request.url = element->Attribute("href");
    target = element->Attribute("target");
  } else if (element->tag == "button" ||
             (element->tag == "input" && (type == "submit" || type == "image"))) {
    Element* form = EnclosingForm(*element);
    if (!form) return;  // a button outside any form submits nothing
    request.url = form->Attribute("to");
    if (Lower(form->Attribute("method")) == "post") {
      request.postData = form->Attribute("data");
    } else {
      request.url += std::string("?") + form->Attribute("data");
    }
    target = form->Attribute("target");
  } else {
    return;  // the click only moved the focus
  }
  if (target == "_blank") {
    RequestNewWindow(world, window, request);
  } else {
    NavigateWindow(window, request.url, request.postData);
  }
}

void RunContextMenuScript(Window& window, const std::string& scriptFile, bool longForm) {
  std::ifstream file(ScriptPath(scriptFile), std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  const std::string script = text.str();
  const std::string call = "navigate \"";
  const std::size_t start = script.find(call);
  const std::size_t end =
      start == std::string::npos ? start : script.find('"', start + call.size());
  if (end == std::string::npos) {
    Record("error: no navigation in " + scriptFile);
    return;
  }
  std::string address = script.substr(start + call.size(), end - start - call.size());
  char path[MAX_PATH * 2];
  DWORD length = sizeof path;
  if (SUCCEEDED(PathCreateFromUrlA(address.c_str(), path, &length, 0))) {
    address.assign(path, length);
  }
  const bool found = GetFileAttributesA(address.c_str()) != INVALID_FILE_ATTRIBUTES;
  Record("script " + window.Id() + " leads to " + (found ? "a file" : "nothing"));
  std::wstring reported;
  if (longForm) {
    wchar_t wide[MAX_PATH * 2];
    wchar_t full[MAX_PATH * 2];
    const int size = MultiByteToWideChar(CP_ACP, 0, address.c_str(), -1, wide, MAX_PATH * 2);
    const DWORD got = size > 0 ? GetLongPathNameW(wide, full, MAX_PATH * 2) : 0;
    if (got > 0 && got < MAX_PATH * 2) reported.assign(full, got);
  }
  NavigateWindow(window, address, std::nullopt, reported);
}

}  // namespace standin
