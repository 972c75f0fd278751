// The `velmox` program: Velmox on the simulated desktop, driven by a desktop script, with the
// simulated browser or with a real Chromium.
#include <CLI/CLI.hpp>

#include <cstdlib>
#include <fstream>
#include <iostream>

#include "platform/chromium/chromium_browser.h"
#include "platform/chromium/chromium_desktop.h"
#include "platform/chromium/script/chromium_commands.h"
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

struct ScriptSource {
  std::ifstream file;
  std::istream* in = &std::cin;
  std::string name = "stdin";
  std::filesystem::path dir = std::filesystem::current_path();
};

// Runs the script on the session with Chromium as the browser.
int RunOnChromium(velmox::sim::SimSession& session, ScriptSource& source,
                  const velmox::chromium::ChromiumOptions& options) {
  using namespace velmox;
  std::unique_ptr<chromium::ChromiumBrowsers> browser;
  try {
    browser = std::make_unique<chromium::ChromiumBrowsers>(session.desktop.trace,
                                                           session.desktop.files, options);
  } catch (const std::exception& e) {
    std::cerr << "velmox: Chromium could not be started: " << e.what() << '\n';
    return 2;
  }
  Desktop table = chromium::DesktopWith(session.desktop, *browser);
  session.table = &table;
  session.settleBrowser = [&] { browser->Settle(); };
  session.disconnectBrowser = [&] { browser->DisconnectAll(); };
  sim::CommandTable commands = sim::AllCommands();
  chromium::AddChromiumCommands(commands, *browser);
  if (options.launch.ownPopupBlocker) {
    // The browser as it comes, to be measured against: nothing of Velmox may run beside it.
    const sim::Command refused = [](sim::ScriptContext&) {
      sim::Malformed("Velmox does not run beside Chromium's own pop-up blocker");
    };
    commands["start"] = refused;
    commands["starter start"] = refused;
  }
  sim::ScriptRunner runner(session, *source.in, source.name, source.dir, std::move(commands));
  const int status = runner.Run(std::cerr);
  session.desktop.trace.SetOutput(nullptr);  // the process's end is no effect of Velmox's
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App cli{
      "Velmox on the simulated desktop. Reads a desktop script from FILE, or from "
      "standard input line by line."};
  std::string script;
  std::filesystem::path appDir = VELMOX_DEFAULT_APP_DIR;
  std::filesystem::path profile = DefaultProfile();
  std::string browserName = "sim";
  velmox::chromium::ChromiumOptions chromium;
  cli.add_option("--script", script, "the desktop script to run");
  cli.add_option("--app-dir", appDir, "the application folder");
  cli.add_option("--profile", profile, "the folder of the per-user settings store");
  cli.add_option("--browser", browserName,
                 "the browser: sim (the simulated one), chromium, or chromium-stock (Chromium "
                 "with its own pop-up blocker, where Velmox cannot be started)")
      ->check(CLI::IsMember({"sim", "chromium", "chromium-stock"}));
  cli.add_flag("--headed", chromium.launch.headed, "show Chromium's windows (needs a display)");
  cli.add_option("--chromium", chromium.launch.executable, "the Chromium program to start");
  long settleMs = chromium.settleLimit.count();
  cli.add_option("--settle-limit", settleMs,
                 "how long Chromium may take to be quiet after a line of the script, in ms")
      ->check(CLI::Range(1L, 600000L));
  CLI11_PARSE(cli, argc, argv);
  chromium.settleLimit = std::chrono::milliseconds(settleMs);

  std::error_code ec;
  if (!std::filesystem::is_directory(appDir, ec)) {
    std::cerr << "velmox: the application folder " << appDir << " is not a folder\n";
    return 2;
  }
  std::filesystem::create_directories(profile, ec);
  std::error_code ignored;
  if (!std::filesystem::is_directory(profile, ignored)) {
    std::cerr << "velmox: the profile " << profile << " is not a folder"
              << (ec ? ": " + ec.message() : "") << '\n';
    return 2;
  }
  if (const auto problem = velmox::sim::LockFileProblem(profile / "velmox.lock")) {
    std::cerr << "velmox: the profile " << profile << " cannot be used: " << *problem << '\n';
    return 2;
  }

  velmox::sim::SimFolders folders;
  folders.appDir = appDir;
  folders.profile = profile;
  velmox::sim::SimSession session(folders);
  session.desktop.trace.SetOutput(&std::cout);

  ScriptSource source;
  if (!script.empty()) {
    source.file.open(script);
    if (!source.file) {
      std::cerr << "velmox: cannot read the script " << script << '\n';
      return 2;
    }
    source.in = &source.file;
    source.name = script;
    source.dir = std::filesystem::absolute(script).parent_path();
  }
  if (browserName != "sim") {
    chromium.launch.userDataDir = profile;
    chromium.launch.ownPopupBlocker = browserName == "chromium-stock";
    return RunOnChromium(session, source, chromium);
  }
  velmox::sim::ScriptRunner runner(session, *source.in, source.name, source.dir);
  const int status = runner.Run(std::cerr);
  session.desktop.trace.SetOutput(nullptr);  // the process's end is no effect of Velmox's
  return status;
}
