#pragma once

#include <string>

#include "core/option_record.h"
#include "core/site_list.h"
#include "core/sites_file_state.h"

namespace velmox {

// The process-wide values of one run. The application owns the one instance and hands it by
// reference to whoever needs it; nothing of it lives in a global.
struct AppState {
  OptionRecord OptionValues;
  SiteList Sites;
  SitesFileState SitesFile;  // servers.lst as this run last read or wrote it
  std::string URLPrefix;     // the installation's private 10-digit command token
  bool BlockingOn = false;
  bool DialogOpen = false;
  bool ExitPending = false;
  float ErrorTime = 0;  // time of day of the first page-sink failure of the run
};

}  // namespace velmox
