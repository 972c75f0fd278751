#include "platform/sim/sim_trace.h"

#include <cstdio>

namespace velmox::sim {

void Trace::Line(const std::string& source, const std::string& what) {
  const std::int64_t ms = nowMs_ ? nowMs_() : 0;
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "[%6lld.%03lld] ", static_cast<long long>(ms / 1000),
                static_cast<long long>(ms % 1000));
  std::string line = stamp + source + (source == ">" ? " " : ": ") + what;
  if (out_ != nullptr) *out_ << line << '\n' << std::flush;
  lines_.push_back(std::move(line));
}

std::vector<std::string> Trace::After(std::string_view mark) const {
  std::vector<std::string> found;
  for (const std::string& line : lines_) {
    const auto at = line.find(mark);
    if (at != std::string::npos) found.push_back(line.substr(at + mark.size()));
  }
  return found;
}

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') {
      out += "\"\"";
    } else if (c == '\r') {
      out += "{cr}";
    } else if (c == '\n') {
      out += "{lf}";
    } else {
      out += c;
    }
  }
  return out + "\"";
}

}  // namespace velmox::sim
