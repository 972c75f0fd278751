#pragma once

#include <string>
#include <string_view>

#include "app/app_state.h"
#include "browser/automation.h"
#include "platform/files.h"

namespace velmox {

// True when pop-ups of `HostName` are to be disallowed: the first matching entry's mark, else
// the default verdict. Costs the same whatever the length of the list.
bool IsBlocked(const AppState& state, std::string_view HostName) noexcept;

// Mark the site shown in `IEObject` disallowed (allowed) and save servers.lst at once. Nothing
// happens for a host the file cannot hold, for the empty host, or when the window's address
// cannot be read: the command is still taken, there is just no site to mark.
void AddSiteAsBlocked(AppState& state, Files& files, const std::string& applicationFolder,
                      BrowserWindow& IEObject) noexcept;
void AddSiteAsUnBlocked(AppState& state, Files& files, const std::string& applicationFolder,
                        BrowserWindow& IEObject) noexcept;

}  // namespace velmox
