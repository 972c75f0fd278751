#pragma once

#include <string>

#include "core/files.h"

namespace velmox {

// Writes whichever of the four command-channel files is missing or empty, in the application
// folder: blocksite.script, trustsite.script, b{token}.html and t{token}.html. A file that is
// present is never rewritten, even when it names an older token. A file that cannot be written
// is skipped without a word; the others are still attempted.
void CreateHTML(Files& files, const std::string& applicationFolder, const std::string& token);

}  // namespace velmox
