#include "requests.h"

#include <shlwapi.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "browser_window.h"
#include "html_objects.h"
#include "record.h"
#include "world.h"

namespace standin {
namespace {

std::string Lower(std::string text) {
  for (char& c : text)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

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

}  // namespace

void NavigateWindow(Window& window, const std::string& url,
                    const std::optional<std::string>& postData) {
  if (window.Closed()) return;
  const bool cancelled = window.BeforeNavigate2(url, postData);
  Record("before-navigate " + window.Id() + " " + url + (cancelled ? " cancelled" : " allowed"));
  if (cancelled || window.Closed()) return;
  window.Load(url);
  Record("loaded " + window.Id() + " " + url);
}

void RequestNewWindow(World& world, Window& opener, const NewWindowRequest& request) {
  Record("request " + opener.Id() + " " + request.url);
  opener.AddRef();
  IDispatch* ppDisp = nullptr;
  VARIANT_BOOL cancel = VARIANT_FALSE;
  for (const int kind : request.events) {
    if (kind == 3) {
      opener.NewWindow3(&ppDisp, &cancel, request.url, request.byUser);
    } else {
      opener.NewWindow2(&ppDisp, &cancel);
    }
    Record("new-window " + opener.Id() + " NewWindow" + std::to_string(kind) +
           " ppDisp=" + (ppDisp ? "set" : "empty") + " cancel=" + (cancel ? "true" : "false"));
  }
  if (cancel) {
    Record("new-window " + opener.Id() + " cancelled");
  } else if (ppDisp) {
    HandOff(ppDisp, request.url, request.postData);
  } else {
    OpenOwnWindow(world, request.url, request.postData);
  }
  if (ppDisp) IDispatch_Release(ppDisp);
  opener.Release();
}

void Click(World& world, Window& window, const std::string& elementId,
           const std::vector<int>& events) {
  Document* page = window.Page();
  Document* holder = nullptr;
  Element* element = page ? page->Find(elementId, holder) : nullptr;
  if (!element) {
    Record("error: no element " + elementId + " in " + window.Id());
    return;
  }
  page->Focus(*holder, *element);
  Record("focus " + window.Id() + " " + elementId);

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

void RunContextMenuScript(Window& window, const std::string& scriptFile) {
  std::ifstream file(scriptFile, std::ios::binary);
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
  NavigateWindow(window, address, std::nullopt);
}

}  // namespace standin
