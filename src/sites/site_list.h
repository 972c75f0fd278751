#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "sites/site_entry.h"

namespace velmox {

// The user's list of allowed and disallowed sites: one ordered array, indexed from 0, that never
// shrinks during a run. Beside the array it keeps an index from host name to the indexes that
// hold it, so that a lookup costs the same for ten entries as for a hundred thousand. Every
// change goes through the members below, which keep the index in step.
class SiteList {
 public:
  std::size_t Count() const { return entries_.size(); }
  const SiteEntry& At(std::size_t index) const { return entries_.at(index); }
  const std::vector<SiteEntry>& Entries() const { return entries_; }

  // Whole-list replacement (loading, the dialog's Apply and OK).
  void ReplaceAll(std::vector<SiteEntry> entries);
  // Puts one element back by index (the dialog's Cancel). Throws std::out_of_range for an index
  // past the end; the list does not grow this way.
  void SetEntry(std::size_t index, const SiteEntry& entry);
  void Append(const SiteEntry& entry);
  // Throws std::out_of_range for an index past the end.
  void SetBlocked(std::size_t index, bool blocked);

  // The first entry whose Host equals `host` exactly (for the empty host: the first free entry).
  std::optional<std::size_t> FindHost(std::string_view host) const;
  // The mark of the first entry whose Host, or "www." + Host, equals `host`; nullopt when no
  // entry matches. Free entries (empty Host) never match.
  std::optional<bool> Verdict(std::string_view host) const noexcept;

 private:
  // The indexes of one host name, in ascending order. A host is nearly always listed once, so
  // the rest stays empty and costs no allocation.
  struct HostIndexes {
    std::size_t first;
    std::vector<std::size_t> rest;
  };
  struct HostHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view host) const noexcept {
      return std::hash<std::string_view>{}(host);
    }
  };

  void AddToIndex(std::size_t index);
  void RemoveFromIndex(std::size_t index);
  std::size_t FirstIndexOf(std::string_view host) const noexcept;

  std::vector<SiteEntry> entries_;
  std::unordered_map<std::string, HostIndexes, HostHash, std::equal_to<>> hosts_;
  std::set<std::size_t> free_;  // indexes of the entries with an empty Host
};

}  // namespace velmox
