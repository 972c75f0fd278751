#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace velmox {

// What the system's file-open dialog is shown with.
struct FileOpenRequest {
  std::uintptr_t owner = 0;
  std::string title;
  std::string filter;  // "description|pattern" pairs joined by "|"
  std::string defaultExtension;
  std::string initialFolder;
  std::string fileName;  // the name shown in the dialog's name box at first
  unsigned flags = 0;    // OFN_* flags
};

// The user's confirmed choice.
struct FileOpenChoice {
  std::string fileName;   // full path
  std::string fileTitle;  // the name without its folder
};

// The system's file-open dialog. Modal: returns when the user confirms (the choice) or cancels
// (nullopt). May throw PlatformError.
class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  static constexpr unsigned kFileMustExist = 4096;  // OFN_FILEMUSTEXIST
  static constexpr unsigned kHideReadOnly = 4;      // OFN_HIDEREADONLY
  virtual std::optional<FileOpenChoice> ShowOpen(const FileOpenRequest& request) = 0;
};

}  // namespace velmox
