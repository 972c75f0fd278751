#include "core/site_list.h"

#include <algorithm>
#include <functional>
#include <stdexcept>

#include "core/prefetch.h"
#include "core/site_host.h"

namespace velmox {
namespace {

constexpr std::string_view kWww = "www.";
constexpr std::size_t kMinCells = 16;
constexpr std::size_t kFetchAhead = 16;

std::uint32_t HashOf(std::string_view host) noexcept {
  const std::size_t full = std::hash<std::string_view>{}(host);
  return static_cast<std::uint32_t>(full ^ (full >> 32));
}

}  // namespace

// Where in an entry's text the site it is indexed under stands; empty for one that never matches.
SiteList::KeySpan SiteList::SpanOf(std::string_view host) noexcept {
  const std::string_view site = SiteOfEntry(host).value_or(std::string_view());
  if (site.empty()) return KeySpan{};
  return KeySpan{static_cast<std::uint32_t>(site.data() - host.data()),
                 static_cast<std::uint32_t>(site.size())};
}

std::string_view SiteList::KeyAt(std::uint32_t index) const noexcept {
  const KeySpan span = keys_[index];
  return std::string_view(entries_[index].Host).substr(span.offset, span.size);
}

void SiteList::ReplaceAll(std::vector<SiteEntry> entries) {
  entries_ = std::move(entries);
  Rebuild();
}

void SiteList::SetEntry(std::size_t index, const SiteEntry& entry) {
  if (index >= entries_.size()) throw std::out_of_range("SiteList::SetEntry");
  const auto at = static_cast<std::uint32_t>(index);
  if (entries_[index].Host != entry.Host) {
    RemoveFromIndex(at);
    entries_[index].Host = entry.Host;
    keys_[index] = SpanOf(entry.Host);
    AddToIndex(at);
  }
  entries_[index].Blocked = entry.Blocked;
}

void SiteList::Append(const SiteEntry& entry) {
  entries_.push_back(entry);
  nextSame_.push_back(kNoIndex);
  keys_.push_back(SpanOf(entry.Host));
  AddToIndex(static_cast<std::uint32_t>(entries_.size() - 1));
}

void SiteList::SetBlocked(std::size_t index, bool blocked) {
  entries_.at(index).Blocked = blocked;
}

std::optional<std::size_t> SiteList::FindHost(std::string_view host) const noexcept {
  if (host.empty()) {
    if (free_.empty()) return std::nullopt;
    return *free_.begin();
  }
  const std::uint32_t index = FirstIndexOf(host);
  if (index == kNoIndex) return std::nullopt;
  return index;
}

std::optional<bool> SiteList::Verdict(std::string_view host) const noexcept {
  std::uint32_t first = FirstIndexOf(host);
  if (host.size() > kWww.size() && host.starts_with(kWww)) {
    first = std::min(first, FirstIndexOf(host.substr(kWww.size())));
  }
  if (first == kNoIndex) return std::nullopt;
  return entries_[first].Blocked;
}

std::uint32_t SiteList::FirstIndexOf(std::string_view host) const noexcept {
  if (host.empty() || cells_.empty()) return kNoIndex;
  const Cell& cell = cells_[CellOf(host, HashOf(host))];
  return cell.firstPlusOne == 0 ? kNoIndex : cell.firstPlusOne - 1;
}

// The cell that holds `host`, or the empty cell where it would go (linear probing).
std::size_t SiteList::CellOf(std::string_view host, std::uint32_t hash) const noexcept {
  const std::size_t mask = cells_.size() - 1;
  for (std::size_t c = hash & mask;; c = (c + 1) & mask) {
    const Cell& cell = cells_[c];
    if (cell.firstPlusOne == 0) return c;
    if (cell.hash == hash && KeyAt(cell.firstPlusOne - 1) == host) return c;
  }
}

void SiteList::Rebuild() {
  std::size_t size = kMinCells;
  while (size < entries_.size() * 2)
    size *= 2;
  cells_.assign(size, Cell{});
  hostCount_ = 0;
  nextSame_.assign(entries_.size(), kNoIndex);
  free_.clear();
  keys_.resize(entries_.size());
  for (std::size_t i = 0; i < entries_.size(); ++i)
    keys_[i] = SpanOf(entries_[i].Host);
  // Hashing everything first lets each insertion fetch its cell a few entries ahead: a long
  // list is indexed at the speed of the memory rather than of its latency.
  std::vector<std::uint32_t> hashes(entries_.size());
  for (std::size_t i = 0; i < entries_.size(); ++i)
    hashes[i] = HashOf(KeyAt(static_cast<std::uint32_t>(i)));
  const std::size_t mask = cells_.size() - 1;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (i + kFetchAhead < hashes.size()) PrefetchForRead(&cells_[hashes[i + kFetchAhead] & mask]);
    AddToIndex(static_cast<std::uint32_t>(i), hashes[i]);
  }
}

