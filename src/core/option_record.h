#pragma once

#include <string>

namespace velmox {

// The in-memory record of every option but the one that runs Velmox with the browser, which only
// the Settings dialog reads. All fields are false or empty until LoadOptions fills them.
struct OptionRecord {
  bool AutoClose = false;
  bool AddressBar = false;
  bool FullScreen = false;
  bool MenuBar = false;
  bool StatusBar = false;
  bool TheaterMode = false;
  bool ToolBar = false;
  bool IgnoreLocal = false;
  std::string LinkTarget;
  bool BlockByDefault = false;
  bool BlinkLightBulb = false;
  bool PlayASound = false;
  std::string SoundFileName;

  bool operator==(const OptionRecord&) const = default;
};

}  // namespace velmox
