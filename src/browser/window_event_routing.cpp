#include "browser/window_event_routing.h"

#include "core/failure.h"
#include "engine/new_window_decision.h"
#include "sites/context_command.h"

namespace velmox {

WindowEventRouting::WindowEventRouting(AppState& state, Files& files, std::string applicationFolder,
                                       Keyboard& keyboard, PageSinks& sinks)
    : state_(state),
      files_(files),
      applicationFolder_(std::move(applicationFolder)),
      keyboard_(keyboard),
      sinks_(sinks) {}

void WindowEventRouting::SlotBeforeNavigate2(std::shared_ptr<BrowserWindow> slotWindow,
                                             BeforeNavigate2Args& args) {
  // Recognising an address cannot fail; only carrying out a command can (its window gone).
  args.Cancel = TrapOr(true, [&] {
    if (!slotWindow) return false;  // an empty slot has no window to act for
    return ContextCommand(state_, files_, applicationFolder_, *slotWindow, args.URL);
  });
}

void WindowEventRouting::SlotNewWindow2(std::shared_ptr<BrowserWindow> slotWindow,
                                        std::shared_ptr<Dispatch>& ppDisp, bool&,
                                        UserAction startedBy) {
  std::shared_ptr<Dispatch> answer = TrapOr<std::shared_ptr<Dispatch>>(nullptr, [&] {
    return OpenWindow(state_, keyboard_, sinks_, std::move(slotWindow), ppDisp, startedBy);
  });
  ppDisp = std::move(answer);
}

}  // namespace velmox
