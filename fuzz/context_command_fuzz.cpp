// Addresses a page may navigate to, checked against a command channel with any folder and token:
// only the exact command page of this token is a command, and carrying it out marks the host of
// the page being viewed and saves exactly the list in memory.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "core/ascii_case.h"
#include "sites/context_command.h"
#include "sites/host_name.h"
#include "sites/site_file.h"
#include "support/fake_browser.h"
#include "support/memory_files.h"

using namespace velmox;

namespace {

// The command page's name, straight from its description.
ContextCommandKind Expected(const std::string& folder, const std::string& token,
                            const std::string& url) {
  const std::string lower = ToLowerAscii(url);
  if (lower.size() < folder.size() || lower.substr(0, folder.size()) != ToLowerAscii(folder))
    return ContextCommandKind::None;
  auto endsWith = [&](const std::string& tail) {
    return lower.size() >= tail.size() &&
           lower.compare(lower.size() - tail.size(), tail.size(), tail) == 0;
  };
  if (token.size() != 10) return ContextCommandKind::None;
  if (endsWith("b" + token + ".html")) return ContextCommandKind::DisallowSite;
  if (endsWith("t" + token + ".html")) return ContextCommandKind::AllowSite;
  return ContextCommandKind::None;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string folder =
      input.ConsumeBool() ? "C:\\Program Files\\Velmox" : input.ConsumeRandomLengthString(40);
  const std::string token =
      input.ConsumeBool() ? "0123456789" : input.ConsumeRandomLengthString(12);
  const std::string viewed = input.ConsumeRandomLengthString(200);
  const std::string url = input.ConsumeRemainingBytesAsString();

  const ContextCommandKind kind = RecognizeContextCommand(folder, token, url);
  // A token of another length is never made; the page name then cannot be told reliably.
  if (token.size() == 10) FUZZ_CHECK(kind == Expected(folder, token, url));

  AppState state;
  state.URLPrefix = token;
  state.Sites.ReplaceAll({SiteEntry{}});
  test::MemoryFiles files;
  test::FakeWindow window;
  window.location = viewed;
  const bool cancelled = ContextCommand(state, files, folder, window, url);
  FUZZ_CHECK(cancelled == (kind != ContextCommandKind::None));

  const std::string listFile = SitesFilePath(folder);
  const std::string host = GetHostNameFromURL(viewed);
  if (!cancelled || host.empty() || !IsRecordableHost(host)) {
    FUZZ_CHECK(!files.Has(listFile));
    return 0;
  }
  FUZZ_CHECK(state.Sites.Verdict(host) == (kind == ContextCommandKind::DisallowSite));
  FUZZ_CHECK(files.Content(listFile) == WriteSitesText(state.Sites));
  return 0;
}
