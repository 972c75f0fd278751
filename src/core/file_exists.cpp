#include "core/file_exists.h"

#include "core/failure.h"

namespace velmox {

bool FileExists(Files& files, const std::string& path) {
  return TrapOr(false, [&] { return files.FileLength(path) >= 1; });
}

}  // namespace velmox
