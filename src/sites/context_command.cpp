#include "sites/context_command.h"

#include <algorithm>

#include "core/ascii_case.h"
#include "sites/site_verdict.h"

namespace velmox {
namespace {

// lower(pageName) == letter + token + ".html", the token taken as stored.
bool IsCommandPage(std::string_view pageName, char letter, std::string_view token) noexcept {
  constexpr std::string_view kExtension = ".html";
  if (pageName.size() != 1 + token.size() + kExtension.size()) return false;
  if (AsciiLower(pageName[0]) != letter) return false;
  for (std::size_t i = 0; i < token.size(); ++i) {
    if (AsciiLower(pageName[1 + i]) != token[i]) return false;
  }
  const std::string_view extension = pageName.substr(1 + token.size());
  for (std::size_t i = 0; i < kExtension.size(); ++i) {
    if (AsciiLower(extension[i]) != kExtension[i]) return false;
  }
  return true;
}

}  // namespace

ContextCommandKind RecognizeContextCommand(std::string_view applicationFolder,
                                           std::string_view token, std::string_view URL) noexcept {
  if (!StartsWithIgnoreCase(URL, applicationFolder)) return ContextCommandKind::None;
  const std::string_view pageName = URL.substr(URL.size() - std::min<std::size_t>(16, URL.size()));
  if (IsCommandPage(pageName, 'b', token)) return ContextCommandKind::DisallowSite;
  if (IsCommandPage(pageName, 't', token)) return ContextCommandKind::AllowSite;
  return ContextCommandKind::None;
}

bool ContextCommand(AppState& state, Files& files, const std::string& applicationFolder,
                    BrowserWindow& IEObject, std::string_view URL) {
  switch (RecognizeContextCommand(applicationFolder, state.URLPrefix, URL)) {
    case ContextCommandKind::None:
      return false;
    case ContextCommandKind::DisallowSite:
      AddSiteAsBlocked(state.Sites, state.SitesFile, files, applicationFolder, IEObject);
      return true;
    case ContextCommandKind::AllowSite:
      AddSiteAsUnBlocked(state.Sites, state.SitesFile, files, applicationFolder, IEObject);
      return true;
  }
  return false;
}

}  // namespace velmox
