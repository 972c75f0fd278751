#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "sites/site_entry.h"

namespace velmox {

// The user's list of allowed and disallowed sites: one ordered array, indexed from 0, that never
// shrinks during a run. (First version: a plain array; the lookup index comes with the site list
// work.)
class SiteList {
 public:
  std::size_t Count() const { return entries_.size(); }
  const SiteEntry& At(std::size_t index) const { return entries_.at(index); }
  const std::vector<SiteEntry>& Entries() const { return entries_; }

  // Whole-list replacement (loading, the dialog's Apply and OK).
  void ReplaceAll(std::vector<SiteEntry> entries);
  // Puts one element back by index (the dialog's Cancel).
  void SetEntry(std::size_t index, const SiteEntry& entry);
  void Append(const SiteEntry& entry);
  void SetBlocked(std::size_t index, bool blocked);

  // The first entry whose Host equals `host` exactly.
  std::optional<std::size_t> FindHost(std::string_view host) const;
  // The mark of the first entry whose Host, or "www." + Host, equals `host`; nullopt when no
  // entry matches. Free entries (empty Host) never match.
  std::optional<bool> Verdict(std::string_view host) const;

 private:
  std::vector<SiteEntry> entries_;
};

}  // namespace velmox
