// Stored Boolean texts: "True" and "False" in any case and numbers are Booleans, and a number
// is true exactly when it is not zero; a Boolean written reads back as itself.
#include <cerrno>
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

  // A plain decimal against the C library's reading. A long enough fraction underflows to zero
  // there; such a number is still not zero, so it must read as true.
  if (text.empty() || text.find_first_not_of("0123456789.+- ") != std::string::npos) return 0;
  const auto first = text.find_first_not_of(' ');
  const auto last = text.find_last_not_of(' ');
  if (first == std::string::npos) {
    FUZZ_CHECK(!value);
    return 0;
  }
  const std::string number = text.substr(first, last - first + 1);
  char* end = nullptr;
  errno = 0;
  const double parsed = std::strtod(number.c_str(), &end);
  const bool underflowed = errno == ERANGE && parsed == 0;
  const bool whole = end == number.c_str() + number.size() && number.find('.') == number.rfind('.');
  if (!whole) return 0;
  const bool notZero = underflowed || parsed != 0;
  FUZZ_CHECK(value && *value == notZero);
  return 0;
}
