#pragma once

#include <cstdint>
#include <initializer_list>

#include "soak_faults.h"
#include "soak_invariants.h"
#include "soak_run.h"

namespace velmox::soak {

// The activity a soak plays, one random event at a time: a person starting Velmox, clicking its
// icon, working in the Settings dialog and browsing; pages opening pop-ups; and random answers
// to the menus, message boxes and file dialogs Velmox opens meanwhile.
class Actions {
 public:
  // Sets the desktop's answers to modal windows.
  Actions(SoakRun& run, Faults& faults, Invariants& invariants);

  void PlayOne();

 private:
  void PlayInBrowser();
  void PlayInDialog(frmOptions& dialog);
  template <class Action>
  void Popup(Action&& action);
  void RemoveGeneratedFile();
  void Wait();
  void Tray(std::initializer_list<std::uint32_t> messages);
  // Inside a modal window the message loop goes on: timers may tick before the answer.
  void Nested();

  SoakRun& run_;
  Faults& faults_;
  Invariants& invariants_;
  std::uint64_t windowsOpened_ = 0;
};

}  // namespace velmox::soak
