#include "platform/chromium/devtools_client.h"

#include "core/platform_error.h"
#include "platform/sim/sim_document.h"

namespace velmox::chromium {
namespace {

// What a call on a browser object reports when the browser does not answer it in time.
constexpr long kCallFailed = -2147023170;  // RPC_S_CALL_FAILED

// A browser that has gone fails every call as a closed window's objects do.
PlatformError BrowserGone() {
  return sim::Disconnected();
}

}  // namespace

long DevToolsClient::Send(const std::string& method, const Json& params,
                          const std::string& sessionId) {
  if (gone_) throw BrowserGone();
  const long id = nextId_++;
  Json message = {{"id", id}, {"method", method}, {"params", params}};
  if (!sessionId.empty()) message["sessionId"] = sessionId;
  if (!pipe_.Send(message.dump())) {
    NoticeGone();
    throw BrowserGone();
  }
  lastSent_ = std::chrono::steady_clock::now();
  return id;
}

Json DevToolsClient::Call(const std::string& method, const Json& params,
                          const std::string& sessionId, std::chrono::milliseconds timeout) {
  DevToolsAnswer answer = std::move(CallTogether({{method, params}}, sessionId, timeout).front());
  if (answer.error) throw *answer.error;
  return std::move(answer.result);
}

std::vector<DevToolsAnswer> DevToolsClient::CallTogether(
    const std::vector<DevToolsCommand>& commands, const std::string& sessionId,
    std::chrono::milliseconds timeout) {
  std::vector<long> ids;
  for (const auto& command : commands)
    ids.push_back(Send(command.method, command.params, sessionId));
  std::vector<DevToolsAnswer> answers(commands.size());
  std::vector<bool> heard(commands.size(), false);
  std::size_t answered = 0;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (answered < commands.size()) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      throw PlatformError(kCallFailed, "The browser did not answer " + commands.front().method +
                                           " within " + std::to_string(timeout.count()) + " ms.");
    }
    const auto text = pipe_.Receive(left);
    if (!text) {
      if (!pipe_.Open()) {
        NoticeGone();
        throw BrowserGone();
      }
      continue;
    }
    const auto message = Dispatch(*text, ids);
    if (!message) continue;
    const auto which = std::ranges::find(ids, (*message)["id"].get<long>()) - ids.begin();
    if (heard[which]) continue;  // a second answer to one command counts for nothing
    heard[which] = true;
    DevToolsAnswer& answer = answers[which];
    if (message->contains("error")) {
      const Json error = ObjectMember(*message, "error");
      const auto code = error.find("code");
      answer.error =
          PlatformError(code != error.end() && code->is_number_integer() ? code->get<long>() : 0L,
                        commands[which].method + ": " + TextMember(error, "message", "failed"));
    } else {
      answer.result = ObjectMember(*message, "result");
    }
    ++answered;
  }
  return answers;
}

void DevToolsClient::Post(const std::string& method, const Json& params,
                          const std::string& sessionId, bool awaited) {
  try {
    const long id = Send(method, params, sessionId);
    if (awaited) unanswered_[id] = {method, sessionId};
  } catch (const PlatformError&) {
    // Nobody waits for this one: a browser that has gone has been noticed.
  }
}

bool DevToolsClient::Poll(std::chrono::milliseconds timeout) {
  if (gone_) return false;
  const auto text = pipe_.Receive(timeout);
  if (!text) {
    if (!pipe_.Open()) NoticeGone();
    return false;
  }
  Dispatch(*text, {});
  return true;
}

std::optional<Json> DevToolsClient::Dispatch(const std::string& text,
                                             const std::vector<long>& waitingFor) {
  lastHeard_ = std::chrono::steady_clock::now();
  Json message = Json::parse(text, nullptr, false);
  if (message.is_discarded() || !message.is_object()) return std::nullopt;
  if (message.contains("id")) {
    if (!message["id"].is_number_integer()) return std::nullopt;
    const long id = message["id"].get<long>();
    unanswered_.erase(id);
    if (std::ranges::find(waitingFor, id) != waitingFor.end()) return message;
    return std::nullopt;  // the answer to a command nobody waits for
  }
  if (onEvent && message.contains("method")) {
    onEvent(DevToolsEvent{message.value("method", std::string()),
                          message.value("params", Json::object()),
                          message.value("sessionId", std::string())});
  }
  return std::nullopt;
}

void DevToolsClient::ForgetSession(const std::string& sessionId) {
  std::erase_if(unanswered_, [&](const auto& sent) { return sent.second.sessionId == sessionId; });
}

void DevToolsClient::NoticeGone() {
  if (gone_) return;
  gone_ = true;
  unanswered_.clear();
  if (onGone) onGone();
}

}  // namespace velmox::chromium
