// Lines of a desktop script as anyone may type them: a line splits into words or is refused as
// malformed, and the words written back (each in quotes) split into the same words.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "platform/sim/script/script_words.h"

using namespace velmox::sim;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  std::vector<Word> words;
  try {
    words = SplitWords(line);
  } catch (const ScriptError& e) {
    FUZZ_CHECK(e.kind == ScriptError::Malformed);
    return 0;
  }
  std::string written;
  for (const Word& word : words) {
    FUZZ_CHECK(word.quoted ||
               (!word.text.empty() && word.text.find_first_of(" \t\r\"") == std::string::npos &&
                word.text.front() != '#'));
    written += " \"";
    for (char c : word.text)
      written += c == '"' ? std::string("\"\"") : std::string(1, c);
    written += '"';
  }
  const std::vector<Word> again = SplitWords(written);
  FUZZ_CHECK(again.size() == words.size());
  for (std::size_t i = 0; i < words.size(); ++i)
    FUZZ_CHECK(again[i].quoted && again[i].text == words[i].text);
  return 0;
}
