#pragma once

#include "app/desktop.h"
#include "core/browser_automation.h"
#include "platform/sim/sim_desktop.h"

namespace velmox::chromium {

// The simulated desktop's services with another browser: its tray, dialog, settings store,
// sound, files and virtual clock stay as they are.
inline Desktop DesktopWith(sim::SimDesktop& d, BrowserAutomation& browsers) {
  return Desktop{
      d.settings,     d.files,  d.clock,       d.tray,           d.sound,
      d.messageBoxes, d.shell,  d.keyboard,    d.clock,          d.random,
      d.process,      browsers, d.fileDialogs, d.settingsWindow, d.Folders().virtualAppFolder};
}

}  // namespace velmox::chromium
