#include "ui/settings_dialog/boolean_text.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace velmox {

std::string BooleanText(bool value) {
  return value ? "True" : "False";
}

std::optional<bool> BooleanFromText(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (lower == "true") return true;
  if (lower == "false") return false;
  const auto first = lower.find_first_not_of(' ');
  if (first == std::string::npos) return std::nullopt;
  const char lead = lower[first];
  if (!std::isdigit(static_cast<unsigned char>(lead)) && lead != '-' && lead != '+' && lead != '.')
    return std::nullopt;
  char* end = nullptr;
  const double number = std::strtod(lower.c_str(), &end);
  while (end != nullptr && *end == ' ')
    ++end;
  if (end == lower.c_str() || end == nullptr || *end != '\0') return std::nullopt;
  return number != 0;
}

}  // namespace velmox
