// Stored Boolean texts: "True" and "False" in any case and numbers are Booleans, and a number
// is true exactly when it is not zero; a Boolean written reads back as itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_check.h"
#include "settings/boolean_text.h"

using velmox::BooleanText;
using velmox::ParseBoolean;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const auto value = ParseBoolean(text);
  if (value) FUZZ_CHECK(ParseBoolean(BooleanText(*value)) == *value);

  // A plain decimal (no exponent, so no underflow to zero) against the C library's reading.
  if (text.empty() || text.find_first_not_of("0123456789.+- ") != std::string::npos) return 0;
  const auto first = text.find_first_not_of(' ');
  const auto last = text.find_last_not_of(' ');
  if (first == std::string::npos) {
    FUZZ_CHECK(!value);
    return 0;
  }
  const std::string number = text.substr(first, last - first + 1);
  char* end = nullptr;
  const double parsed = std::strtod(number.c_str(), &end);
  const bool whole = end == number.c_str() + number.size() && number.find('.') == number.rfind('.');
  if (whole) FUZZ_CHECK(value && *value == (parsed != 0));
  return 0;
}
