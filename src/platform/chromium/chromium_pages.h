#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "platform/sim/page_map.h"
#include "platform/sim/sim_files.h"

namespace velmox::chromium {

// True for an address whose loading goes through the browser's network layer, where Velmox
// holds it (web addresses and files); a blank or script address never does.
bool ReachesNetwork(const std::string& address);

// A response Velmox gives the browser in place of the network.
struct PageResponse {
  int status = 200;
  std::string contentType;
  std::string body;
};

// What Velmox's Chromium shows, and how its addresses meet Velmox's. Velmox sees its
// application folder as "C:\Program Files\Velmox" while Chromium loads the real folder's
// files, so addresses are translated at the boundary both ways. Web addresses never reach the
// network: a mapped address serves its file, any other an empty page, as in the simulated
// browser.
class ChromiumPages {
 public:
  explicit ChromiumPages(sim::SimFiles& files);

  // The page file for an address; an address ending in "/" mapped to a folder serves every
  // address below it ("index.html" for the folder itself). A page that is not HTML is served as
  // plain text.
  void Map(const std::string& address, const std::filesystem::path& file,
           const std::string& documentType = "");
  // What Velmox answers for a request, or nullopt when the browser fetches it itself (files
  // on disk).
  std::optional<PageResponse> Serve(const std::string& url, bool document) const;

  // The address Chromium is to load for an address written by the script or by Velmox: a
  // local path (also inside a "file:" address) becomes the real file's address.
  std::string ToBrowser(const std::string& address) const;
  // An address as BeforeNavigate2 reports it: a local file by its path as Velmox sees it.
  std::string Reported(const std::string& url) const;
  // An address as LocationURL shows it: a local file as "file:///C:/Program%20Files/...".
  std::string Shown(const std::string& url) const;
  // True when an address as BeforeNavigate2 reports it may be one of Velmox's command pages,
  // whatever its token: a page of the application folder (any letter case) whose name ends in
  // "b" or "t", ten characters and ".html" (any letter case).
  bool MayBeCommandPage(const std::string& reported) const;
  // The address of the application folder's real place as Chromium spells it, when that needs
  // no escape (letters, digits and "/._-" only); nullopt otherwise.
  std::optional<std::string> PlainFolderAddress() const;

 private:
  // The path Velmox knows for a real local path (the application folder's files by their
  // Windows name); other paths as they are.
  std::string VelmoxPath(const std::string& realPath) const;

  sim::SimFiles& files_;
  std::string realFolder_;  // the application folder's real place, absolute, without "/" at end
  sim::PageMap pages_;
};

}  // namespace velmox::chromium
