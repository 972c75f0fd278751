#include "platform/sim/page_map.h"

#include <fstream>
#include <sstream>

#include "platform/sim/sim_address.h"

namespace velmox::sim {
namespace {

// The address without its fragment, as the map knows it.
std::string MappingKey(const std::string& address) {
  const std::string canonical = ResolveAddress(address, address);
  return canonical.substr(0, canonical.find('#'));
}

bool IsFolder(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::is_directory(path, ec);
}

}  // namespace

void PageMap::Map(const std::string& address, const std::filesystem::path& file,
                  const std::string& documentType) {
  pages_[MappingKey(address)] = {file, documentType};
}

std::optional<PageMap::Page> PageMap::Find(const std::string& address) const {
  const std::string key = MappingKey(address);
  if (auto exact = pages_.find(key); exact != pages_.end()) {
    if (!IsFolder(exact->second.file)) return exact->second;
    return Page{exact->second.file / "index.html", exact->second.documentType};
  }
  const std::string path = key.substr(0, key.find('?'));
  std::optional<Page> best;
  std::size_t bestLength = 0;
  for (const auto& [prefix, page] : pages_) {
    if (prefix.empty() || prefix.back() != '/' || !path.starts_with(prefix) ||
        prefix.size() < bestLength || !IsFolder(page.file)) {
      continue;
    }
    const std::string rest = path.substr(prefix.size());
    best = Page{page.file / (rest.empty() ? "index.html" : rest), ""};
    bestLength = prefix.size();
  }
  return best;
}

std::optional<std::string> ReadPageFile(const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace velmox::sim
