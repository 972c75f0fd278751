#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

#include "platform/sim/script/script_runner.h"
#include "support/temp_folder.h"

namespace velmox::test {

// A simulated desktop on fresh folders, driven by script text run as the file "t.vmx".
class ScriptTest : public ::testing::Test {
 protected:
  SimFolderSet folders;
  sim::SimSession session{folders.folders};
  std::string errors;  // what the last run reported

  int Run(const std::string& script) {
    std::istringstream in(script);
    sim::ScriptRunner runner(session, in, "t.vmx", folders.root.Path());
    std::ostringstream err;
    const int status = runner.Run(err);
    errors = err.str();
    return status;
  }
  bool Traced(const std::string& line) const {
    const auto& lines = session.desktop.trace.Lines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
  // Runs `prefix` then `line`: the run must end with `status`, reporting the line's number.
  void ExpectStatus(int status, const std::string& prefix, const std::string& line) {
    const auto number = std::count(prefix.begin(), prefix.end(), '\n') + 1;
    EXPECT_EQ(Run(prefix + line + "\n"), status) << line;
    EXPECT_TRUE(errors.starts_with("t.vmx:" + std::to_string(number) + ": ")) << line << errors;
  }
};

}  // namespace velmox::test
