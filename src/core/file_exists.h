#pragma once

#include <string>

#include "core/files.h"

namespace velmox {

// True only for an existing file of at least one byte; every failure gives false.
bool FileExists(Files& files, const std::string& path);

}  // namespace velmox
