#pragma once

#include <cstdint>
#include <string>

namespace velmox {

// Files of the application folder. Paths are Windows paths, as Velmox builds them everywhere:
// the application folder + "\" + name. Text is bytes in the system's ANSI code page.
// Every call may throw PlatformError.
class Files {
 public:
  virtual ~Files() = default;

  // Fails when `from` is missing or `to` already exists; then both stay as they are.
  virtual void Rename(const std::string& from, const std::string& to) = 0;
  virtual std::int64_t FileLength(const std::string& path) = 0;
  virtual std::string ReadText(const std::string& path) = 0;
  // Creates or truncates the file and writes `text`.
  virtual void WriteText(const std::string& path, const std::string& text) = 0;
  // Writes beside the file, flushes, and renames over it: on disk there is always either the
  // old content or the new one, never a mixture or a truncated file.
  virtual void WriteTextAtomically(const std::string& path, const std::string& text) = 0;
  // Tells the user what became of a file of theirs that Velmox was about to replace (a copy
  // kept, or the file left alone): the desktop's trace and, on Windows, the failure log.
  virtual void ReportKept(const std::string& message) = 0;
};

}  // namespace velmox
