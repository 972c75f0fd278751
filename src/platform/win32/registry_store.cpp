#include "platform/win32/registry_store.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "platform/win32/scoped_win.h"
#include "platform/win32/trace.h"
#include "platform/win32/win_error.h"
#include "settings/option_schema.h"

namespace velmox::win32 {

std::string RegistryStore::KeyPath(const std::string& appName, const std::string& section) const {
  return root_ + "\\" + appName + "\\" + section;
}

std::string RegistryStore::GetSetting(const std::string& appName, const std::string& section,
                                      const std::string& key, const std::string& defaultValue) {
  ScopedKey handle;
  HKEY opened = nullptr;
  const LONG openStatus = RegOpenKeyExA(HKEY_CURRENT_USER, KeyPath(appName, section).c_str(), 0,
                                        KEY_QUERY_VALUE, &opened);
  if (openStatus == ERROR_FILE_NOT_FOUND) return defaultValue;
  CheckStatus(openStatus);
  handle.Reset(opened);

  DWORD type = 0;
  DWORD size = 0;
  const LONG sizeStatus =
      RegQueryValueExA(handle.Get(), key.c_str(), nullptr, &type, nullptr, &size);
  if (sizeStatus == ERROR_FILE_NOT_FOUND) return defaultValue;
  CheckStatus(sizeStatus);
  // Only strings are Velmox's; a value of another type written by hand reads as missing.
  if (type != REG_SZ && type != REG_EXPAND_SZ) return defaultValue;

  // The first size can fall short (under a code page of several bytes a character, or when the
  // value grew meanwhile): read again with the size asked for, larger every time, until it fits.
  std::vector<char> data;
  DWORD capacity = size;
  for (;;) {
    data.assign(static_cast<std::size_t>(capacity) + 1, '\0');
    size = capacity;
    const LONG status = RegQueryValueExA(handle.Get(), key.c_str(), nullptr, &type,
                                         reinterpret_cast<BYTE*>(data.data()), &size);
    if (status != ERROR_MORE_DATA) {
      CheckStatus(status);
      break;
    }
    capacity = std::max<DWORD>(size, capacity * 2 + 16);
  }
  std::string value(data.data(), size);
  // The stored size counts the terminating NUL, and a careless writer may store several.
  while (!value.empty() && value.back() == '\0')
    value.pop_back();
  return value;
}

void RegistryStore::SaveSetting(const std::string& appName, const std::string& section,
                                const std::string& key, const std::string& value) {
  // Velmox goes on without a stored value (a new command token at every start, for one), so a
  // store that cannot be written is said here.
  try {
    ScopedKey handle;
    HKEY created = nullptr;
    CheckStatus(RegCreateKeyExA(HKEY_CURRENT_USER, KeyPath(appName, section).c_str(), 0, nullptr, 0,
                                KEY_SET_VALUE, nullptr, &created, nullptr));
    handle.Reset(created);
    CheckStatus(RegSetValueExA(handle.Get(), key.c_str(), 0, REG_SZ,
                               reinterpret_cast<const BYTE*>(value.c_str()),
                               static_cast<DWORD>(value.size() + 1)));
  } catch (const std::exception& failure) {
    Trace("SaveSetting " + section + "\\" + key + " failed: " + failure.what());
    throw;
  }
  // The command token stays out of the trace, which any program of the session can read.
  const bool token = section == kCommandTokenSetting.section && key == kCommandTokenSetting.key;
  Trace("SaveSetting " + section + "\\" + key + (token ? "" : "=" + value));
}

}  // namespace velmox::win32
