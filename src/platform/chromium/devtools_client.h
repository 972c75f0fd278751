#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "core/platform_error.h"

#include "platform/chromium/devtools_pipe.h"

namespace velmox::chromium {

using Json = nlohmann::json;

// One event of the browser: its method, its parameters and the session it belongs to (empty
// for the browser's own).
struct DevToolsEvent {
  std::string method;
  Json params;
  std::string sessionId;
};

// The member `key` of `message` when it is an object, else an empty object: what comes from the
// browser is read without trusting its shape.
inline Json ObjectMember(const Json& message, const char* key) {
  if (!message.is_object()) return Json::object();
  const auto found = message.find(key);
  return found != message.end() && found->is_object() ? *found : Json::object();
}

// The text member `key` of `message` when there is one, else `otherwise`.
inline std::string TextMember(const Json& message, const char* key, std::string otherwise) {
  if (!message.is_object()) return otherwise;
  const auto found = message.find(key);
  return found != message.end() && found->is_string() ? found->get<std::string>() : otherwise;
}

// One command of the protocol.
struct DevToolsCommand {
  std::string method;
  Json params;
};

// A command's answer: its result, or the error the browser answered with.
struct DevToolsAnswer {
  Json result = Json::object();
  std::optional<PlatformError> error;
};

// The DevTools protocol over the pipe: commands with their answers, and events. Everything
// runs on the calling thread: a command waits for its answer while the events that arrive
// meanwhile go to `onEvent` at once.
class DevToolsClient {
 public:
  static constexpr std::chrono::milliseconds kCallTimeout{5000};

  explicit DevToolsClient(DevToolsPipe& pipe) : pipe_(pipe) {}

  // Told of every event as it arrives. It must not wait for an answer itself.
  std::function<void(const DevToolsEvent&)> onEvent;
  // Told once, when the browser has gone.
  std::function<void()> onGone;
  // Why Velmox ended the browser itself; empty when it went of its own accord.
  const std::string& WhyGone() const { return pipe_.WhyEnded(); }

  // Sends a command and waits for its answer. Throws PlatformError on an error answer, when no
  // answer came within `timeout`, or when the browser has gone.
  Json Call(const std::string& method, const Json& params = Json::object(),
            const std::string& sessionId = "", std::chrono::milliseconds timeout = kCallTimeout);
  // Sends the commands at once and waits for every answer: the browser takes them one after
  // another without waiting for this side in between. Throws PlatformError when not every
  // answer came within `timeout`, or when the browser has gone.
  std::vector<DevToolsAnswer> CallTogether(const std::vector<DevToolsCommand>& commands,
                                           const std::string& sessionId = "",
                                           std::chrono::milliseconds timeout = kCallTimeout);
  // Sends a command and lets its answer go, whatever it says. Until it comes, the browser is
  // not quiet, unless `awaited` is false (a command that may never be answered).
  void Post(const std::string& method, const Json& params = Json::object(),
            const std::string& sessionId = "", bool awaited = true);
  // Reads what the browser sends within `timeout`; true when something came.
  bool Poll(std::chrono::milliseconds timeout);

  bool Gone() const { return gone_; }
  // When either side last said anything.
  std::chrono::steady_clock::time_point LastActivity() const {
    return std::max(lastHeard_, lastSent_);
  }
  // True while a command sent with Post has not been answered.
  bool Unanswered() const { return !unanswered_.empty(); }
  // The oldest such command's method, for an error message.
  std::string OldestUnanswered() const {
    return unanswered_.empty() ? "" : unanswered_.begin()->second.method;
  }
  // A session that has ended answers nothing more.
  void ForgetSession(const std::string& sessionId);

 private:
  long Send(const std::string& method, const Json& params, const std::string& sessionId);
  // Handles one message; the message when it answers a command of `waitingFor`.
  std::optional<Json> Dispatch(const std::string& text, const std::vector<long>& waitingFor);
  void NoticeGone();

  DevToolsPipe& pipe_;
  long nextId_ = 1;
  bool gone_ = false;
  std::chrono::steady_clock::time_point lastHeard_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point lastSent_ = lastHeard_;
  struct Sent {
    std::string method;
    std::string sessionId;
  };
  std::map<long, Sent> unanswered_;  // by id
};

}  // namespace velmox::chromium
