#pragma once

#include "core/desktop_services.h"
#include "platform/win32/scoped_win.h"

// The small services of the Windows desktop, each a thin call of the system.
namespace velmox::win32 {

class WinSound : public Sound {
 public:
  bool sndPlaySoundA(const std::string& name, unsigned flags) override;
};

class WinMessageBoxes : public MessageBoxes {
 public:
  int MessageBoxA(std::uintptr_t owner, const std::string& text, const std::string& title,
                  unsigned style) override;
};

class WinShellLauncher : public ShellLauncher {
 public:
  void ShellExecuteA(std::uintptr_t window, const std::string& verb, const std::string& target,
                     const std::string& parameters, const std::string& directory,
                     int showCommand) override;
};

class WinKeyboard : public Keyboard {
 public:
  std::uint16_t GetAsyncKeyState(int virtualKey) override;
};

class WinClock : public Clock {
 public:
  double SecondsSinceMidnight() override;
};

// The system's cryptographic generator: the command token must not be guessable.
class WinRandom : public RandomSource {
 public:
  double NextUniform() override;
};

class WinProcess : public Process {
 public:
  void EndNow() override;
};

// A named mutex in the session's namespace: one Velmox per session, as each session has its own
// notification area and its own browser windows. The same user logged on twice (a console and a
// remote session) runs one in each.
class WinSingleInstance : public SingleInstance {
 public:
  explicit WinSingleInstance(std::string name = "Local\\Velmox.Running") : name_(std::move(name)) {}
  bool AnotherInstanceRunning() override;

 private:
  std::string name_;
  ScopedHandle mutex_;
};

// The folder of the running executable, without a trailing separator, in the code page (its
// short form when its name has characters the code page lacks).
std::string ExecutableFolder();

}  // namespace velmox::win32
