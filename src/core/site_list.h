#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string_view>
#include <vector>

#include "core/site_entry.h"

namespace velmox {

// The user's list of allowed and disallowed sites: one ordered array, indexed from 0, that never
// shrinks during a run. An entry stands for the site its host text names (SiteOfEntry): the
// text itself is kept as written, so the file and the Websites page show what the user stored.
// Beside the array the list keeps an index from site to the lowest index standing for it, so that a
// lookup costs the same for ten entries as for a hundred thousand (the list may hold a whole
// imported list of sites, and it is asked on every new window). Every change goes through the
// members below, which keep the index in step.
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

  // The first entry that stands for the site `host` exactly, letter case included (for the
  // empty host: the first free entry).
  std::optional<std::size_t> FindHost(std::string_view host) const noexcept;
  // The mark of the first entry whose site, or "www." + its site, equals `host`; nullopt when no
  // entry matches. Free entries and entries that cannot be a host never match.
  std::optional<bool> Verdict(std::string_view host) const noexcept;

 private:
  // One cell of the open-addressed host table: the host's hash and its lowest index + 1
  // (0: an empty cell).
  struct Cell {
    std::uint32_t hash = 0;
    std::uint32_t firstPlusOne = 0;
  };
  static constexpr std::uint32_t kNoIndex = 0xFFFFFFFF;
  // The part of an entry's text that names its site, worked out once per change of the text.
  struct KeySpan {
    std::uint32_t offset = 0;
    std::uint32_t size = 0;
  };

  static KeySpan SpanOf(std::string_view host) noexcept;
  std::string_view KeyAt(std::uint32_t index) const noexcept;

  std::uint32_t FirstIndexOf(std::string_view host) const noexcept;
  std::size_t CellOf(std::string_view host, std::uint32_t hash) const noexcept;
  void Rebuild();
  void Grow();
  void AddToIndex(std::uint32_t index);
  void AddToIndex(std::uint32_t index, std::uint32_t hash);
  void RemoveFromIndex(std::uint32_t index);
  void EraseCell(std::size_t cell);

  std::vector<SiteEntry> entries_;
  // Entries that stand for the same site form a chain in ascending index order; the table
  // points at its head.
  std::vector<std::uint32_t> nextSame_;
  std::vector<KeySpan> keys_;
  std::vector<Cell> cells_;  // a power of two in size, at most half full
  std::size_t hostCount_ = 0;
  std::set<std::size_t> free_;  // indexes of the entries with an empty Host
};

}  // namespace velmox
