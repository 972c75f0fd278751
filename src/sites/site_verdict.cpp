#include "sites/site_verdict.h"

#include "sites/host_name.h"
#include "sites/site_file.h"

namespace velmox {
namespace {

void MarkSite(AppState& state, Files& files, const std::string& applicationFolder,
              BrowserWindow& IEObject, bool blocked) {
  const std::string host = GetHostNameFromURL(IEObject.LocationURL());
  // An empty host would only mark a free entry, and one the file cannot hold would vanish at
  // the next save while looking listed until then.
  if (host.empty() || !IsRecordableHost(host)) return;
  if (auto index = state.Sites.FindHost(host)) {
    state.Sites.SetBlocked(*index, blocked);
  } else {
    state.Sites.Append(SiteEntry{host, blocked});
  }
  RecordBlockedHosts(files, applicationFolder, state.Sites);
}

}  // namespace

bool IsBlocked(const AppState& state, std::string_view HostName) noexcept {
  return state.Sites.Verdict(HostName).value_or(state.OptionValues.BlockByDefault);
}

void AddSiteAsBlocked(AppState& state, Files& files, const std::string& applicationFolder,
                      BrowserWindow& IEObject) {
  MarkSite(state, files, applicationFolder, IEObject, true);
}

void AddSiteAsUnBlocked(AppState& state, Files& files, const std::string& applicationFolder,
                        BrowserWindow& IEObject) {
  MarkSite(state, files, applicationFolder, IEObject, false);
}

}  // namespace velmox
