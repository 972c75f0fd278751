#pragma once

#include <string>
#include <string_view>

#include "app/app_state.h"
#include "browser/automation.h"
#include "platform/files.h"

namespace velmox {

// True when pop-ups of `HostName` are to be disallowed: the first matching entry's mark, else
// the default verdict.
bool IsBlocked(const AppState& state, std::string_view HostName);

// Mark the site shown in `IEObject` disallowed (allowed) and save servers.lst at once.
void AddSiteAsBlocked(AppState& state, Files& files, const std::string& applicationFolder,
                      BrowserWindow& IEObject);
void AddSiteAsUnBlocked(AppState& state, Files& files, const std::string& applicationFolder,
                        BrowserWindow& IEObject);

}  // namespace velmox
