#include "platform/sim/sim_address.h"

#include <uriparser/Uri.h>

#include <cctype>
#include <vector>

namespace velmox::sim {
namespace {

// Owns a parsed address, and the text its parts point into, and frees it.
struct ParsedUri {
  std::string text;
  UriUriA uri{};
  bool parsed = false;
  explicit ParsedUri(std::string source) : text(std::move(source)) {
    const char* error = nullptr;
    parsed = uriParseSingleUriA(&uri, text.c_str(), &error) == URI_SUCCESS;
  }
  ParsedUri() = default;
  ~ParsedUri() {
    if (parsed) uriFreeUriMembersA(&uri);
  }
  ParsedUri(const ParsedUri&) = delete;
  ParsedUri& operator=(const ParsedUri&) = delete;
};

std::string Text(const UriUriA& uri) {
  int length = 0;
  if (uriToStringCharsRequiredA(&uri, &length) != URI_SUCCESS) return "";
  std::string out(static_cast<std::size_t>(length) + 1, '\0');
  if (uriToStringA(out.data(), &uri, length + 1, nullptr) != URI_SUCCESS) return "";
  out.resize(static_cast<std::size_t>(length));
  return out;
}

// Browsers escape the blanks and stray characters of an attribute before reading it.
std::string Escaped(const std::string& text) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if (c <= 0x20 || c >= 0x7f || c == '"' || c == '<' || c == '>' || c == '\\' || c == '^' ||
        c == '`' || c == '{' || c == '|' || c == '}') {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string Trimmed(const std::string& text) {
  std::size_t start = 0, end = text.size();
  while (start < end && std::isspace(static_cast<unsigned char>(text[start])))
    ++start;
  while (end > start && std::isspace(static_cast<unsigned char>(text[end - 1])))
    --end;
  return text.substr(start, end - start);
}

// "http://host" and "http://host?q" become "http://host/" and "http://host/?q".
std::string WithRootPath(std::string address) {
  const auto authority = address.find("://");
  if (authority == std::string::npos) return address;
  const auto end = address.find_first_of("/?#", authority + 3);
  if (end == std::string::npos) return address + "/";
  if (address[end] != '/') address.insert(end, "/");
  return address;
}

bool IsDrivePath(const std::string& text) {
  return text.size() >= 3 && std::isalpha(static_cast<unsigned char>(text[0])) && text[1] == ':' &&
         (text[2] == '\\' || text[2] == '/');
}

bool StartsWithFileScheme(const std::string& text) {
  if (text.size() < 5) return false;
  std::string scheme = text.substr(0, 5);
  for (char& c : scheme)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return scheme == "file:";
}

}  // namespace

std::string ResolveAddress(const std::string& base, const std::string& reference) {
  const std::string written = Trimmed(reference);
  ParsedUri baseUri(Escaped(base));
  ParsedUri relative(Escaped(written));
  if (!relative.parsed) return written;
  // The resolved address points into both texts, which outlive it here.
  ParsedUri resolved;
  if (baseUri.parsed) {
    resolved.parsed = uriAddBaseUriA(&resolved.uri, &relative.uri, &baseUri.uri) == URI_SUCCESS;
  }
  // Without a readable base only an absolute reference has a meaning of its own.
  if (!resolved.parsed) {
    if (relative.uri.scheme.first == nullptr) return written;
    resolved.parsed = uriAddBaseUriA(&resolved.uri, &relative.uri, &relative.uri) == URI_SUCCESS;
    if (!resolved.parsed) return written;
  }
  uriNormalizeSyntaxA(&resolved.uri);
  return WithRootPath(Text(resolved.uri));
}

std::optional<std::string> LocalPathOf(const std::string& address) {
  if (IsDrivePath(address)) {
    std::string path = address;
    for (char& c : path)
      c = c == '/' ? '\\' : c;
    return path;
  }
  if (!address.empty() && address.front() == '/') return address;
  if (!StartsWithFileScheme(address)) return std::nullopt;
  std::string rest = address.substr(5);
  for (char& c : rest)
    c = c == '\\' ? '/' : c;
  std::size_t slashes = 0;
  while (slashes < rest.size() && rest[slashes] == '/')
    ++slashes;
  rest = rest.substr(slashes);
  if (IsDrivePath(rest)) {
    // The written forms "file://C:\dir x\p.html" and "file:///C:/dir%20x/p.html" both name it.
    const std::string uri = "file:///" + Escaped(rest);
    std::vector<char> path(uri.size() + 1, '\0');
    if (uriUriStringToWindowsFilenameA(uri.c_str(), path.data()) != URI_SUCCESS) {
      return std::nullopt;
    }
    std::string out = path.data();
    for (char& c : out)
      c = c == '/' ? '\\' : c;
    return out;
  }
  const std::string uri = "file:///" + Escaped(rest);
  std::vector<char> path(uri.size() + 1, '\0');
  if (uriUriStringToUnixFilenameA(uri.c_str(), path.data()) != URI_SUCCESS) return std::nullopt;
  return std::string(path.data());
}

std::string FileAddressOf(const std::string& localPath) {
  std::vector<char> uri(8 + 3 * localPath.size() + 1, '\0');
  const int result = IsDrivePath(localPath)
                         ? uriWindowsFilenameToUriStringA(localPath.c_str(), uri.data())
                         : uriUnixFilenameToUriStringA(localPath.c_str(), uri.data());
  if (result != URI_SUCCESS) return localPath;
  return uri.data();
}

}  // namespace velmox::sim
