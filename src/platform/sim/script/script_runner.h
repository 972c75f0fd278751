#pragma once

#include <filesystem>
#include <functional>
#include <istream>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/file_dialog.h"
#include "platform/sim/script/dialog_watch.h"
#include "platform/sim/script/script_words.h"
#include "platform/sim/script/sim_session.h"

namespace velmox::sim {

class ScriptRunner;

// What a command of the script sees: the session, the runner (for modal answers) and the words
// after the command's own.
struct ScriptContext {
  SimSession& session;
  ScriptRunner& runner;
  std::vector<Word> args;
  std::filesystem::path scriptDir;

  // The argument at `index` with its placeholders filled in; malformed when missing.
  std::string Text(std::size_t index) const;
  // The bare word at `index`; malformed when missing.
  const std::string& Bare(std::size_t index) const;
  void ExpectArgCount(std::size_t count) const;
  // True when the argument at `index` is the bare word `word`.
  bool IsBare(std::size_t index, const char* word) const {
    return index < args.size() && !args[index].quoted && args[index].text == word;
  }
};

// Runs a browser action as one event of the desktop; what the browser refuses (an element that
// is not there, a window it cannot open) fails the line.
template <class Action>
void ActOnBrowser(ScriptContext& c, Action&& action) {
  c.session.Deliver([&] {
    try {
      action();
    } catch (const std::invalid_argument& e) {
      Failed(e.what());
    }
  });
}

using Command = std::function<void(ScriptContext&)>;

// The commands of the script language, by their leading words ("tray right-click",
// "expect tray tip"). Each subsystem adds its own.
using CommandTable = std::map<std::string, Command>;

CommandTable AllCommands();
void AddAppCommands(CommandTable& table);
void AddFilesCommands(CommandTable& table);
void AddBrowserCommands(CommandTable& table);
void AddDialogCommands(CommandTable& table);
void AddExpectationCommands(CommandTable& table);
void AddStarterCommands(CommandTable& table);

// A modal window that waits for the script's answer: the tray menu, a message box or the
// file-open dialog (answered 1 with `chosen`, or 2 for cancel).
struct Modal {
  enum Kind { Menu, Box, File };
  Kind kind;
  std::optional<int> answer;
  FileOpenChoice chosen;
};

// Where the desktop's records stood when the latest action line began, so that an expectation
// can look at what that action did.
struct ActionMarks {
  std::size_t shellCalls = 0;
  std::size_t writes = 0;
};

// Runs a desktop script line by line. Every line is one action or one expectation; a modal
// window opened by an action runs the following lines inside it until one answers it, as a
// nested message loop would.
class ScriptRunner {
 public:
  // `commands` is the language: by default every command of the simulated desktop.
  ScriptRunner(SimSession& session, std::istream& in, std::string name,
               std::filesystem::path scriptDir, CommandTable commands = AllCommands());

  // 0 when every expectation held; 1 at the first failed one; 2 for a line that makes no sense.
  int Run(std::ostream& err);

  // Runs lines until `modal` is answered; fails when the script ends first.
  int RunModal(Modal::Kind kind, FileOpenChoice* chosen = nullptr);
  // The innermost open modal of that kind; fails when there is none.
  Modal& OpenModal(Modal::Kind kind);
  const ActionMarks& LastAction() const { return lastAction_; }

 private:
  bool RunNextLine();
  void Execute(const std::string& line);

  SimSession& session_;
  std::istream& in_;
  std::string name_;
  std::filesystem::path scriptDir_;
  CommandTable commands_;
  std::vector<Modal*> modals_;
  ActionMarks lastAction_;
  DialogWatch dialogWatch_;
  int lineNumber_ = 0;
};

// Fills in {crlf}, {cr}, {lf}, {tab}, {folder} (the application folder) and {token} (the
// command token of the latest run, else the stored one).
std::string ExpandPlaceholders(const std::string& text, SimSession& session);

}  // namespace velmox::sim
