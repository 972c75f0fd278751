#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

namespace velmox::chromium {

// How Velmox starts its browser.
struct BrowserLaunch {
  std::filesystem::path executable = "/usr/bin/chromium";
  std::filesystem::path userDataDir;  // a fresh folder of this run's own
  bool headed = false;                // show the windows (needs a display)
  // Chromium's own pop-up blocker stays on: the browser as it comes, for measuring Velmox
  // against it. Velmox itself needs it off.
  bool ownPopupBlocker = false;
};

// The browser process, Velmox's child, and the DevTools pipe to it (the browser reads fd 3 and
// writes fd 4). Every message is one JSON text ended by a NUL byte. No port is opened, so
// nothing else on the machine can drive this browser.
class DevToolsPipe {
 public:
  // Starts the browser; throws PlatformError when it cannot be started.
  explicit DevToolsPipe(const BrowserLaunch& launch);
  // Ends the browser: it is asked to close, then killed if it has not gone within a moment.
  ~DevToolsPipe();
  DevToolsPipe(const DevToolsPipe&) = delete;
  DevToolsPipe& operator=(const DevToolsPipe&) = delete;

  // False once the browser has closed its end or died.
  bool Open() const { return fd_ >= 0; }
  // Sends one message; false when the browser has gone.
  bool Send(const std::string& message);
  // The next whole message, waiting up to `timeout` for it; nullopt when none came in time or
  // the browser has gone.
  std::optional<std::string> Receive(std::chrono::milliseconds timeout);
  // The browser dies at once, as a crash would end it.
  void Kill();
  // Why Velmox ended the pipe itself; empty when the browser went of its own accord.
  const std::string& WhyEnded() const { return whyEnded_; }

  // The longest message Velmox takes: a longer one ends the browser (its windows are revoked
  // as when it crashes) rather than Velmox's memory.
  static constexpr std::size_t kMessageLimit = std::size_t{64} << 20;

 private:
  void Close();
  void Reap(std::chrono::milliseconds grace);

  pid_t pid_ = -1;
  int fd_ = -1;
  std::string buffer_;
  std::size_t start_ = 0;    // where the next message begins in buffer_
  std::size_t scanned_ = 0;  // how far buffer_ is known to hold no NUL
  std::string whyEnded_;
};

}  // namespace velmox::chromium
