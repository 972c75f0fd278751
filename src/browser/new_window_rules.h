#pragma once

#include "core/browser_automation.h"
#include "core/option_record.h"

namespace velmox {

// The Settings dialog's rules for a browser window that has just appeared, applied in order:
// leave full screen, show the toolbar, the menu bar and the status bar, leave theater mode.
// Each property is read first and written only when the window breaks the rule and the rule is
// on. A rule whose call fails is skipped and the next one is tried.
void AdjustNewWindow(BrowserWindow& window, const OptionRecord& options);

}  // namespace velmox
