#include "platform/win32/win_file_dialogs.h"

#include "platform/win32/win_api.h"

#include <commdlg.h>

#include <vector>

#include "platform/win32/trace.h"
#include "platform/win32/win_error.h"

namespace velmox::win32 {

std::string FilterForDialog(const std::string& filter) {
  std::string result = filter;
  for (char& c : result) {
    if (c == '|') c = '\0';
  }
  result.push_back('\0');
  result.push_back('\0');
  return result;
}

std::optional<FileOpenChoice> WinFileDialogs::ShowOpen(const FileOpenRequest& request) {
  const std::string filter = FilterForDialog(request.filter);
  // The extension without its dot, as the dialog expects it.
  std::string extension = request.defaultExtension;
  if (!extension.empty() && extension[0] == '.') extension.erase(0, 1);
  std::vector<char> fileName(32 * 1024, '\0');
  request.fileName.copy(fileName.data(), fileName.size() - 1);
  std::vector<char> fileTitle(MAX_PATH, '\0');

  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = reinterpret_cast<HWND>(request.owner);
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = fileName.data();
  dialog.nMaxFile = static_cast<DWORD>(fileName.size());
  dialog.lpstrFileTitle = fileTitle.data();
  dialog.nMaxFileTitle = static_cast<DWORD>(fileTitle.size());
  dialog.lpstrInitialDir = request.initialFolder.empty() ? nullptr : request.initialFolder.c_str();
  dialog.lpstrTitle = request.title.empty() ? nullptr : request.title.c_str();
  dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  static_assert(kFileMustExist == OFN_FILEMUSTEXIST && kHideReadOnly == OFN_HIDEREADONLY);
  dialog.Flags = request.flags;
  Trace("GetOpenFileNameA " + request.initialFolder);
  if (!GetOpenFileNameA(&dialog)) {
    const DWORD error = CommDlgExtendedError();
    if (error != 0) ThrowError(static_cast<long>(error));
    return std::nullopt;  // the user cancelled
  }
  return FileOpenChoice{fileName.data(), fileTitle.data()};
}

}  // namespace velmox::win32
