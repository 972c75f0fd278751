#pragma once

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <string_view>

#include "core/files.h"

namespace velmox::sim {

// Puts `text` into the real file `target` as a whole: the text goes to a temporary file beside
// it, created exclusively under a fresh name (a file or link already there is never followed,
// reused or removed), and that file is then renamed over `target`. On failure the temporary
// file goes, `target` is as it was, and PlatformError is thrown (61 for a full disk, 75 for any
// other failure). `fails` orders faults: asked before "create", "write" and "rename", a step
// answered true fails as the disk would, "write" after half of the bytes went to disk.
void ReplaceWholeFile(const std::filesystem::path& target, const std::string& text,
                      const std::function<bool(std::string_view step)>& fails);

// The simulated desktop's files. Velmox sees its application folder under a Windows name
// (`virtualFolder`, by default "C:\Program Files\Velmox"); every path below it maps onto a real
// folder on this machine, "\" becoming "/". A real absolute path ("/...") is used as it is, so
// that a sound file elsewhere can be named. Any other path does not exist.
class SimFiles : public Files {
 public:
  SimFiles(std::string virtualFolder, std::filesystem::path realFolder)
      : virtualFolder_(std::move(virtualFolder)), realFolder_(std::move(realFolder)) {}

  const std::string& VirtualFolder() const { return virtualFolder_; }
  const std::filesystem::path& RealFolder() const { return realFolder_; }
  // The real path for a Velmox path; throws PlatformError (76, "Path not found") when it has
  // none.
  std::filesystem::path RealPath(const std::string& path) const;
  // Told of every write that succeeded, with the path as Velmox named it.
  std::function<void(const std::string& path)> onWritten;
  // Faults to order, for runs that prove Velmox survives them: asked with the path as Velmox
  // named it before each step ("read" a file or its length; "create", "write", "rename" of a
  // change); a step answered true fails as the disk would, "write" after half of the bytes went
  // to disk (a full disk).
  std::function<bool(std::string_view step, const std::string& path)> failStep;
  // Told of what Velmox reports of a file it kept (ReportKept).
  std::function<void(const std::string& message)> onReport;

  // Another program holds the file open without sharing: reading, writing, replacing and
  // renaming it fail ("Permission denied"), while its length can still be asked for, as on
  // Windows. Velmox paths; letter case does not matter.
  void Lock(const std::string& path);
  void Unlock(const std::string& path);

  void Rename(const std::string& from, const std::string& to) override;
  std::int64_t FileLength(const std::string& path) override;
  std::string ReadText(const std::string& path) override;
  void WriteText(const std::string& path, const std::string& text) override;
  void WriteTextAtomically(const std::string& path, const std::string& text) override;
  void ReportKept(const std::string& message) override;

 private:
  bool Fails(std::string_view step, const std::string& path) const {
    return failStep && failStep(step, path);
  }
  // Throws what Windows answers for a file another program holds.
  void ThrowIfLocked(const std::string& path) const;

  std::string virtualFolder_;
  std::filesystem::path realFolder_;
  std::set<std::string> locked_;  // real paths, lower-cased
};

}  // namespace velmox::sim
