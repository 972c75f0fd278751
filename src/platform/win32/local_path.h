#pragma once

#include <optional>
#include <string>

namespace velmox::win32 {

// Velmox names files in the system's code page, as it writes them into the context-menu scripts
// the browser follows. A local path with characters outside that code page (a user's name in the
// profile folder, say) is named by its folders' short names, which the system makes of characters
// the code page has; the file's own name is kept.

// The text in the code page when every character has its own there; nothing otherwise.
std::optional<std::string> ExactAnsi(const std::wstring& text);

// A folder's path in the code page: as it is, or made of its short names when it must be. When
// neither names it (a volume without short names), the nearest text the code page has.
std::string AnsiFolder(const std::wstring& folder);

// A path or a `file:` address the browser reports: a local path whose characters do not all
// have their own in the code page is named by its folder's short form and the file's own name;
// anything else converts as it is.
std::string AnsiAddress(const std::wstring& address);

}  // namespace velmox::win32
