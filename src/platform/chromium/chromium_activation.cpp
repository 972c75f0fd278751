// The user's own clicks, keys and submissions, seen where the page cannot reach: listeners in
// Velmox's world of every frame keep only the browser's trusted events and report each through a
// binding that only that world has. A page's script can neither make such an event (a click or
// submission it starts is not trusted, or names no control the user pressed) nor fake a report.
#include "platform/chromium/chromium_browser.h"

namespace velmox::chromium {
namespace {

constexpr const char* kActivationBinding = "velmoxActivation";

// The user's last press (a click, a middle click or Enter) is reported as the link it
// activated, or as nothing. A submission counts only when that press was on its submit button
// or was Enter in one of its fields: a form that the page's script submits during the user's
// click elsewhere is not the user's. Members are read through the prototypes of this world, so
// that a control named "action" or "method" does not stand in for the form's own.
constexpr const char* kActivationListener = R"js((() => {
  if (globalThis.velmoxWatching) return;
  globalThis.velmoxWatching = true;
  // The binding may come to this world only after this script has run.
  const binding = globalThis;
  const report = (text) => {
    if (typeof binding.velmoxActivation === "function") binding.velmoxActivation(text);
  };
  const get = (type, name) => Object.getOwnPropertyDescriptor(type.prototype, name).get;
  const formAction = get(HTMLFormElement, "action");
  const formMethod = get(HTMLFormElement, "method");
  const anchorHref = get(HTMLAnchorElement, "href");
  const areaHref = get(HTMLAreaElement, "href");
  let press = null;
  const linkOn = (path) => {
    for (const node of path) {
      if (!(node instanceof Element) || !node.hasAttribute("href")) continue;
      if (node instanceof HTMLAnchorElement) return anchorHref.call(node);
      if (node instanceof HTMLAreaElement) return areaHref.call(node);
    }
    return null;
  };
  const pressed = (event) => {
    if (!event.isTrusted) return;
    if (event.type === "auxclick" && event.button !== 1) return;
    if (event.type === "keydown" && event.key !== "Enter") return;
    press = { path: event.composedPath(), key: event.type === "keydown" };
    const link = linkOn(press.path);
    report(JSON.stringify(link === null ? { kind: "none" } : { kind: "link", address: link }));
  };
  for (const type of ["click", "auxclick", "keydown"]) addEventListener(type, pressed, true);
  addEventListener("submit", (event) => {
    if (!event.isTrusted || press === null) return;
    const form = event.target;
    const submitter = event.submitter;
    const byButton = submitter !== null && press.path.includes(submitter);
    const field = press.path[0];
    const byEnter = press.key && field instanceof HTMLInputElement && field.form === form;
    if (!byButton && !byEnter) return;
    const method = formMethod.call(form);
    let address = formAction.call(form);
    if (method === "get") {
      const url = new URL(address);
      url.search = new URLSearchParams(new FormData(form, submitter || undefined)).toString();
      url.hash = "";
      address = url.href;
    } else if (method !== "post") {
      return;
    }
    report(JSON.stringify({ kind: "form", address, method }));
  }, true);
})())js";

UserActivation::Kind KindNamed(const std::string& kind) {
  if (kind == "link") return UserActivation::Kind::Link;
  if (kind == "form") return UserActivation::Kind::Form;
  return UserActivation::Kind::None;
}

}  // namespace

void ChromiumBrowsers::WatchActivations(ChromiumWindow& window) {
  client_.Post("Runtime.addBinding",
               {{"name", kActivationBinding}, {"executionContextName", kVelmoxWorld}},
               window.sessionId);
  client_.Post(
      "Page.addScriptToEvaluateOnNewDocument",
      {{"source", kActivationListener}, {"worldName", kVelmoxWorld}, {"runImmediately", true}},
      window.sessionId);
}

void ChromiumBrowsers::OnBindingCalled(ChromiumWindow& window, const Json& params) {
  if (params.value("name", std::string()) != kActivationBinding) return;
  const Json report = Json::parse(params.value("payload", std::string()), nullptr, false);
  if (!report.is_object()) return;
  RecordedActivation& last = window.activation;
  last.kind = KindNamed(TextMember(report, "kind", ""));
  last.address = pages.Reported(TextMember(report, "address", ""));
  last.method = TextMember(report, "method", "");
  last.at = std::chrono::steady_clock::now();
}

void ChromiumBrowsers::TakeInReports(ChromiumWindow& window) {
  // The page's reports come from its renderer, the window-open events and requests through the
  // browser, so a report can still be on its way. An answer from the renderer comes after every
  // report it sent before.
  client_.Call("Runtime.evaluate", {{"expression", "0"}, {"returnByValue", true}},
               window.sessionId);
}

std::optional<UserActivation> ChromiumWindow::LastUserActivation() {
  Check();
  browsers_.TakeInReports(*this);
  const std::chrono::duration<double> age = std::chrono::steady_clock::now() - activation.at;
  return UserActivation{activation.kind, activation.address, activation.method, age.count()};
}

void ChromiumWindow::ConsumeUserActivation() {
  activation.kind = UserActivation::Kind::None;
}

}  // namespace velmox::chromium
