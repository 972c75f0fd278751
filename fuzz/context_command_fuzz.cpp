// Addresses a page may navigate to, checked against a command channel with any folder and token:
// only the exact command page of this token is a command, and carrying it out marks the host of
// the page being viewed and saves exactly the list in memory.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "core/ascii_case.h"
#include "core/platform_error.h"
#include "core/site_host.h"
#include "fuzz_check.h"
#include "platform/sim/sim_browser.h"
#include "sites/context_command.h"
#include "sites/host_name.h"
#include "sites/site_file.h"

using namespace velmox;

namespace {

// The application folder is any text here, so its files stay in memory: the simulated desktop's
// would map some of those texts onto real paths of this machine.
struct FilesInMemory : Files {
  std::map<std::string, std::string> files;
  void Rename(const std::string& from, const std::string& to) override {
    files[to] = ReadText(from);
    files.erase(from);
  }
  std::int64_t FileLength(const std::string& path) override {
    return static_cast<std::int64_t>(ReadText(path).size());
  }
  std::string ReadText(const std::string& path) override {
    const auto found = files.find(path);
    if (found == files.end()) throw PlatformError(53, "File not found");
    return found->second;
  }
  void WriteText(const std::string& path, const std::string& text) override { files[path] = text; }
  void WriteTextAtomically(const std::string& path, const std::string& text) override {
    files[path] = text;
  }
  void ReportKept(const std::string&) override {}
};

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
  FilesInMemory files;
  sim::Trace trace(nullptr);
  sim::SimFiles nowhere("C:\\Program Files\\Velmox", "/nonexistent");
  sim::SimBrowsers browsers(trace, nowhere);
  sim::SimWindow window(browsers, "viewed", 1, trace);
  window.location = viewed;
  const bool cancelled = ContextCommand(state, files, folder, window, url);
  FUZZ_CHECK(cancelled == (kind != ContextCommandKind::None));

  const std::string listFile = SitesFilePath(folder);
  const std::string host = GetHostNameFromURL(viewed);
  if (!cancelled || host.empty() || !IsRecordableHost(host) || !SiteOfEntry(host)) {
    FUZZ_CHECK(files.files.count(listFile) == 0);
    return 0;
  }
  FUZZ_CHECK(state.Sites.Verdict(host) == (kind == ContextCommandKind::DisallowSite));
  FUZZ_CHECK(files.files.at(listFile) == WriteSitesText(state.Sites));
  return 0;
}
