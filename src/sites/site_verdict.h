#pragma once

#include <string>
#include <string_view>

#include "core/browser_automation.h"
#include "core/files.h"
#include "core/site_list.h"
#include "core/sites_file_state.h"

namespace velmox {

// True when pop-ups of `HostName` are to be disallowed: the first matching entry's mark, else
// the default verdict. Costs the same whatever the length of the list.
bool IsBlocked(const SiteList& sites, bool blockByDefault, std::string_view HostName) noexcept;

// Mark the site shown in `IEObject` disallowed (allowed) and save servers.lst at once. Nothing
// happens for a host the file cannot hold or for the empty host. Only reading the window's
// address can fail (the window gone); that failure propagates and nothing is marked.
void AddSiteAsBlocked(SiteList& sites, SitesFileState& onDisk, Files& files,
                      const std::string& applicationFolder, BrowserWindow& IEObject);
void AddSiteAsUnBlocked(SiteList& sites, SitesFileState& onDisk, Files& files,
                        const std::string& applicationFolder, BrowserWindow& IEObject);

}  // namespace velmox
