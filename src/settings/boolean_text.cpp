#include "settings/boolean_text.h"

#include "core/ascii_case.h"

namespace velmox {
namespace {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ')
    text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ')
    text.remove_suffix(1);
  return text;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// A decimal number: optional sign, digits with an optional fraction, optional exponent.
// Returns whether it is one, and through `nonZero` whether any mantissa digit is not 0.
bool ParseNumber(std::string_view text, bool& nonZero) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  nonZero = false;
  for (; i < text.size() && IsDigit(text[i]); ++i, ++digits)
    nonZero |= text[i] != '0';
  if (i < text.size() && text[i] == '.') {
    for (++i; i < text.size() && IsDigit(text[i]); ++i, ++digits)
      nonZero |= text[i] != '0';
  }
  if (digits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t exponentDigits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i)
      ++exponentDigits;
    if (exponentDigits == 0) return false;
  }
  return i == text.size();
}

}  // namespace

std::string BooleanText(bool value) {
  return value ? "True" : "False";
}

std::optional<bool> ParseBoolean(std::string_view text) {
  const std::string_view trimmed = Trimmed(text);
  if (EqualsIgnoreCase(trimmed, "true")) return true;
  if (EqualsIgnoreCase(trimmed, "false")) return false;
  bool nonZero = false;
  if (ParseNumber(trimmed, nonZero)) return nonZero;
  return std::nullopt;
}

}  // namespace velmox
