#pragma once

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "core/desktop_services.h"
#include "platform/sim/sim_files.h"
#include "platform/sim/sim_trace.h"

// The simulated desktop's small services. Each records what was asked of it, and each can be
// told to fail: `failCall` is asked before every call, and a call answered true fails as the
// system's own would.
namespace velmox::sim {

struct SoundCall {
  std::string name;
  unsigned flags = 0;
  bool operator==(const SoundCall&) const = default;
};

class SimSound : public Sound {
 public:
  SimSound(Trace& trace, Files& files) : trace_(trace), files_(files) {}
  // Every call as Velmox made it, and the files that really played, in order.
  std::vector<SoundCall> calls;
  std::vector<std::string> played;
  std::function<bool()> failCall;
  bool sndPlaySoundA(const std::string& name, unsigned flags) override;

 private:
  Trace& trace_;
  Files& files_;
};

struct MessageBoxCall {
  std::uintptr_t owner = 0;
  std::string text;
  std::string title;
  unsigned style = 0;
};

// A modal window for as long as it lives: its owner is disabled (`enableOwner` is the desktop's
// EnableWindow, which may be empty).
class ModalWindow {
 public:
  ModalWindow(const std::function<void(std::uintptr_t, bool)>& enableOwner, std::uintptr_t owner);
  ~ModalWindow();
  ModalWindow(const ModalWindow&) = delete;
  ModalWindow& operator=(const ModalWindow&) = delete;

 private:
  const std::function<void(std::uintptr_t, bool)>& enableOwner_;
  std::uintptr_t owner_;
};

class SimMessageBoxes : public MessageBoxes {
 public:
  explicit SimMessageBoxes(Trace& trace) : trace_(trace) {}
  // The desktop's EnableWindow: a box is modal, so its owner is disabled while it is open.
  std::function<void(std::uintptr_t owner, bool enabled)> enableOwner;
  // Answers a shown box with a button id; without it the box takes its first button.
  std::function<int(const MessageBoxCall&)> answer;
  std::vector<MessageBoxCall> shown;
  int MessageBoxA(std::uintptr_t owner, const std::string& text, const std::string& title,
                  unsigned style) override;

 private:
  Trace& trace_;
};

const char* ButtonName(int id);

struct ShellCall {
  std::uintptr_t window = 0;
  std::string verb;
  std::string target;
  std::string parameters;
  std::string directory;
  int showCommand = 0;
};

class SimShell : public ShellLauncher {
 public:
  explicit SimShell(Trace& trace) : trace_(trace) {}
  // Every call, also one that failed.
  std::vector<ShellCall> calls;
  std::function<bool()> failCall;
  void ShellExecuteA(std::uintptr_t window, const std::string& verb, const std::string& target,
                     const std::string& parameters, const std::string& directory,
                     int showCommand) override;

 private:
  Trace& trace_;
};

// The keyboard as Velmox reads it: only Ctrl is ever down.
class SimKeyboard : public Keyboard {
 public:
  // The user presses or releases Ctrl.
  void SetCtrl(bool down);
  bool CtrlDown() const { return ctrlDown_; }
  int timesRead = 0;
  std::function<bool()> failCall;
  // As Windows answers: 0x8000 while the key is down, plus 1 when it went down since the
  // previous read.
  std::uint16_t GetAsyncKeyState(int virtualKey) override;

 private:
  bool ctrlDown_ = false;
  bool pressedSinceRead_ = false;
};

// Draws from the operating system's unpredictable source.
class OsRandom : public RandomSource {
 public:
  double NextUniform() override;

 private:
  std::random_device device_;
};

class SimProcess : public Process {
 public:
  explicit SimProcess(Trace& trace) : trace_(trace) {}
  bool endedNow = false;
  std::function<bool()> failCall;
  // Throws ProcessEnded: nothing more of Velmox runs. A failing end throws PlatformError and
  // leaves the process running.
  void EndNow() override;

 private:
  Trace& trace_;
};

}  // namespace velmox::sim
