#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings_store.h"

namespace velmox::sim {

// The per-user settings store of the simulated desktop: a plain-text file in the profile folder,
// one "[Application\Section]" header per section and one "Key=Value" line per value. Names
// compare without regard to case, as the registry's do. Lines that make no sense are kept as
// they are and otherwise ignored; a save rewrites the file whole beside it and renames it over.
class SimSettingsStore : public SettingsStore {
 public:
  explicit SimSettingsStore(std::filesystem::path file) : file_(std::move(file)) {}

  const std::filesystem::path& File() const { return file_; }
  // Faults to order: asked with "read" or "save" and the key before each call; a call answered
  // true fails as a store that cannot be read or written does. A save also asks before each
  // step of its whole-file write ("create", "write", "rename"), which then fails as the disk
  // would (ReplaceWholeFile).
  std::function<bool(std::string_view call, const std::string& key)> failCall;
  // Told of every save that succeeded (the desktop keeps a journal of writes).
  std::function<void(const std::string& section, const std::string& key, const std::string& value)>
      onSaved;
  // Told of every save that failed, with the reason.
  std::function<void(const std::string& section, const std::string& key, const std::string& reason)>
      onSaveFailed;

  std::string GetSetting(const std::string& appName, const std::string& section,
                         const std::string& key, const std::string& defaultValue) override;
  void SaveSetting(const std::string& appName, const std::string& section, const std::string& key,
                   const std::string& value) override;

 private:
  std::vector<std::string> ReadLines() const;
  void WriteSetting(const std::string& appName, const std::string& section, const std::string& key,
                    const std::string& value);

  std::filesystem::path file_;
};

}  // namespace velmox::sim
