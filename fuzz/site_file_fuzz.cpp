// servers.lst as anyone may have edited it: reading never fails, and what is saved from it reads
// back as exactly the list that was saved, so a second save writes the same bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/site_host.h"
#include "fuzz_check.h"
#include "sites/site_file.h"

using namespace velmox;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  SiteList loaded;
  loaded.ReplaceAll(ReadSitesText(text));
  FUZZ_CHECK(loaded.Count() >= 1);

  const std::string saved = WriteSitesText(loaded);
  // A file is copied aside before a save exactly when the save would not write it back as it is.
  FUZZ_CHECK(IsSitesTextAsWritten(text) == (saved == text));
  FUZZ_CHECK(IsSitesTextAsWritten(saved));
  std::vector<SiteEntry> kept;
  for (const SiteEntry& entry : loaded.Entries()) {
    if (!entry.Host.empty() && IsRecordableHost(entry.Host)) kept.push_back(entry);
  }
  SiteList reread;
  reread.ReplaceAll(ReadSitesText(saved));
  std::vector<SiteEntry> rereadHosts;
  for (const SiteEntry& entry : reread.Entries()) {
    if (!entry.Host.empty()) rereadHosts.push_back(entry);
  }
  FUZZ_CHECK(rereadHosts == kept);
  FUZZ_CHECK(reread.Count() == (kept.empty() ? 1 : kept.size()));
  FUZZ_CHECK(WriteSitesText(reread) == saved);

  // Every entry that names a site is found, by that site, where the list holds it first; one
  // that names none is never what a lookup finds.
  for (std::size_t i = 0; i < loaded.Count(); ++i) {
    const std::string& host = loaded.At(i).Host;
    if (host.empty()) continue;
    const auto site = SiteOfEntry(host);
    if (!site) {
      FUZZ_CHECK(!loaded.FindHost(host) || SiteOfEntry(loaded.At(*loaded.FindHost(host)).Host));
      continue;
    }
    const auto first = loaded.FindHost(*site);
    FUZZ_CHECK(first && *first <= i && SiteOfEntry(loaded.At(*first).Host) == site);
  }
  return 0;
}
