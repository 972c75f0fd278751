#include "sites/site_file.h"

#include "app/failure.h"

namespace velmox {

std::string SitesFilePath(const std::string& applicationFolder) {
  return applicationFolder + "\\servers.lst";
}

void SetUpBlockedHosts(Files& files, const std::string& applicationFolder, SiteList& sites) {
  std::string text;
  SkipOnFailure([&] { text = files.ReadText(SitesFilePath(applicationFolder)); });
  std::vector<SiteEntry> entries;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    pos = end + 1;
    SiteEntry entry;
    if (line.size() >= 2 && line.front() == '"') {
      const auto close = line.find('"', 1);
      if (close != std::string::npos) {
        entry.Host = line.substr(1, close - 1);
        entry.Blocked = line.substr(close + 1) == ",#TRUE#";
      }
    }
    entries.push_back(entry);
  }
  if (entries.empty()) entries.push_back(SiteEntry{});
  sites.ReplaceAll(std::move(entries));
}

void RecordBlockedHosts(Files& files, const std::string& applicationFolder, const SiteList& sites) {
  std::string text;
  for (const SiteEntry& entry : sites.Entries()) {
    if (entry.Host.empty()) continue;
    text += "\"" + entry.Host + "\"," + (entry.Blocked ? "#TRUE#" : "#FALSE#") + "\r\n";
  }
  SkipOnFailure([&] { files.ReplaceText(SitesFilePath(applicationFolder), text); });
}

}  // namespace velmox
