// Velmox's own reads of a page. They run in a world of Velmox's own (an isolated world of each
// frame): the page's scripts share the page's elements with it but none of its objects, so what
// a page redefines (its document's members, the prototypes, Function.prototype, getters that lie
// or throw) is not what Velmox reads. Where that world cannot be had the read fails; it never
// falls back to the page's own world.
#include <algorithm>

#include "platform/chromium/chromium_browser.h"

namespace velmox::chromium {
namespace {

constexpr long kException = -2147352567;     // DISP_E_EXCEPTION
constexpr long kAccessDenied = -2147024891;  // E_ACCESSDENIED

// A failure inside a page, as the page model reports it.
PlatformError PageFailure(const Json& details) {
  const std::string text = TextMember(ObjectMember(details, "exception"), "description",
                                      TextMember(details, "text", "failed"));
  if (text.find("Unsupported") != std::string::npos) {
    return sim::Unsupported();
  }
  if (text.find("SecurityError") != std::string::npos) {
    return PlatformError(kAccessDenied, "Access is denied.");
  }
  return PlatformError(kException, text.substr(0, text.find('\n')));
}

}  // namespace

int ChromiumBrowsers::WorldOf(ChromiumWindow& window, const std::string& frameId) {
  window.Check();
  FrameInfo& frame = window.frames[frameId];
  if (frame.world != 0) return frame.world;
  const Json made =
      client_.Call("Page.createIsolatedWorld", {{"frameId", frameId}, {"worldName", kVelmoxWorld}},
                   window.sessionId);
  const Json id = made.value("executionContextId", Json());
  if (!id.is_number_integer() || id.get<int>() == 0) {
    throw PlatformError(kException, "the page cannot be read apart from its own scripts");
  }
  frame.world = id.get<int>();
  return frame.world;
}

Json ChromiumBrowsers::CallOn(ChromiumWindow& window, const std::string& objectId,
                              const std::string& function, const Json& arguments, bool byValue) {
  window.Check();
  Json args = Json::array();
  for (const auto& argument : arguments)
    args.push_back({{"value", argument}});
  Json params = {{"objectId", objectId},
                 {"functionDeclaration", function},
                 {"arguments", args},
                 {"returnByValue", byValue}};
  if (const std::string group = JudgementGroup(window); !group.empty() && !byValue) {
    params["objectGroup"] = group;
  }
  const Json answer = client_.Call("Runtime.callFunctionOn", params, window.sessionId);
  if (answer.contains("exceptionDetails")) throw PageFailure(answer["exceptionDetails"]);
  return ObjectMember(answer, "result");
}

Json ChromiumBrowsers::Evaluate(ChromiumWindow& window, const std::string& expression,
                                bool byValue) {
  DevToolsAnswer answer = std::move(EvaluateTogether(window, {{expression, byValue}}).front());
  if (answer.error) throw *answer.error;
  return std::move(answer.result);
}

std::vector<DevToolsAnswer> ChromiumBrowsers::EvaluateTogether(
    ChromiumWindow& window, const std::vector<Expression>& expressions) {
  std::vector<DevToolsAnswer> answers;
  // A world made for the document the frame showed a moment ago has gone with it: made anew
  // once, for the document it shows now.
  for (int attempt = 0; attempt < 2; ++attempt) {
    const int world = WorldOf(window, window.targetId);
    const std::string group = JudgementGroup(window);
    std::vector<DevToolsCommand> commands;
    for (const auto& expression : expressions) {
      Json params = {{"expression", expression.text},
                     {"contextId", world},
                     {"returnByValue", expression.byValue}};
      if (!group.empty() && !expression.byValue) params["objectGroup"] = group;
      commands.push_back({"Runtime.evaluate", std::move(params)});
    }
    answers = client_.CallTogether(commands, window.sessionId);
    const bool worldGone = std::any_of(answers.begin(), answers.end(),
                                       [](const DevToolsAnswer& a) { return a.error.has_value(); });
    if (!worldGone) break;
    window.frames[window.targetId].world = 0;
  }
  for (DevToolsAnswer& answer : answers) {
    if (answer.error) continue;
    if (answer.result.contains("exceptionDetails")) {
      answer.error = PageFailure(answer.result["exceptionDetails"]);
      answer.result = Json::object();
    } else {
      answer.result = ObjectMember(answer.result, "result");
    }
  }
  return answers;
}

void ChromiumBrowsers::Release(ChromiumWindow& window, const std::string& objectId) noexcept {
  if (objectId.empty() || !window.open || Gone()) return;
  try {
    client_.Post("Runtime.releaseObject", {{"objectId", objectId}}, window.sessionId);
  } catch (const PlatformError&) {
    // The browser has just gone, and the object with it.
  }
}

}  // namespace velmox::chromium