void SiteList::Grow() {
  std::vector<Cell> old = std::move(cells_);
  cells_.assign(std::max(kMinCells, old.size() * 2), Cell{});
  const std::size_t mask = cells_.size() - 1;
  for (const Cell& cell : old) {
    if (cell.firstPlusOne == 0) continue;
    std::size_t c = cell.hash & mask;
    while (cells_[c].firstPlusOne != 0)
      c = (c + 1) & mask;
    cells_[c] = cell;
  }
}

void SiteList::AddToIndex(std::uint32_t index) {
  AddToIndex(index, HashOf(KeyAt(index)));
}

void SiteList::AddToIndex(std::uint32_t index, std::uint32_t hash) {
  nextSame_[index] = kNoIndex;
  if (entries_[index].Host.empty()) {
    free_.insert(index);
    return;
  }
  const std::string_view host = KeyAt(index);
  if (host.empty()) return;
  if ((hostCount_ + 1) * 2 > cells_.size()) Grow();
  Cell& cell = cells_[CellOf(host, hash)];
  if (cell.firstPlusOne == 0) {
    cell = Cell{hash, index + 1};
    ++hostCount_;
    return;
  }
  const std::uint32_t head = cell.firstPlusOne - 1;
  if (index < head) {
    nextSame_[index] = head;
    cell.firstPlusOne = index + 1;
    return;
  }
  std::uint32_t before = head;
  while (nextSame_[before] != kNoIndex && nextSame_[before] < index)
    before = nextSame_[before];
  nextSame_[index] = nextSame_[before];
  nextSame_[before] = index;
}

// Called while the entry still holds the host it is taken out under.
void SiteList::RemoveFromIndex(std::uint32_t index) {
  if (entries_[index].Host.empty()) {
    free_.erase(index);
    return;
  }
  const std::string_view host = KeyAt(index);
  if (host.empty()) return;
  const std::size_t c = CellOf(host, HashOf(host));
  Cell& cell = cells_[c];
  if (cell.firstPlusOne == 0) return;
  const std::uint32_t head = cell.firstPlusOne - 1;
  if (head == index) {
    if (nextSame_[index] != kNoIndex) {
      cell.firstPlusOne = nextSame_[index] + 1;
    } else {
      EraseCell(c);
      --hostCount_;
    }
    return;
  }
  std::uint32_t before = head;
  while (nextSame_[before] != kNoIndex && nextSame_[before] != index)
    before = nextSame_[before];
  if (nextSame_[before] == index) nextSame_[before] = nextSame_[index];
}

// Backward-shift deletion: later cells of the probe run move up so no lookup stops early.
void SiteList::EraseCell(std::size_t hole) {
  const std::size_t mask = cells_.size() - 1;
  for (std::size_t c = (hole + 1) & mask; cells_[c].firstPlusOne != 0; c = (c + 1) & mask) {
    const std::size_t home = cells_[c].hash & mask;
    const bool staysPut = hole <= c ? (hole < home && home <= c) : (hole < home || home <= c);
    if (staysPut) continue;
    cells_[hole] = cells_[c];
    hole = c;
  }
  cells_[hole] = Cell{};
}

}  // namespace velmox
