#include "platform/chromium/chromium_pages.h"

#include "core/ascii_case.h"
#include "core/platform_error.h"
#include "platform/sim/sim_address.h"

namespace velmox::chromium {
namespace {

std::string ContentTypeOf(const std::filesystem::path& file) {
  const std::string extension = ToLowerAscii(file.extension().string());
  if (extension == ".html" || extension == ".htm") return "text/html";
  if (extension == ".png") return "image/png";
  if (extension == ".gif") return "image/gif";
  if (extension == ".js") return "text/javascript";
  if (extension == ".css") return "text/css";
  return "text/plain";
}

bool IsWebAddress(const std::string& url) {
  return StartsWithIgnoreCase(url, "http:") || StartsWithIgnoreCase(url, "https:");
}

}  // namespace

bool ReachesNetwork(const std::string& address) {
  return IsWebAddress(address) || StartsWithIgnoreCase(address, "file:");
}

ChromiumPages::ChromiumPages(sim::SimFiles& files) : files_(files) {
  std::error_code ec;
  auto real = std::filesystem::weakly_canonical(std::filesystem::absolute(files.RealFolder()), ec);
  realFolder_ = (ec ? files.RealFolder() : real).string();
  while (realFolder_.size() > 1 && realFolder_.back() == '/')
    realFolder_.pop_back();
}

void ChromiumPages::Map(const std::string& address, const std::filesystem::path& file,
                        const std::string& documentType) {
  pages_.Map(address, file, documentType);
}

std::optional<PageResponse> ChromiumPages::Serve(const std::string& url, bool document) const {
  if (!IsWebAddress(url)) return std::nullopt;
  if (const auto mapping = pages_.Find(url)) {
    if (auto text = sim::ReadPageFile(mapping->file)) {
      const std::string type =
          mapping->documentType.empty() ? ContentTypeOf(mapping->file) : "text/plain";
      return PageResponse{200, type, std::move(*text)};
    }
  }
  if (document) return PageResponse{200, "text/html", "<html><body></body></html>"};
  return PageResponse{404, "text/plain", ""};
}

std::string ChromiumPages::ToBrowser(const std::string& address) const {
  const auto local = sim::LocalPathOf(address);
  if (!local) return address;
  if (local->front() == '/') return sim::FileAddressOf(*local);
  try {
    return sim::FileAddressOf(files_.RealPath(*local).string());
  } catch (const PlatformError&) {
    return address;  // a local path outside the application folder has no file here
  }
}

std::string ChromiumPages::VelmoxPath(const std::string& realPath) const {
  if (realPath == realFolder_) return files_.VirtualFolder();
  if (!realPath.starts_with(realFolder_ + "/")) return realPath;
  std::string rest = realPath.substr(realFolder_.size());
  for (char& c : rest) {
    if (c == '/') c = '\\';
  }
  return files_.VirtualFolder() + rest;
}

std::string ChromiumPages::Reported(const std::string& url) const {
  if (!StartsWithIgnoreCase(url, "file:")) return url;
  const auto local = sim::LocalPathOf(url);
  return local ? VelmoxPath(*local) : url;
}

bool ChromiumPages::MayBeCommandPage(const std::string& reported) const {
  constexpr std::size_t kNameLength = 16;  // letter, token, ".html"
  if (!StartsWithIgnoreCase(reported, files_.VirtualFolder())) return false;
  if (reported.size() < kNameLength) return false;
  const std::string name = ToLowerAscii(reported.substr(reported.size() - kNameLength));
  return (name[0] == 'b' || name[0] == 't') && name.ends_with(".html");
}

std::optional<std::string> ChromiumPages::PlainFolderAddress() const {
  for (char c : realFolder_) {
    if (!IsAsciiLetter(c) && !(c >= '0' && c <= '9') && c != '/' && c != '.' && c != '_' &&
        c != '-') {
      return std::nullopt;
    }
  }
  return "file://" + realFolder_;
}

std::string ChromiumPages::Shown(const std::string& url) const {
  if (!StartsWithIgnoreCase(url, "file:")) return url;
  const auto local = sim::LocalPathOf(url);
  return local ? sim::FileAddressOf(VelmoxPath(*local)) : url;
}

}  // namespace velmox::chromium
