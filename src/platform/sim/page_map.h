#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace velmox::sim {

// Which file shows the page at a web address. A script maps an address to a file, or an address
// ending in "/" to a folder, which then serves every address below it ("index.html" for the
// folder itself). A page that is not HTML carries the type it is shown as.
class PageMap {
 public:
  struct Page {
    std::filesystem::path file;
    std::string documentType;
  };

  void Map(const std::string& address, const std::filesystem::path& file,
           const std::string& documentType = "");
  // The exact mapping of the address, else the longest folder mapping that holds it.
  std::optional<Page> Find(const std::string& address) const;

 private:
  std::map<std::string, Page> pages_;
};

// The whole content of a page file, or nullopt when it cannot be read.
std::optional<std::string> ReadPageFile(const std::filesystem::path& path);

}  // namespace velmox::sim
