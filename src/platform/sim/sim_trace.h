#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace velmox::sim {

// Every observable effect on the simulated desktop leaves one line here, stamped with the
// virtual time. The lines are printed as they come and kept for expectations.
class Trace {
 public:
  explicit Trace(std::function<std::int64_t()> nowMs) : nowMs_(std::move(nowMs)) {}

  void SetOutput(std::ostream* out) { out_ = out; }
  void Line(const std::string& source, const std::string& what);
  const std::vector<std::string>& Lines() const { return lines_; }
  // What follows `mark` in each kept line that holds it, in order.
  std::vector<std::string> After(std::string_view mark) const;
  // Drops the lines kept so far: a long run keeps only what it still looks at.
  void ForgetLines() { lines_.clear(); }

 private:
  std::function<std::int64_t()> nowMs_;
  std::ostream* out_ = nullptr;
  std::vector<std::string> lines_;
};

// A text in double quotes, as the trace and the script write texts.
std::string Quoted(const std::string& text);

}  // namespace velmox::sim
