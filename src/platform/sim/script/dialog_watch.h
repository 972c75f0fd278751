#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/sim/script/sim_session.h"

namespace velmox::sim {

// Every option of OptionValues by its name, with its value as text ("True", "_blank", a path).
std::vector<std::pair<std::string, std::string>> OptionTexts(const OptionRecord& options);

// How the trace shows the live site list: the non-empty entries in index order.
std::string DescribeSites(const SiteList& sites);

// Traces what the Settings dialog did to the live options and site list (Apply, OK, Cancel and
// closing put them into effect or back). After each action line the runner shows it here;
// changes made while no dialog was open are taken in silently.
class DialogWatch {
 public:
  void AfterAction(SimSession& session);

 private:
  const Application* run_ = nullptr;
  bool dialogWasOpen_ = false;
  OptionRecord options_;
  std::string sites_;
};

}  // namespace velmox::sim
