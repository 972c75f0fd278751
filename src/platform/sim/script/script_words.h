#pragma once

#include <limits>
#include <string>
#include <vector>

namespace velmox::sim {

// One word of a script line: bare, or a text in double quotes ("" stands for one quote).
struct Word {
  std::string text;
  bool quoted = false;
};

// Splits a line into words; a "#" outside quotes starts a comment. Throws ScriptError
// (malformed) for a quote that is not closed.
std::vector<Word> SplitWords(const std::string& line);

// What went wrong with a script line: a line that makes no sense (exit status 2), or an
// expectation that did not hold (exit status 1).
struct ScriptError {
  enum Kind { Malformed = 2, Failed = 1 };
  Kind kind;
  std::string message;
};

[[noreturn]] void Malformed(const std::string& message);
[[noreturn]] void Failed(const std::string& message);
// Fails unless `seen` equals `expected`, saying both.
void ExpectSame(const std::string& what, const std::string& expected, const std::string& seen);
// A whole number (decimal, or hexadecimal after 0x) from `low` to `high`, or malformed: a number
// out of range is never cut down to one that fits.
long WholeNumber(const std::string& text, long low = std::numeric_limits<long>::min(),
                 long high = std::numeric_limits<long>::max());
// The most windows one line may open at once.
inline constexpr long kMostWindowsAtOnce = 1000;
// A whole number that fits an int, the size of most of the desktop's own numbers.
int WholeInt(const std::string& text);
// A script's own text as an error message shows it: cut after 80 characters, and every byte that
// is not printable ASCII written as \xNN, so that a long or binary line stays one short line.
std::string Echo(const std::string& text);
// The items joined by blanks, or `none` when there are none.
std::string Listed(const std::vector<std::string>& items, const std::string& none = "none");
// Each text in double quotes, joined by blanks, or "nothing".
std::string QuotedList(const std::vector<std::string>& texts);

}  // namespace velmox::sim
