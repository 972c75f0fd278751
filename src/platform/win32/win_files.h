#pragma once

#include "core/files.h"

namespace velmox::win32 {

// Files through the ANSI file API: the text is written and read as the bytes it is.
class WinFiles : public Files {
 public:
  void Rename(const std::string& from, const std::string& to) override;
  std::int64_t FileLength(const std::string& path) override;
  std::string ReadText(const std::string& path) override;
  void WriteText(const std::string& path, const std::string& text) override;
  void WriteTextAtomically(const std::string& path, const std::string& text) override;
  // The trace, and a warning in the Application event log under the source "Velmox", which is
  // where an administrator looks for what a program could not do.
  void ReportKept(const std::string& message) override;
};

}  // namespace velmox::win32
