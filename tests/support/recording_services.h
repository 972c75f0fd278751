#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "core/desktop_services.h"
#include "core/file_dialog.h"
#include "core/platform_error.h"
#include "core/settings_store.h"

// Small fakes of the desktop's services that record every call, for unit tests.
namespace velmox::test {

// A settings store in memory; `writes` lists every SaveSetting in order as "section/key=value".
class MemorySettings : public SettingsStore {
 public:
  std::map<std::tuple<std::string, std::string, std::string>, std::string> values;
  std::vector<std::string> writes;
  bool failWrites = false;
  bool failReads = false;

  std::string GetSetting(const std::string& appName, const std::string& section,
                         const std::string& key, const std::string& defaultValue) override {
    if (failReads) throw PlatformError(5, "Access denied");
    auto it = values.find({appName, section, key});
    return it == values.end() ? defaultValue : it->second;
  }
  void SaveSetting(const std::string& appName, const std::string& section, const std::string& key,
                   const std::string& value) override {
    if (failWrites) throw PlatformError(5, "Access denied");
    values[{appName, section, key}] = value;
    writes.push_back(section + "/" + key + "=" + value);
  }
  std::optional<std::string> Value(const std::string& section, const std::string& key) const {
    auto it = values.find({"Velmox", section, key});
    if (it == values.end()) return std::nullopt;
    return it->second;
  }
};

class RecordingSound : public Sound {
 public:
  struct Call {
    std::string name;
    unsigned flags;
    bool operator==(const Call&) const = default;
  };
  std::vector<Call> calls;
  bool sndPlaySoundA(const std::string& name, unsigned flags) override {
    calls.push_back({name, flags});
    return true;
  }
};

class RecordingShell : public ShellLauncher {
 public:
  struct Call {
    std::uintptr_t window;
    std::string verb, target, parameters, directory;
    int showCommand;
  };
  std::vector<Call> calls;
  bool fail = false;
  void ShellExecuteA(std::uintptr_t window, const std::string& verb, const std::string& target,
                     const std::string& parameters, const std::string& directory,
                     int showCommand) override {
    calls.push_back({window, verb, target, parameters, directory, showCommand});
    if (fail) throw PlatformError(2, "The system cannot find the file specified");
  }
};

class RecordingMessageBoxes : public MessageBoxes {
 public:
  struct Call {
    std::uintptr_t owner;
    std::string text, title;
    unsigned style;
  };
  std::vector<Call> calls;
  int answer = kIdOk;
  int MessageBoxA(std::uintptr_t owner, const std::string& text, const std::string& title,
                  unsigned style) override {
    calls.push_back({owner, text, title, style});
    return answer;
  }
};

// Answers each showing with the next scripted answer (nullopt: the user cancels); cancels when
// none is left.
class ScriptedFileDialogs : public FileDialogs {
 public:
  std::deque<std::optional<FileOpenChoice>> answers;
  std::vector<FileOpenRequest> requests;
  bool fail = false;
  std::optional<FileOpenChoice> ShowOpen(const FileOpenRequest& request) override {
    requests.push_back(request);
    if (fail) throw PlatformError(0x3002, "Common dialog failed");
    if (answers.empty()) return std::nullopt;
    auto answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

}  // namespace velmox::test
