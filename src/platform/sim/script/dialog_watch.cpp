#include "platform/sim/script/dialog_watch.h"

#include "settings/option_schema.h"

namespace velmox::sim {

std::vector<std::pair<std::string, std::string>> OptionTexts(const OptionRecord& o) {
  std::vector<std::pair<std::string, std::string>> texts;
  for (const OptionField& field : kOptionFields)
    texts.emplace_back(field.setting.key, StoredText(field, o));
  return texts;
}

std::string DescribeSites(const SiteList& sites) {
  std::string out;
  for (const SiteEntry& entry : sites.Entries()) {
    if (entry.Host.empty()) continue;
    out += (out.empty() ? "" : ", ") + Quoted(entry.Host) +
           (entry.Blocked ? " Disallowed" : " Allowed");
  }
  return out.empty() ? "none" : out;
}

void DialogWatch::AfterAction(SimSession& session) {
  Application* run = session.LatestRun();
  if (run == nullptr) return;
  const bool open = run->Settings().IsLoaded();
  const OptionRecord& options = run->State().OptionValues;
  const std::string sites = DescribeSites(run->State().Sites);
  if (run == run_ && (open || dialogWasOpen_)) {
    const auto before = OptionTexts(options_), after = OptionTexts(options);
    for (std::size_t i = 0; i < after.size(); ++i) {
      if (before[i].second != after[i].second)
        session.desktop.trace.Line("options", after[i].first + " = " + Quoted(after[i].second));
    }
    if (sites != sites_) session.desktop.trace.Line("sites", sites);
  }
  run_ = run;
  dialogWasOpen_ = open;
  options_ = options;
  sites_ = sites;
}

}  // namespace velmox::sim
