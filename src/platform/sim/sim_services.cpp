#include "platform/sim/sim_services.h"

#include "core/file_exists.h"
#include "core/platform_error.h"
#include "platform/sim/sim_process_end.h"

namespace velmox::sim {

bool SimSound::sndPlaySoundA(const std::string& name, unsigned flags) {
  calls.push_back({name, flags});
  if (failCall && failCall()) throw PlatformError(5, "The sound device is not available");
  if (name.empty()) return true;  // stops whatever plays; nothing to hear
  if (!FileExists(files_, name)) {
    if ((flags & kNoDefault) == 0)
      trace_.Line("sound", "plays the default sound");
    else
      trace_.Line("sound", "stays silent: no sound file " + Quoted(name));
    return false;
  }
  played.push_back(name);
  trace_.Line("sound", "plays " + Quoted(name));
  return true;
}

ModalWindow::ModalWindow(const std::function<void(std::uintptr_t, bool)>& enableOwner,
                         std::uintptr_t owner)
    : enableOwner_(enableOwner), owner_(owner) {
  if (enableOwner_) enableOwner_(owner_, false);
}

ModalWindow::~ModalWindow() {
  if (enableOwner_) enableOwner_(owner_, true);
}

const char* ButtonName(int id) {
  switch (id) {
    case MessageBoxes::kIdOk:
      return "OK";
    case MessageBoxes::kIdCancel:
      return "Cancel";
    case MessageBoxes::kIdYes:
      return "Yes";
    case MessageBoxes::kIdNo:
      return "No";
    default:
      return "?";
  }
}

int SimMessageBoxes::MessageBoxA(std::uintptr_t owner, const std::string& text,
                                 const std::string& title, unsigned style) {
  MessageBoxCall call{owner, text, title, style};
  shown.push_back(call);
  trace_.Line("message box",
              Quoted(title) + " (style " + std::to_string(style) + "): " + Quoted(text));
  int result = 0;
  if (answer) {
    ModalWindow modal(enableOwner, owner);
    result = answer(call);
  } else {
    const unsigned buttons = style & kButtonsMask;
    result = (buttons == kYesNoCancel || buttons == kYesNo) ? kIdYes : kIdOk;
  }
  trace_.Line("message box", std::string("answered ") + ButtonName(result));
  return result;
}

void SimShell::ShellExecuteA(std::uintptr_t window, const std::string& verb,
                             const std::string& target, const std::string& parameters,
                             const std::string& directory, int showCommand) {
  calls.push_back({window, verb, target, parameters, directory, showCommand});
  if (failCall && failCall()) throw PlatformError(2, "The system cannot find the file specified");
  trace_.Line("shell", verb + " " + Quoted(target) + ", show " + std::to_string(showCommand));
}

void SimKeyboard::SetCtrl(bool down) {
  if (down && !ctrlDown_) pressedSinceRead_ = true;
  ctrlDown_ = down;
}

std::uint16_t SimKeyboard::GetAsyncKeyState(int virtualKey) {
  ++timesRead;
  if (failCall && failCall()) throw PlatformError(5, "Access is denied");
  if (virtualKey != kVkControl) return 0;
  const std::uint16_t state =
      (ctrlDown_ ? kKeyDown : 0) | (pressedSinceRead_ ? kPressedSinceLastCall : 0);
  pressedSinceRead_ = false;
  return state;
}

double OsRandom::NextUniform() {
  std::uniform_real_distribution<double> uniform(0.0, 1.0);
  const double value = uniform(device_);
  return value < 1.0 ? value : 0.0;
}

}  // namespace velmox::sim

namespace velmox::sim {

void SimProcess::EndNow() {
  if (failCall && failCall()) throw PlatformError(5, "Access is denied");
  endedNow = true;
  trace_.Line("velmox", "ends at once");
  throw ProcessEnded{};
}

}  // namespace velmox::sim
