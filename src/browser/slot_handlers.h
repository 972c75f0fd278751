#pragma once

#include <memory>

#include "core/browser_automation.h"

namespace velmox {

// What the 40 slots of the window table do with their windows' events. Each call gets a copy of
// the slot's reference, so nothing the handler does to it changes the slot.
class SlotHandlers {
 public:
  virtual ~SlotHandlers() = default;
  virtual void SlotBeforeNavigate2(std::shared_ptr<BrowserWindow> slotWindow,
                                   BeforeNavigate2Args& args) = 0;
  virtual void SlotNewWindow2(std::shared_ptr<BrowserWindow> slotWindow,
                              std::shared_ptr<Dispatch>& ppDisp, bool& Cancel,
                              UserAction startedBy) = 0;
};

}  // namespace velmox
