#include "starter/starter.h"

#include <algorithm>
#include <exception>

#include "core/platform_error.h"
#include "starter/autoload_rule.h"

namespace velmox {
namespace {

constexpr int kFirstRetryMs = 5 * 1000;
constexpr int kLongestRetryMs = 5 * 60 * 1000;

// "WHAT (error N: DESCRIPTION)", for the trace.
std::string Failure(const std::string& what, const std::exception& error) {
  const auto* platform = dynamic_cast<const PlatformError*>(&error);
  const std::string number = platform ? std::to_string(platform->Number()) + ": " : "";
  return what + " (error " + number + error.what() + ")";
}

}  // namespace

int RetryDelayMs(int failures) {
  int delay = kFirstRetryMs;
  for (int i = 1; i < failures && delay < kLongestRetryMs; ++i)
    delay *= 2;
  return std::min(delay, kLongestRetryMs);
}

Starter::Starter(StarterServices services) : services_(std::move(services)) {}

Starter::~Starter() {
  LetGo();
}

void Starter::Begin() {
  LetGo();
  try {
    collection_ = services_.createShellWindows();
    connection_ = collection_->Connect(*this);
    browsers_ = CountBrowserWindows(*collection_);
  } catch (const std::exception& error) {
    Fail(Failure("cannot use the shell's window collection", error));
    return;
  }
  failures_ = 0;
  failed_ = false;
  services_.trace("waiting for browser windows (" + std::to_string(browsers_) + " open)");
}

void Starter::CollectionLost(const std::string& why) {
  if (Waiting()) Fail(why);
}

void Starter::WindowRegistered(long /*lCookie*/) {
  if (failed_) return;
  const int before = browsers_;
  if (!Recount()) return;
  const StartDecision decision =
      DecideOnRegistered(before, browsers_, ReadAutoLoad(services_.settings));
  services_.trace(decision.reason);
  if (!decision.start) return;
  try {
    services_.launcher.StartVelmox();
  } catch (const std::exception& error) {
    services_.trace(Failure("cannot start Velmox", error));
  }
}

void Starter::WindowRevoked(long /*lCookie*/) {
  if (!failed_) Recount();
}

bool Starter::Recount() {
  try {
    browsers_ = CountBrowserWindows(*collection_);
    return true;
  } catch (const std::exception& error) {
    Fail(Failure("the shell's window collection failed", error));
    return false;
  }
}

// The collection is let go at the next try, not here: this may run inside one of its events.
void Starter::Fail(const std::string& what) {
  failed_ = true;
  ++failures_;
  const int delay = RetryDelayMs(failures_);
  services_.trace(what + ", trying again in " + std::to_string(delay / 1000) + " s");
  try {
    // A new timer for each wait, since the wait grows. The old one may be the one ticking now.
    retry_ = services_.timers.CreateTimer(delay, [this] {
      retry_->SetEnabled(false);
      Begin();
    });
    retry_->SetEnabled(true);
  } catch (const std::exception& error) {
    services_.trace(Failure("cannot arrange the next try", error));
  }
}

void Starter::LetGo() {
  connection_.reset();
  collection_.reset();
}

}  // namespace velmox
