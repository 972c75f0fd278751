#include "platform/chromium/chromium_pages.h"

#include <fstream>
#include <sstream>

#include "core/ascii_case.h"
#include "core/platform_error.h"
#include "platform/sim/sim_address.h"

namespace velmox::chromium {
namespace {

std::string WithoutFragment(const std::string& url) {
  return url.substr(0, url.find('#'));
}

std::string ContentTypeOf(const std::filesystem::path& file) {
  const std::string extension = ToLowerAscii(file.extension().string());
  if (extension == ".html" || extension == ".htm") return "text/html";
  if (extension == ".png") return "image/png";
  if (extension == ".gif") return "image/gif";
  if (extension == ".js") return "text/javascript";
  if (extension == ".css") return "text/css";
  return "text/plain";
}

std::optional<std::string> ReadFile(const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
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
  pages_[WithoutFragment(sim::ResolveAddress(address, address))] = {file, documentType};
}

std::optional<ChromiumPages::Mapping> ChromiumPages::MappingFor(const std::string& url) const {
  const std::string key = WithoutFragment(url);
  if (auto exact = pages_.find(key); exact != pages_.end()) {
    std::error_code ec;
    if (!std::filesystem::is_directory(exact->second.file, ec)) return exact->second;
    return Mapping{exact->second.file / "index.html", exact->second.documentType};
  }
  // The longest folder mapping that holds the address.
  const std::string path = key.substr(0, key.find('?'));
  std::optional<Mapping> best;
  std::size_t bestLength = 0;
  for (const auto& [prefix, mapping] : pages_) {
    std::error_code ec;
    if (prefix.empty() || prefix.back() != '/' || !path.starts_with(prefix) ||
        prefix.size() < bestLength || !std::filesystem::is_directory(mapping.file, ec)) {
      continue;
    }
    const std::string rest = path.substr(prefix.size());
    best = Mapping{mapping.file / (rest.empty() ? "index.html" : rest), ""};
    bestLength = prefix.size();
  }
  return best;
}

std::optional<PageResponse> ChromiumPages::Serve(const std::string& url, bool document) const {
  if (!IsWebAddress(url)) return std::nullopt;
  if (const auto mapping = MappingFor(url)) {
    if (auto text = ReadFile(mapping->file)) {
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

std::string ChromiumPages::Shown(const std::string& url) const {
  if (!StartsWithIgnoreCase(url, "file:")) return url;
  const auto local = sim::LocalPathOf(url);
  return local ? sim::FileAddressOf(VelmoxPath(*local)) : url;
}

}  // namespace velmox::chromium
