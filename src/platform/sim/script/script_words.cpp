#include "platform/sim/script/script_words.h"

#include <charconv>
#include <string_view>

#include "platform/sim/sim_trace.h"

namespace velmox::sim {

void Malformed(const std::string& message) {
  throw ScriptError{ScriptError::Malformed, message};
}
void Failed(const std::string& message) {
  throw ScriptError{ScriptError::Failed, message};
}

void ExpectSame(const std::string& what, const std::string& expected, const std::string& seen) {
  if (expected != seen) Failed("expected " + what + " " + expected + ", saw " + seen);
}

long WholeNumber(const std::string& text, long low, long high) {
  // Hexadecimal with 0x, as error numbers are often written; decimal otherwise.
  const bool negative = text.starts_with("-");
  const std::string_view body = std::string_view(text).substr(negative ? 1 : 0);
  const bool hex = body.starts_with("0x");
  const std::string_view magnitude = body.substr(hex ? 2 : 0);
  const std::string digits = (negative ? "-" : "") + std::string(magnitude);
  long value = 0;
  const char* end = digits.data() + digits.size();
  const auto [stop, error] = std::from_chars(digits.data(), end, value, hex ? 16 : 10);
  const bool onlyDigits = !magnitude.empty() && magnitude.front() != '-' && stop == end;
  if (!onlyDigits || (error != std::errc() && error != std::errc::result_out_of_range))
    Malformed("not a whole number: " + Echo(text));
  if (error == std::errc::result_out_of_range || value < low || value > high) {
    Malformed("the number " + Echo(text) + " is out of range (" + std::to_string(low) + " to " +
              std::to_string(high) + ")");
  }
  return value;
}

int WholeInt(const std::string& text) {
  return static_cast<int>(
      WholeNumber(text, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

std::string Echo(const std::string& text) {
  constexpr std::size_t kShown = 80;
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (std::size_t i = 0; i < text.size() && i < kShown; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  if (text.size() > kShown) out += "... (" + std::to_string(text.size()) + " characters)";
  return out;
}

std::string Listed(const std::vector<std::string>& items, const std::string& none) {
  std::string out;
  for (const std::string& item : items)
    out += (out.empty() ? "" : " ") + item;
  return items.empty() ? none : out;
}

std::string QuotedList(const std::vector<std::string>& texts) {
  std::vector<std::string> quoted;
  for (const std::string& text : texts)
    quoted.push_back(Quoted(text));
  return Listed(quoted, "nothing");
}

std::vector<Word> SplitWords(const std::string& line) {
  std::vector<Word> words;
  std::size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
    } else if (c == '#') {
      break;
    } else if (c == '"') {
      Word word{"", true};
      ++i;
      for (;;) {
        if (i >= line.size()) Malformed("a text in double quotes is not closed");
        if (line[i] == '"') {
          if (i + 1 < line.size() && line[i + 1] == '"') {
            word.text += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        word.text += line[i++];
      }
      words.push_back(std::move(word));
    } else {
      Word word;
      while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' &&
             line[i] != '"') {
        word.text += line[i++];
      }
      words.push_back(std::move(word));
    }
  }
  return words;
}

}  // namespace velmox::sim
