// The user's own clicks, keys and submissions, seen where the page cannot reach: listeners in
// Velmox's world of every frame keep only the browser's trusted events, and keep the last one in
// that world, where Velmox reads it when it judges a window. A page's script can neither make
// such an event (a click or submission it starts is not trusted, or names no control the user
// pressed) nor touch what that world keeps.
#include "platform/chromium/chromium_browser.h"

namespace velmox::chromium {
namespace {

// The user's last press (a click, a middle click or Enter) is kept as the link it activated, or
// as nothing. A submission counts only when that press was on its submit button or was Enter in
// one of its fields: a form that the page's script submits during the user's click elsewhere is
// not the user's. Members are read through the prototypes of this world, so that a control
// named "action" or "method" does not stand in for the form's own.
constexpr const char* kActivationListener = R"js((() => {
  if (globalThis.velmoxWatching) return;
  globalThis.velmoxWatching = true;
  const keep = (activation) => {
    activation.at = performance.now();
    globalThis.velmoxActivation = activation;
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
    keep(link === null ? { kind: "none" } : { kind: "link", address: link });
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
    keep({ kind: "form", address, method });
  }, true);
})())js";

// What a frame's world keeps, with its age in milliseconds; null before the user's first press.
constexpr const char* kActivationRead = R"js((() => {
  const a = globalThis.velmoxActivation;
  return a ? { kind: a.kind, address: a.address || "", method: a.method || "", at: a.at,
               age: performance.now() - a.at } : null;
})())js";

UserActivation::Kind KindNamed(const std::string& kind) {
  if (kind == "link") return UserActivation::Kind::Link;
  if (kind == "form") return UserActivation::Kind::Form;
  return UserActivation::Kind::None;
}

std::string ActivationText(const UserActivation& activation) {
  if (activation.kind == UserActivation::Kind::None) return "none";
  const std::string what = activation.kind == UserActivation::Kind::Link
                               ? "a link to "
                               : "a form's " + activation.method + " to ";
  return what + sim::Quoted(activation.address) + ", " +
         std::to_string(static_cast<long>(activation.secondsAgo * 1000)) + " ms ago";
}

}  // namespace

void ChromiumBrowsers::WatchActivations(ChromiumWindow& window) {
  client_.Post(
      "Page.addScriptToEvaluateOnNewDocument",
      {{"source", kActivationListener}, {"worldName", kVelmoxWorld}, {"runImmediately", true}},
      window.sessionId);
}

// The browser runs a script placed for new documents only where the document may run scripts:
// a frame sandboxed without `allow-scripts` (and a window it opened) runs none, yet the user's
// links and forms work there. Evaluated by Velmox in Velmox's world of that document, the
// listeners run all the same. Where they run already, they are not placed twice.
void ChromiumBrowsers::WatchFrameActivations(ChromiumWindow& window, const std::string& frameId) {
  if (!window.open || window.role != TargetRole::Window) return;
  try {
    client_.Post("Runtime.evaluate",
                 {{"expression", kActivationListener}, {"contextId", WorldOf(window, frameId)}},
                 window.sessionId);
  } catch (const PlatformError&) {
    // The frame has gone or shows another document, whose own navigation comes here too.
  }
}

UserActivation ChromiumBrowsers::ReadActivation(ChromiumWindow& window) {
  std::vector<std::string> frameIds{window.targetId};
  for (const auto& [id, frame] : window.frames) {
    if (id != window.targetId) frameIds.push_back(id);
  }
  std::vector<DevToolsCommand> reads;
  std::vector<std::string> readFrames;
  for (const std::string& frameId : frameIds) {
    // A frame whose world cannot be had (it has just gone) holds no press of the user's; the
    // top document's must be had.
    int world = 0;
    try {
      world = WorldOf(window, frameId);
    } catch (const PlatformError&) {
      if (frameId == window.targetId) throw;
      continue;
    }
    reads.push_back(
        {"Runtime.evaluate",
         {{"expression", kActivationRead}, {"contextId", world}, {"returnByValue", true}}});
    readFrames.push_back(frameId);
  }
  const std::vector<DevToolsAnswer> answers = client_.CallTogether(reads, window.sessionId);
  UserActivation last;
  std::optional<double> youngest;
  std::optional<std::pair<std::string, double>> lastKey;
  for (std::size_t i = 0; i < answers.size(); ++i) {
    if (answers[i].error) {
      // A world made for the document a frame showed a moment ago has gone with it.
      window.frames[readFrames[i]].world = 0;
      continue;
    }
    const Json value = ObjectMember(ObjectMember(answers[i].result, "result"), "value");
    if (!value.is_object() || !value.value("age", Json()).is_number()) continue;
    const double age = value["age"].get<double>();
    if (youngest && age >= *youngest) continue;
    youngest = age;
    last = UserActivation{KindNamed(TextMember(value, "kind", "")),
                          pages.Reported(TextMember(value, "address", "")),
                          TextMember(value, "method", ""), age / 1000};
    lastKey = std::make_pair(readFrames[i], value.value("at", 0.0));
  }
  if (lastKey && window.usedActivation == *lastKey) last.kind = UserActivation::Kind::None;
  window.lastActivation = lastKey;
  return last;
}

std::optional<UserActivation> ChromiumWindow::LastUserActivation() {
  Check();
  const UserActivation activation = browsers_.ReadActivation(*this);
  browsers_.TraceLine(label + ": the user's last activation, " + ActivationText(activation));
  return activation;
}

void ChromiumWindow::ConsumeUserActivation() {
  usedActivation = lastActivation;
}

}  // namespace velmox::chromium
