#include "platform/win32/local_path.h"

#include "platform/win32/win_api.h"

#include <shlwapi.h>

#include <vector>

#include "platform/win32/com_text.h"

namespace velmox::win32 {
namespace {

std::optional<std::wstring> ShortPath(const std::wstring& path) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetShortPathNameW(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::nullopt;
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    buffer.resize(length + 1);
  }
}

bool IsLocalPath(const std::wstring& path) {
  const bool drive = path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
  return drive || path.rfind(L"\\\\", 0) == 0;
}

}  // namespace

std::optional<std::string> ExactAnsi(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int length = static_cast<int>(text.size());
  // Under a UTF-8 code page every character has its own bytes.
  const bool utf8 = GetACP() == CP_UTF8;
  BOOL lossy = FALSE;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  const int size = WideCharToMultiByte(CP_ACP, flags, text.data(), length, nullptr, 0, nullptr,
                                       utf8 ? nullptr : &lossy);
  if (size <= 0 || lossy) return std::nullopt;
  std::string result(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, flags, text.data(), length, result.data(), size, nullptr, nullptr);
  return result;
}

std::string AnsiFolder(const std::wstring& folder) {
  if (auto exact = ExactAnsi(folder)) return *exact;
  if (const auto shortForm = ShortPath(folder)) {
    if (auto exact = ExactAnsi(*shortForm)) return *exact;
  }
  return ToAnsi(folder.data(), static_cast<int>(folder.size()));
}

std::string AnsiAddress(const std::wstring& address) {
  if (auto exact = ExactAnsi(address)) return *exact;
  std::wstring path = address;
  if (_wcsnicmp(address.c_str(), L"file:", 5) == 0) {
    std::vector<wchar_t> buffer(address.size() + MAX_PATH);
    DWORD length = static_cast<DWORD>(buffer.size());
    if (SUCCEEDED(PathCreateFromUrlW(address.c_str(), buffer.data(), &length, 0))) {
      path.assign(buffer.data(), length);
    }
  }
  const std::size_t slash = path.find_last_of(L"\\/");
  if (IsLocalPath(path) && slash != std::wstring::npos) {
    const std::string folder = AnsiFolder(path.substr(0, slash));
    if (const auto name = ExactAnsi(path.substr(slash + 1))) return folder + "\\" + *name;
  }
  return ToAnsi(address.data(), static_cast<int>(address.size()));
}

}  // namespace velmox::win32
