#include "platform/sim/sim_settings_store.h"

#include <fstream>
#include <optional>

#include "core/ascii_case.h"
#include "core/platform_error.h"
#include "platform/sim/sim_files.h"

namespace velmox::sim {
namespace {

std::optional<std::string> SectionOf(const std::string& line) {
  if (line.size() < 2 || line.front() != '[' || line.back() != ']') return std::nullopt;
  return line.substr(1, line.size() - 2);
}

// The key of a "Key=Value" line, or nullopt for a line that is not one.
std::optional<std::string> KeyOf(const std::string& line) {
  const auto equals = line.find('=');
  if (equals == std::string::npos || equals == 0 || line.front() == '[') return std::nullopt;
  return line.substr(0, equals);
}

bool ValidName(const std::string& name) {
  return !name.empty() && name.find_first_of("=[]\r\n") == std::string::npos;
}

}  // namespace

std::vector<std::string> SimSettingsStore::ReadLines() const {
  std::vector<std::string> lines;
  std::ifstream in(file_, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::string SimSettingsStore::GetSetting(const std::string& appName, const std::string& section,
                                         const std::string& key, const std::string& defaultValue) {
  if (failCall && failCall("read", key))
    throw PlatformError(74, "The settings store could not be read");
  const std::string wanted = appName + "\\" + section;
  bool inSection = false;
  for (const std::string& line : ReadLines()) {
    if (auto name = SectionOf(line)) {
      inSection = EqualsIgnoreCase(*name, wanted);
    } else if (auto lineKey = KeyOf(line);
               inSection && lineKey && EqualsIgnoreCase(*lineKey, key)) {
      return line.substr(lineKey->size() + 1);
    }
  }
  return defaultValue;
}

void SimSettingsStore::SaveSetting(const std::string& appName, const std::string& section,
                                   const std::string& key, const std::string& value) {
  try {
    WriteSetting(appName, section, key, value);
  } catch (const PlatformError& failure) {
    if (onSaveFailed) onSaveFailed(section, key, failure.what());
    throw;
  }
}

void SimSettingsStore::WriteSetting(const std::string& appName, const std::string& section,
                                    const std::string& key, const std::string& value) {
  if (failCall && failCall("save", key)) {
    throw PlatformError(74, "The settings store could not be written");
  }
  if (!ValidName(appName) || !ValidName(section) || !ValidName(key) ||
      value.find_first_of("\r\n") != std::string::npos) {
    throw PlatformError(5, "Invalid procedure call or argument");
  }
  const std::string wanted = appName + "\\" + section;
  std::vector<std::string> lines = ReadLines();
  const std::string newLine = key + "=" + value;
  bool inSection = false;
  std::optional<std::size_t> sectionEnd;
  bool written = false;
  for (std::size_t i = 0; i < lines.size() && !written; ++i) {
    if (auto name = SectionOf(lines[i])) {
      if (inSection) break;
      inSection = EqualsIgnoreCase(*name, wanted);
      if (inSection) sectionEnd = i + 1;
      continue;
    }
    if (!inSection) continue;
    sectionEnd = i + 1;
    if (auto lineKey = KeyOf(lines[i]); lineKey && EqualsIgnoreCase(*lineKey, key)) {
      lines[i] = newLine;
      written = true;
    }
  }
  if (!written && sectionEnd) {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*sectionEnd), newLine);
  } else if (!written) {
    lines.push_back("[" + wanted + "]");
    lines.push_back(newLine);
  }

  std::string text;
  for (const std::string& line : lines)
    text += line + '\n';
  try {
    ReplaceWholeFile(file_, text,
                     [&](std::string_view step) { return failCall && failCall(step, key); });
  } catch (const PlatformError&) {
    throw PlatformError(74, "The settings store could not be written");
  }
  if (onSaved) onSaved(section, key, value);
}

}  // namespace velmox::sim
