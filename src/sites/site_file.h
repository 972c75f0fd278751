#pragma once

#include <string>

#include "platform/files.h"
#include "sites/site_list.h"

namespace velmox {

// servers.lst in the application folder: one record `"host",#TRUE#` or `"host",#FALSE#` per
// line, each line ended by CR LF.
std::string SitesFilePath(const std::string& applicationFolder);

// Loads servers.lst into `sites`, replacing what was there. A missing or empty file gives one
// free entry. Never fails.
void SetUpBlockedHosts(Files& files, const std::string& applicationFolder, SiteList& sites);

// Writes the non-free entries to servers.lst. Failures are not reported.
void RecordBlockedHosts(Files& files, const std::string& applicationFolder, const SiteList& sites);

}  // namespace velmox
