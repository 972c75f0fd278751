#include "engine/local_address.h"

#include "core/ascii_case.h"

namespace velmox {
namespace {

// "C:" followed by a separator or nothing.
bool StartsWithDrive(std::string_view text) {
  return text.size() >= 2 && IsAsciiLetter(text[0]) && text[1] == ':' &&
         (text.size() == 2 || text[2] == '\\' || text[2] == '/');
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string Unescaped(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
        HexValue(text[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string WithBackslashes(std::string text) {
  for (char& c : text)
    c = c == '/' ? '\\' : c;
  return text;
}

}  // namespace

std::string LocalAddressForm(std::string_view address) {
  if (StartsWithDrive(address) || address.starts_with("\\\\")) {
    return WithBackslashes(std::string(address));
  }
  if (!StartsWithIgnoreCase(address, "file:")) return std::string(address);
  std::string_view rest = address.substr(5);
  std::size_t slashes = 0;
  while (slashes < rest.size() && (rest[slashes] == '/' || rest[slashes] == '\\'))
    ++slashes;
  rest.remove_prefix(slashes);
  const std::string path = WithBackslashes(Unescaped(rest));
  // "file://server/share" and "file:////server/share" name a share; "file:///C:/" a drive.
  if ((slashes == 2 || slashes >= 4) && !StartsWithDrive(rest)) return "\\\\" + path;
  return path;
}

}  // namespace velmox
