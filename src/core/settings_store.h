#pragma once

#include <string>

namespace velmox {

// Per-user string values addressed by application name, section and key.
// Both calls may throw PlatformError.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;

  // The stored value, or `defaultValue` when the key is missing. Never creates a key.
  virtual std::string GetSetting(const std::string& appName, const std::string& section,
                                 const std::string& key, const std::string& defaultValue) = 0;
  // Creates the section and key as needed and replaces any earlier value.
  virtual void SaveSetting(const std::string& appName, const std::string& section,
                           const std::string& key, const std::string& value) = 0;
};

}  // namespace velmox
