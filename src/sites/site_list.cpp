#include "sites/site_list.h"

#include <algorithm>
#include <stdexcept>

namespace velmox {
namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);
constexpr std::string_view kWww = "www.";

}  // namespace

void SiteList::ReplaceAll(std::vector<SiteEntry> entries) {
  entries_ = std::move(entries);
  hosts_.clear();
  free_.clear();
  hosts_.reserve(entries_.size());
  for (std::size_t i = 0; i < entries_.size(); ++i)
    AddToIndex(i);
}

void SiteList::SetEntry(std::size_t index, const SiteEntry& entry) {
  if (index >= entries_.size()) throw std::out_of_range("SiteList::SetEntry");
  if (entries_[index].Host != entry.Host) {
    RemoveFromIndex(index);
    entries_[index].Host = entry.Host;
    AddToIndex(index);
  }
  entries_[index].Blocked = entry.Blocked;
}

void SiteList::Append(const SiteEntry& entry) {
  entries_.push_back(entry);
  AddToIndex(entries_.size() - 1);
}

void SiteList::SetBlocked(std::size_t index, bool blocked) {
  entries_.at(index).Blocked = blocked;
}

std::optional<std::size_t> SiteList::FindHost(std::string_view host) const {
  if (host.empty()) {
    if (free_.empty()) return std::nullopt;
    return *free_.begin();
  }
  const std::size_t index = FirstIndexOf(host);
  if (index == kNone) return std::nullopt;
  return index;
}

std::optional<bool> SiteList::Verdict(std::string_view host) const noexcept {
  std::size_t first = FirstIndexOf(host);
  if (host.size() > kWww.size() && host.starts_with(kWww)) {
    first = std::min(first, FirstIndexOf(host.substr(kWww.size())));
  }
  if (first == kNone) return std::nullopt;
  return entries_[first].Blocked;
}

std::size_t SiteList::FirstIndexOf(std::string_view host) const noexcept {
  const auto it = hosts_.find(host);
  return it == hosts_.end() ? kNone : it->second.first;
}

void SiteList::AddToIndex(std::size_t index) {
  const std::string& host = entries_[index].Host;
  if (host.empty()) {
    free_.insert(index);
    return;
  }
  auto [it, added] = hosts_.try_emplace(host, HostIndexes{index, {}});
  if (added) return;
  HostIndexes& indexes = it->second;
  if (index < indexes.first) {
    indexes.rest.insert(indexes.rest.begin(), indexes.first);
    indexes.first = index;
    return;
  }
  indexes.rest.insert(std::upper_bound(indexes.rest.begin(), indexes.rest.end(), index), index);
}

void SiteList::RemoveFromIndex(std::size_t index) {
  const std::string& host = entries_[index].Host;
  if (host.empty()) {
    free_.erase(index);
    return;
  }
  const auto it = hosts_.find(host);
  if (it == hosts_.end()) return;
  HostIndexes& indexes = it->second;
  if (indexes.first == index) {
    if (indexes.rest.empty()) {
      hosts_.erase(it);
      return;
    }
    indexes.first = indexes.rest.front();
    indexes.rest.erase(indexes.rest.begin());
    return;
  }
  const auto pos = std::lower_bound(indexes.rest.begin(), indexes.rest.end(), index);
  if (pos != indexes.rest.end() && *pos == index) indexes.rest.erase(pos);
}

}  // namespace velmox
