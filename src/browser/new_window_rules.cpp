#include "browser/new_window_rules.h"

#include "core/failure.h"

namespace velmox {
namespace {

// True in the platform's 16-bit form: what the toolbar property is given to show the toolbar.
constexpr int kToolBarTrue = -1;

}  // namespace

void AdjustNewWindow(BrowserWindow& window, const OptionRecord& options) {
  SkipOnFailure([&] {
    if (window.FullScreen() && options.FullScreen) window.SetFullScreen(false);
  });
  SkipOnFailure([&] {
    if (window.ToolBar() == 0 && options.ToolBar) window.SetToolBar(kToolBarTrue);
  });
  SkipOnFailure([&] {
    if (!window.MenuBar() && options.MenuBar) window.SetMenuBar(true);
  });
  SkipOnFailure([&] {
    if (!window.StatusBar() && options.StatusBar) window.SetStatusBar(true);
  });
  SkipOnFailure([&] {
    if (window.TheaterMode() && options.TheaterMode) window.SetTheaterMode(false);
  });
}

}  // namespace velmox
