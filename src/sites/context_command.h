#pragma once

#include <string>
#include <string_view>

#include "core/app_state.h"
#include "core/browser_automation.h"
#include "core/files.h"

// The context-menu command channel: the browser's "disallow" and "allow" menu entries run a
// script that navigates to one of two local pages; the tracked window's before-navigate handler
// hands every address here, and a command address is carried out instead of loaded.
namespace velmox {

enum class ContextCommandKind { None, DisallowSite, AllowSite };

// What `URL` asks for: a command address starts with the application folder (any letter case)
// and ends with the 16 characters "b" + token + ".html" (disallow) or "t" + token + ".html"
// (allow), compared lower-cased. Looks at the address in place: no copy, no allocation.
ContextCommandKind RecognizeContextCommand(std::string_view applicationFolder,
                                           std::string_view token, std::string_view URL) noexcept;

// True when `URL` is a command address, which has then been carried out on the site shown in
// `IEObject`. The caller cancels the navigation with exactly this result. A failure while
// marking the site (the window gone) propagates.
bool ContextCommand(AppState& state, Files& files, const std::string& applicationFolder,
                    BrowserWindow& IEObject, std::string_view URL);

// Registering the two menu entries with the browser is left to the installation; Velmox only
// writes the files they run and recognises their addresses.
inline void SetUpRegistry() {}

}  // namespace velmox
