#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/browser_automation.h"
#include "core/desktop_services.h"
#include "core/settings_store.h"

namespace velmox {

// Starts Velmox.exe from the starter's own folder. Throws PlatformError when it cannot.
class VelmoxLauncher {
 public:
  virtual ~VelmoxLauncher() = default;
  virtual void StartVelmox() = 0;
};

// What the starter runs on. The shell's window collection comes from `createShellWindows`, so
// that a desktop can tell the starter's connection from Velmox's.
struct StarterServices {
  std::function<std::unique_ptr<ShellWindows>()> createShellWindows;
  SettingsStore& settings;
  Timers& timers;
  VelmoxLauncher& launcher;
  std::function<void(const std::string&)> trace;
};

// The wait before the next try after `failures` failed tries in a row (1 for the first): five
// seconds, doubling with each failure, at most five minutes.
int RetryDelayMs(int failures);

// The starter: a small program of its own, started at logon, that starts Velmox whenever a
// browser window appears while the stored "AutoLoad" reads true. It waits on the shell's window
// collection and runs only when the collection reports a window registered or revoked; it never
// asks Velmox whether it runs, since a second Velmox ends at once. When the collection cannot be
// had, or fails, the starter lets go of it and tries again after RetryDelayMs, with only a trace
// line: it never asks the user anything.
class Starter : private ShellWindowsEvents {
 public:
  explicit Starter(StarterServices services);
  ~Starter() override;
  Starter(const Starter&) = delete;
  Starter& operator=(const Starter&) = delete;

  // Takes the collection and waits on its events, or arranges the next try.
  void Begin();
  // The collection's server has gone (the shell ended): let go of it and try again later.
  void CollectionLost(const std::string& why);

  // True while the starter holds the collection and hears its events.
  bool Waiting() const { return connection_ != nullptr && !failed_; }
  // True while a try is due after a failure.
  bool Retrying() const { return retry_ != nullptr && retry_->Enabled(); }

 private:
  void WindowRegistered(long lCookie) override;
  void WindowRevoked(long lCookie) override;
  // Counts the browser windows afresh; false when the collection failed.
  bool Recount();
  void Fail(const std::string& what);
  void LetGo();

  StarterServices services_;
  std::unique_ptr<ShellWindows> collection_;
  std::unique_ptr<Connection> connection_;
  std::unique_ptr<Timer> retry_;
  int browsers_ = 0;  // the browser windows the collection listed at the latest event
  int failures_ = 0;  // failed tries in a row
  bool failed_ = false;
};

}  // namespace velmox
