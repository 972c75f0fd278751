#pragma once

#include "core/file_dialog.h"

namespace velmox::win32 {

// The common file-open dialog (GetOpenFileNameA).
class WinFileDialogs : public FileDialogs {
 public:
  std::optional<FileOpenChoice> ShowOpen(const FileOpenRequest& request) override;
};

// The "description|pattern|..." filter as the dialog wants it: NUL-separated, doubly ended.
std::string FilterForDialog(const std::string& filter);

}  // namespace velmox::win32
