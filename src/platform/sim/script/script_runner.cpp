#include "platform/sim/script/script_runner.h"

#include <ostream>

#include "platform/sim/sim_process_end.h"
#include "settings/load_options.h"

namespace velmox::sim {

std::string ExpandPlaceholders(const std::string& text, SimSession& session) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '{') {
      out += text[i];
      continue;
    }
    const auto close = text.find('}', i);
    if (close == std::string::npos) {
      out += text.substr(i);
      break;
    }
    const std::string name = text.substr(i + 1, close - i - 1);
    if (name == "crlf") {
      out += "\r\n";
    } else if (name == "cr") {
      out += '\r';
    } else if (name == "lf") {
      out += '\n';
    } else if (name == "tab") {
      out += '\t';
    } else if (name == "folder") {
      out += session.desktop.Folders().virtualAppFolder;
    } else if (name == "token") {
      Application* run = session.LatestRun();
      out += run != nullptr ? run->State().URLPrefix
                            : ReadSetting(session.desktop.settings, kCommandTokenSetting, "");
    } else {
      out += '{';  // not a placeholder: the brace stands for itself
      continue;
    }
    i = close;
  }
  return out;
}

std::string ScriptContext::Text(std::size_t index) const {
  if (index >= args.size()) Malformed("a word is missing");
  return ExpandPlaceholders(args[index].text, session);
}

const std::string& ScriptContext::Bare(std::size_t index) const {
  if (index >= args.size()) Malformed("a word is missing");
  return args[index].text;
}

void ScriptContext::ExpectArgCount(std::size_t count) const {
  if (args.size() != count) {
    Malformed("expected " + std::to_string(count) + " word(s) after the command, found " +
              std::to_string(args.size()));
  }
}

CommandTable AllCommands() {
  CommandTable table;
  AddAppCommands(table);
  AddFilesCommands(table);
  AddBrowserCommands(table);
  AddDialogCommands(table);
  AddExpectationCommands(table);
  AddStarterCommands(table);
  return table;
}

ScriptRunner::ScriptRunner(SimSession& session, std::istream& in, std::string name,
                           std::filesystem::path scriptDir, CommandTable commands)
    : session_(session),
      in_(in),
      name_(std::move(name)),
      scriptDir_(std::move(scriptDir)),
      commands_(std::move(commands)) {
  session_.desktop.tray.answerMenu = [this](const PopupMenuModel&) {
    return RunModal(Modal::Menu);
  };
  session_.desktop.messageBoxes.answer = [this](const MessageBoxCall&) {
    return RunModal(Modal::Box);
  };
  session_.desktop.fileDialogs.answer = [this](const FileOpenRequest&) {
    FileOpenChoice chosen;
    return RunModal(Modal::File, &chosen) == 1 ? std::optional(chosen) : std::nullopt;
  };
}

int ScriptRunner::Run(std::ostream& err) {
  try {
    while (RunNextLine()) {
    }
    return 0;
  } catch (const ScriptError& e) {
    err << name_ << ":" << lineNumber_ << ": " << e.message << '\n';
    return static_cast<int>(e.kind);
  }
}

bool ScriptRunner::RunNextLine() {
  std::string line;
  if (!std::getline(in_, line)) return false;
  ++lineNumber_;
  Execute(line);
  return true;
}

void ScriptRunner::Execute(const std::string& line) {
  std::vector<Word> words = SplitWords(line);
  if (words.empty()) return;
  // The longest run of leading bare words that names a command.
  std::size_t length = 0;
  const Command* command = nullptr;
  std::string key;
  for (std::size_t n = 1; n <= words.size() && n <= 4 && !words[n - 1].quoted; ++n) {
    key += (n > 1 ? " " : "") + words[n - 1].text;
    if (auto found = commands_.find(key); found != commands_.end()) {
      command = &found->second;
      length = n;
    }
  }
  if (command == nullptr) Malformed("unknown command: " + Echo(line));
  ScriptContext context{session_,
                        *this,
                        {words.begin() + static_cast<std::ptrdiff_t>(length), words.end()},
                        scriptDir_};
  if (!key.starts_with("expect")) {
    std::string action;
    for (std::size_t i = 0; i < words.size(); ++i) {
      action += (i ? " " : "") + (words[i].quoted ? Quoted(words[i].text) : words[i].text);
    }
    session_.desktop.trace.Line(">", action);
    lastAction_ = {session_.desktop.shell.calls.size(), session_.desktop.writes.size()};
  }
  // A desktop call of the script's own that fails ends the script here, also inside a modal
  // window, where Velmox's handler would otherwise swallow it.
  try {
    (*command)(context);
  } catch (const std::exception& e) {
    Malformed(std::string("the desktop could not do this: ") + e.what());
  }
  if (!key.starts_with("expect")) dialogWatch_.AfterAction(session_);
}

namespace {

const char* ModalName(Modal::Kind kind) {
  switch (kind) {
    case Modal::Menu:
      return "tray menu";
    case Modal::Box:
      return "message box";
    case Modal::File:
      return "file dialog";
  }
  return "window";
}

}  // namespace

int ScriptRunner::RunModal(Modal::Kind kind, FileOpenChoice* chosen) {
  Modal modal{kind, std::nullopt, {}};
  modals_.push_back(&modal);
  struct Pop {
    std::vector<Modal*>& modals;
    ~Pop() { modals.pop_back(); }
  } pop{modals_};
  while (!modal.answer) {
    if (!RunNextLine()) {
      Failed(std::string("the script ended while ") + (kind == Modal::Box ? "a " : "the ") +
             ModalName(kind) + " was open");
    }
  }
  if (chosen != nullptr) *chosen = modal.chosen;
  return *modal.answer;
}

Modal& ScriptRunner::OpenModal(Modal::Kind kind) {
  if (modals_.empty() || modals_.back()->kind != kind) {
    Failed(std::string("no ") + ModalName(kind) + " is open");
  }
  return *modals_.back();
}

}  // namespace velmox::sim
