#include "platform/sim/script/script_words.h"

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

long WholeNumber(const std::string& text) {
  try {
    std::size_t used = 0;
    // Hexadecimal with 0x, as error numbers are often written; decimal otherwise.
    const bool hex = text.starts_with("0x") || text.starts_with("-0x");
    const long value = std::stol(text, &used, hex ? 16 : 10);
    if (used == text.size()) return value;
  } catch (const std::exception&) {
  }
  Malformed("not a whole number: " + text);
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
