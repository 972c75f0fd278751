#include "starter/autoload_rule.h"

#include <exception>

#include "browser/qualifying_window.h"
#include "core/failure.h"
#include "core/product.h"
#include "settings/boolean_text.h"

namespace velmox {

std::string ReadAutoLoad(SettingsStore& store) {
  const std::string missing = BooleanText(false);
  return TrapOr(missing,
                [&] { return store.GetSetting(kProductName, "Options", "AutoLoad", missing); });
}

int CountBrowserWindows(ShellWindows& collection) {
  int count = 0;
  const std::unique_ptr<WindowEnumerator> entries = collection.Enumerate();
  while (std::shared_ptr<BrowserWindow> entry = entries->Next()) {
    if (TrapOr(true, [&] { return IsQualifyingWindow(*entry); })) ++count;
  }
  return count;
}

StartDecision DecideOnRegistered(int browsersBefore, int browsersNow, const std::string& autoLoad) {
  if (browsersNow <= browsersBefore) return {false, "a window registered, no new browser window"};
  const std::string seen = "a browser window appeared, AutoLoad is \"" + autoLoad + "\"";
  if (ParseBoolean(autoLoad).value_or(false)) return {true, seen + ": starting Velmox"};
  return {false, seen + ": Velmox not started"};
}

}  // namespace velmox
