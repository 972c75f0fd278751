#include "sites/site_verdict.h"

#include "core/site_host.h"

#include "sites/host_name.h"
#include "sites/site_file.h"

namespace velmox {
namespace {

void MarkSite(SiteList& sites, SitesFileState& onDisk, Files& files,
              const std::string& applicationFolder, BrowserWindow& IEObject, bool blocked) {
  const std::string host = GetHostNameFromURL(IEObject.LocationURL());
  // An empty host would only mark a free entry, one the file cannot hold would vanish at the
  // next save while looking listed until then, and one that names no site would never match.
  if (host.empty() || !IsRecordableHost(host) || !SiteOfEntry(host)) return;
  if (auto index = sites.FindHost(host)) {
    sites.SetBlocked(*index, blocked);
  } else {
    sites.Append(SiteEntry{host, blocked});
  }
  RecordBlockedHosts(files, applicationFolder, sites, onDisk);
}

}  // namespace

bool IsBlocked(const SiteList& sites, bool blockByDefault, std::string_view HostName) noexcept {
  return sites.Verdict(HostName).value_or(blockByDefault);
}

void AddSiteAsBlocked(SiteList& sites, SitesFileState& onDisk, Files& files,
                      const std::string& applicationFolder, BrowserWindow& IEObject) {
  MarkSite(sites, onDisk, files, applicationFolder, IEObject, true);
}

void AddSiteAsUnBlocked(SiteList& sites, SitesFileState& onDisk, Files& files,
                        const std::string& applicationFolder, BrowserWindow& IEObject) {
  MarkSite(sites, onDisk, files, applicationFolder, IEObject, false);
}

}  // namespace velmox
