#pragma once

#include <memory>
#include <string>

#include "browser/slot_handlers.h"
#include "core/app_state.h"
#include "core/desktop_services.h"
#include "core/files.h"
#include "engine/page_sinks.h"

namespace velmox {

// The handlers behind every slot of the window table. They hold no logic of their own: a
// navigation goes to the context-menu command check, a new window to the pop-up decision, and
// the answers go back to the browser. Whatever fails inside, the browser always gets a definite
// answer and nothing escapes into its event.
class WindowEventRouting : public SlotHandlers {
 public:
  WindowEventRouting(AppState& state, Files& files, std::string applicationFolder,
                     Keyboard& keyboard, PageSinks& sinks);

  // Cancel is written on every call: true for a command address, false otherwise. A failure
  // while carrying out a recognised command still cancels, so a command page never loads while
  // Velmox runs.
  void SlotBeforeNavigate2(std::shared_ptr<BrowserWindow> slotWindow,
                           BeforeNavigate2Args& args) override;
  // ppDisp receives OpenWindow's answer; on a failure it is emptied, so the browser opens the
  // window itself. Cancel stays as the browser passed it.
  void SlotNewWindow2(std::shared_ptr<BrowserWindow> slotWindow, std::shared_ptr<Dispatch>& ppDisp,
                      bool& Cancel, UserAction startedBy) override;

 private:
  AppState& state_;
  Files& files_;
  std::string applicationFolder_;
  Keyboard& keyboard_;
  PageSinks& sinks_;
};

}  // namespace velmox
