#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "core/files.h"
#include "core/platform_error.h"

namespace velmox::test {

// Files held in memory, keyed by the exact path text, with failures to order.
class MemoryFiles : public Files {
 public:
  std::map<std::string, std::string> files;
  std::set<std::string> failingPaths;  // every call on these paths fails
  // The disk is full: WriteText leaves half of the text before it fails, as a plain write
  // does; WriteTextAtomically fails and leaves the file as it was.
  bool diskFull = false;

  bool Has(const std::string& path) const { return files.count(path) != 0; }
  const std::string& Content(const std::string& path) const { return files.at(path); }

  void Rename(const std::string& from, const std::string& to) override {
    FailFor(from);
    FailFor(to);
    if (!Has(from)) throw PlatformError(53, "File not found");
    if (Has(to)) throw PlatformError(58, "File already exists");
    files[to] = files[from];
    files.erase(from);
  }
  std::int64_t FileLength(const std::string& path) override {
    FailFor(path);
    if (!Has(path)) throw PlatformError(53, "File not found");
    return static_cast<std::int64_t>(files[path].size());
  }
  std::string ReadText(const std::string& path) override {
    FailFor(path);
    if (!Has(path)) throw PlatformError(53, "File not found");
    return files[path];
  }
  void WriteText(const std::string& path, const std::string& text) override {
    FailFor(path);
    if (diskFull) {
      files[path] = text.substr(0, text.size() / 2);
      throw PlatformError(61, "Disk full");
    }
    files[path] = text;
  }
  void WriteTextAtomically(const std::string& path, const std::string& text) override {
    FailFor(path);
    if (diskFull) throw PlatformError(61, "Disk full");
    files[path] = text;
  }

 private:
  void FailFor(const std::string& path) const {
    if (failingPaths.count(path) != 0) throw PlatformError(75, "Path/File access error");
  }
};

}  // namespace velmox::test
