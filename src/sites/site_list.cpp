#include "sites/site_list.h"

namespace velmox {

void SiteList::ReplaceAll(std::vector<SiteEntry> entries) {
  entries_ = std::move(entries);
}

void SiteList::SetEntry(std::size_t index, const SiteEntry& entry) {
  entries_.at(index) = entry;
}

void SiteList::Append(const SiteEntry& entry) {
  entries_.push_back(entry);
}

void SiteList::SetBlocked(std::size_t index, bool blocked) {
  entries_.at(index).Blocked = blocked;
}

std::optional<std::size_t> SiteList::FindHost(std::string_view host) const {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].Host == host) return i;
  }
  return std::nullopt;
}

std::optional<bool> SiteList::Verdict(std::string_view host) const {
  for (const SiteEntry& entry : entries_) {
    if (entry.Host.empty()) continue;
    if (entry.Host == host) return entry.Blocked;
    if (host.size() == entry.Host.size() + 4 && host.substr(0, 4) == "www." &&
        host.substr(4) == entry.Host) {
      return entry.Blocked;
    }
  }
  return std::nullopt;
}

}  // namespace velmox
