#pragma once

#include <string>

#include "core/files.h"

namespace velmox {

// Writes the four command-channel files in the application folder: blocksite.script and
// trustsite.script unless they hold what Velmox writes for this token, b{token}.html and
// t{token}.html when missing or empty. Other files are left alone. A file that cannot be
// written is skipped without a word; the others are still attempted.
void CreateHTML(Files& files, const std::string& applicationFolder, const std::string& token);

}  // namespace velmox
