#pragma once

#include <string>

#include "core/settings_store.h"

namespace velmox::win32 {

// The settings in the per-user registry: HKEY_CURRENT_USER\<root>\<appName>\<section>, one
// string value per key.
class RegistryStore : public SettingsStore {
 public:
  explicit RegistryStore(std::string root = "Software") : root_(std::move(root)) {}

  std::string GetSetting(const std::string& appName, const std::string& section,
                         const std::string& key, const std::string& defaultValue) override;
  void SaveSetting(const std::string& appName, const std::string& section, const std::string& key,
                   const std::string& value) override;

 private:
  std::string KeyPath(const std::string& appName, const std::string& section) const;
  std::string root_;
};

}  // namespace velmox::win32
