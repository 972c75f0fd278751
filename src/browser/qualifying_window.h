#pragma once

#include "core/browser_automation.h"

namespace velmox {

// A browser window of the system browser, as the window scan counts one: an entry of the shell's
// collection whose Name is exactly "Microsoft Internet Explorer", letter case included. Throws
// when the name cannot be read.
inline bool IsQualifyingWindow(BrowserWindow& window) {
  return window.Name() == BrowserWindow::kBrowserName;
}

}  // namespace velmox
