// The `velmox` program: Velmox on the simulated desktop, driven by a desktop script.
#include <CLI/CLI.hpp>

#include <cstdlib>
#include <fstream>
#include <iostream>

#include "platform/sim/script/script_runner.h"

namespace {

std::filesystem::path DefaultProfile() {
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config) {
    return std::filesystem::path(config) / "velmox";
  }
  if (const char* home = std::getenv("HOME"); home && *home) {
    return std::filesystem::path(home) / ".config" / "velmox";
  }
  return ".velmox";
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App cli{
      "Velmox on the simulated desktop. Reads a desktop script from FILE, or from "
      "standard input line by line."};
  std::string script;
  std::filesystem::path appDir = VELMOX_DEFAULT_APP_DIR;
  std::filesystem::path profile = DefaultProfile();
  cli.add_option("--script", script, "the desktop script to run");
  cli.add_option("--app-dir", appDir, "the application folder");
  cli.add_option("--profile", profile, "the folder of the per-user settings store");
  CLI11_PARSE(cli, argc, argv);

  std::error_code ec;
  std::filesystem::create_directories(profile, ec);
  if (!std::filesystem::is_directory(appDir, ec) || !std::filesystem::is_directory(profile, ec)) {
    std::cerr << "velmox: the application folder " << appDir << " or the profile " << profile
              << " is not a folder\n";
    return 2;
  }

  velmox::sim::SimFolders folders;
  folders.appDir = appDir;
  folders.profile = profile;
  velmox::sim::SimSession session(folders);
  session.desktop.trace.SetOutput(&std::cout);

  std::ifstream file;
  std::istream* in = &std::cin;
  std::string name = "stdin";
  std::filesystem::path scriptDir = std::filesystem::current_path();
  if (!script.empty()) {
    file.open(script);
    if (!file) {
      std::cerr << "velmox: cannot read the script " << script << '\n';
      return 2;
    }
    in = &file;
    name = script;
    scriptDir = std::filesystem::absolute(script).parent_path();
  }
  velmox::sim::ScriptRunner runner(session, *in, name, scriptDir);
  const int status = runner.Run(std::cerr);
  session.desktop.trace.SetOutput(nullptr);  // the process's end is no effect of Velmox's
  return status;
}
