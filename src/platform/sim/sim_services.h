#pragma once

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "core/desktop_services.h"
#include "platform/sim/sim_files.h"
#include "platform/sim/sim_trace.h"

// The simulated desktop's small services. Each records what was asked of it.
namespace velmox::sim {

class SimSound : public Sound {
 public:
  SimSound(Trace& trace, Files& files) : trace_(trace), files_(files) {}
  // The files that really played, in order.
  std::vector<std::string> played;
  bool sndPlaySoundA(const std::string& name, unsigned flags) override;

 private:
  Trace& trace_;
  Files& files_;
};

struct MessageBoxCall {
  std::string text;
  std::string title;
  unsigned style = 0;
};

class SimMessageBoxes : public MessageBoxes {
 public:
  explicit SimMessageBoxes(Trace& trace) : trace_(trace) {}
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
  std::string verb;
  std::string target;
  int showCommand = 0;
};

class SimShell : public ShellLauncher {
 public:
  explicit SimShell(Trace& trace) : trace_(trace) {}
  std::vector<ShellCall> calls;
  void ShellExecuteA(std::uintptr_t window, const std::string& verb, const std::string& target,
                     const std::string& parameters, const std::string& directory,
                     int showCommand) override;

 private:
  Trace& trace_;
};

class SimKeyboard : public Keyboard {
 public:
  bool ctrlDown = false;
  std::uint16_t GetAsyncKeyState(int virtualKey) override {
    return virtualKey == kVkControl && ctrlDown ? kKeyDown : 0;
  }
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
  // Throws ProcessEnded: nothing more of Velmox runs.
  void EndNow() override;

 private:
  Trace& trace_;
};

}  // namespace velmox::sim
