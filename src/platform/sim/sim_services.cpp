#include "platform/sim/sim_services.h"

#include "core/file_exists.h"
#include "platform/sim/sim_process_end.h"

namespace velmox::sim {

bool SimSound::sndPlaySoundA(const std::string& name, unsigned flags) {
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

int SimMessageBoxes::MessageBoxA(std::uintptr_t, const std::string& text, const std::string& title,
                                 unsigned style) {
  MessageBoxCall call{text, title, style};
  shown.push_back(call);
  trace_.Line("message box",
              Quoted(title) + " (style " + std::to_string(style) + "): " + Quoted(text));
  int result = 0;
  if (answer) {
    result = answer(call);
  } else {
    const unsigned buttons = style & kButtonsMask;
    result = (buttons == kYesNoCancel || buttons == kYesNo) ? kIdYes : kIdOk;
  }
  trace_.Line("message box", std::string("answered ") + ButtonName(result));
  return result;
}

void SimShell::ShellExecuteA(std::uintptr_t, const std::string& verb, const std::string& target,
                             const std::string&, const std::string&, int showCommand) {
  calls.push_back({verb, target, showCommand});
  trace_.Line("shell", verb + " " + Quoted(target) + ", show " + std::to_string(showCommand));
}

double OsRandom::NextUniform() {
  std::uniform_real_distribution<double> uniform(0.0, 1.0);
  const double value = uniform(device_);
  return value < 1.0 ? value : 0.0;
}

}  // namespace velmox::sim

namespace velmox::sim {

void SimProcess::EndNow() {
  endedNow = true;
  trace_.Line("velmox", "ends at once");
  throw ProcessEnded{};
}

}  // namespace velmox::sim
