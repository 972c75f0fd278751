#include "sites/site_file.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

#include "core/failure.h"
#include "core/file_exists.h"
#include "sites/byte_order_mark.h"

namespace velmox {
namespace {

constexpr std::string_view kTrueMark = "#TRUE#";
constexpr std::string_view kFalseMark = "#FALSE#";
constexpr std::string_view kSitesFileName = "servers.lst";

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

// Reads the first field, as the record reader of this format does: a quoted field runs to the
// next quote, a bare one to the next comma, blanks around it dropped. `rest` is left at what
// follows the field. False when the field cannot be read.
bool ReadHostField(std::string_view& rest, std::string& host) {
  rest = TrimBlanks(rest);
  if (!rest.empty() && rest.front() == '"') {
    const auto close = rest.find('"', 1);
    if (close == std::string_view::npos) return false;  // cut short inside the quotes
    host.assign(rest.substr(1, close - 1));
    rest = TrimBlanks(rest.substr(close + 1));
    return true;
  }
  const auto comma = rest.find(',');
  const std::string_view field = TrimBlanks(rest.substr(0, comma));
  // A bare host with a quote in it could never be written back; it is not taken.
  if (!IsRecordableHost(field)) return false;
  host.assign(field);
  rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma);
  return true;
}

// Why the file on disk, `now`, must be kept before the list replaces it; null when nothing of it
// would be lost. An empty or missing file holds nothing; one this run read or wrote and that is
// unchanged since is the list in memory, unless it held what a rewrite drops (lines that are no
// records, another encoding).
const char* WhyKeepACopy(const SitesFileState& onDisk, std::string_view now) {
  if (now.empty()) return nullptr;
  if (!onDisk.known) return "could not be read when Velmox started";
  if (now != onDisk.bytes) return "was changed since Velmox read it";
  if (!IsSitesTextAsWritten(now)) return "is not as Velmox writes it";
  return nullptr;
}

// servers.lst.bak, unless this run made that copy already: then a name no file has yet.
std::string FreshCopyPath(Files& files, const std::string& path, const SitesFileState& onDisk) {
  const auto made = [&](const std::string& name) {
    return std::find(onDisk.copies.begin(), onDisk.copies.end(), name) != onDisk.copies.end();
  };
  const std::string first = path + ".bak";
  if (!made(first)) return first;
  for (int n = 1; n < 1000; ++n) {
    std::string name = first + std::to_string(n);
    if (!made(name) && !FileExists(files, name)) return name;
  }
  throw std::runtime_error("no free name for a copy of " + path);
}

}  // namespace

std::string SitesFilePath(const std::string& applicationFolder) {
  return applicationFolder + "\\" + std::string(kSitesFileName);
}

bool IsRecordableHost(std::string_view host) noexcept {
  return host.find_first_of("\"\r\n") == std::string_view::npos;
}

SiteEntry ReadSiteRecord(std::string_view line) {
  SiteEntry entry;
  std::string_view rest = line;
  if (!ReadHostField(rest, entry.Host)) return entry;
  if (rest.empty() || rest.front() != ',') return entry;  // no mark
  rest.remove_prefix(1);
  // The mark is the second field; anything in further fields is not looked at.
  const std::string_view mark = TrimBlanks(rest.substr(0, rest.find(',')));
  entry.Blocked = mark == kTrueMark;  // "#FALSE#" and anything unreadable give false
  return entry;
}

std::vector<SiteEntry> ReadSitesText(std::string_view bytes) {
  const std::string decoded = TextBehindByteOrderMark(bytes);
  const std::string_view text = decoded;
  std::vector<SiteEntry> entries;
  entries.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
  std::size_t pos = 0;
  // Each line is one record; CR LF, a lone LF and a lone CR all end a line, and the end of the
  // file after a line end starts no further record.
  while (pos < text.size()) {
    std::size_t end = pos;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n')
      ++end;
    entries.push_back(ReadSiteRecord(text.substr(pos, end - pos)));
    pos = end;
    if (pos == text.size()) break;
    if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ++pos;
    ++pos;
  }
  if (entries.empty()) entries.emplace_back();
  return entries;
}

std::string WriteSitesText(const SiteList& sites) {
  std::string text;
  for (const SiteEntry& entry : sites.Entries()) {
    if (entry.Host.empty() || !IsRecordableHost(entry.Host)) continue;
    text += '"';
    text += entry.Host;
    text += "\",";
    text += entry.Blocked ? kTrueMark : kFalseMark;
    text += "\r\n";
  }
  return text;
}

bool IsSitesTextAsWritten(std::string_view bytes) {
  SiteList list;
  list.ReplaceAll(ReadSitesText(bytes));
  return WriteSitesText(list) == bytes;
}

void SetUpBlockedHosts(Files& files, const std::string& applicationFolder, SiteList& sites,
                       SitesFileState& onDisk) {
  const std::string path = SitesFilePath(applicationFolder);
  SkipOnFailure([&] {
    std::optional<std::string> text;
    SkipOnFailure([&] { text = files.ReadText(path); });
    // A file that is there but cannot be read (held open by another program) is not known: the
    // first save keeps it as a copy.
    const bool present = TrapOr(false, [&] { return files.FileLength(path) >= 0; });
    onDisk.known = text.has_value() || !present;
    onDisk.bytes = text.value_or(std::string());
    sites.ReplaceAll(ReadSitesText(onDisk.bytes));
  });
}

void RecordBlockedHosts(Files& files, const std::string& applicationFolder, const SiteList& sites,
                        SitesFileState& onDisk) {
  const std::string path = SitesFilePath(applicationFolder);
  SkipOnFailure([&] {
    std::optional<std::string> present;
    SkipOnFailure([&] { present = files.ReadText(path); });
    // A file that cannot be read cannot be kept either, so it is not replaced.
    if (!present && FileExists(files, path)) {
      files.ReportKept(std::string(kSitesFileName) +
                       " cannot be read; it is left as it is and the list is not saved");
      return;
    }
    const std::string now = present.value_or(std::string());
    if (const char* why = WhyKeepACopy(onDisk, now)) {
      const std::string copy = FreshCopyPath(files, path, onDisk);
      files.WriteTextAtomically(copy, now);
      onDisk.copies.push_back(copy);
      onDisk.known = true;  // what is on disk now is safe in the copy
      onDisk.bytes = now;
      files.ReportKept(std::string(kSitesFileName) + " " + why + "; it is kept as " +
                       copy.substr(applicationFolder.size() + 1) + " before the list is saved");
    }
    std::string text = WriteSitesText(sites);
    files.WriteTextAtomically(path, text);
    onDisk.known = true;
    onDisk.bytes = std::move(text);
  });
}

}  // namespace velmox
