// Script commands for Velmox's files: the settings store, the application folder's files and
// the file-open dialog.
#include <map>
#include <regex>

#include "core/product.h"
#include "platform/sim/script/script_runner.h"

namespace velmox::sim {
namespace {

bool IsAbsolute(const std::string& path) {
  return path.starts_with("/") || path.starts_with("\\") || (path.size() > 1 && path[1] == ':');
}

// A file of the application folder, named relative to it; a name that leads out of it (an
// absolute one here, a ".." when the desktop maps it) is refused.
std::string AppFile(ScriptContext& c, std::size_t index) {
  const std::string name = c.Text(index);
  if (IsAbsolute(name))
    Malformed("a file name is relative to the application folder: " + Quoted(name));
  return c.session.desktop.Folders().virtualAppFolder + "\\" + name;
}

void ExpectSetting(ScriptContext& c) {
  SettingsStore& store = c.session.desktop.settings;
  const std::string section = c.Bare(0), key = c.Bare(1);
  const std::string missing = "\x01missing";
  const std::string seen = store.GetSetting(kProductName, section, key, missing);
  const std::string shown = seen == missing ? "no value" : Quoted(seen);
  if (c.args.size() == 4 && !c.args[2].quoted && c.args[2].text == "matches") {
    if (seen == missing || !std::regex_match(seen, std::regex(c.Text(3)))) {
      Failed("expected setting " + section + " " + key + " matching " + Quoted(c.Text(3)) +
             ", saw " + shown);
    }
    return;
  }
  c.ExpectArgCount(3);
  if (!c.args[2].quoted && c.args[2].text == "missing") {
    ExpectSame("setting " + section + " " + key, "no value", shown);
  } else {
    ExpectSame("setting " + section + " " + key, Quoted(c.Text(2)), shown);
  }
}

void ExpectFile(ScriptContext& c) {
  c.ExpectArgCount(2);
  Files& files = c.session.desktop.files;
  const std::string path = AppFile(c, 0);
  std::optional<std::string> content;
  try {
    content = files.ReadText(path);
  } catch (const std::exception&) {
  }
  const std::string seen = content ? Quoted(*content) : "absent";
  if (!c.args[1].quoted && c.args[1].text == "absent") {
    if (content) Failed("expected file " + Quoted(c.Text(0)) + " absent, saw " + seen);
  } else if (!c.args[1].quoted && c.args[1].text == "present") {
    if (!content) Failed("expected file " + Quoted(c.Text(0)) + " present, saw it absent");
  } else {
    ExpectSame("file " + Quoted(c.Text(0)), Quoted(c.Text(1)), seen);
  }
}

const FileOpenRequest& OpenFileDialog(ScriptContext& c) {
  c.runner.OpenModal(Modal::File);
  const auto& open = c.session.desktop.fileDialogs.open;
  if (!open) Failed("no file dialog is open");
  return *open;
}

// The system's dialog: a name without a folder is in the folder shown, a name without an
// extension gets the default one, and with "file must exist" only an existing file is taken.
void ChooseFile(ScriptContext& c) {
  c.ExpectArgCount(1);
  const FileOpenRequest& request = OpenFileDialog(c);
  Modal& modal = c.runner.OpenModal(Modal::File);
  std::string path = c.Text(0);
  if (!IsAbsolute(path)) {
    const std::string& folder = request.initialFolder;
    path = folder + (folder.empty() || folder.ends_with("\\") ? "" : "\\") + path;
  }
  const auto separator = path.find_last_of("\\/");
  std::string title = separator == std::string::npos ? path : path.substr(separator + 1);
  if (title.find('.') == std::string::npos && !request.defaultExtension.empty()) {
    const std::string& ext = request.defaultExtension;
    const std::string dotted = ext.starts_with(".") ? ext : "." + ext;
    path += dotted;
    title += dotted;
  }
  if ((request.flags & FileDialogs::kFileMustExist) != 0) {
    bool exists = true;
    try {
      c.session.desktop.files.FileLength(path);
    } catch (const std::exception&) {
      exists = false;
    }
    if (!exists) {
      c.session.desktop.trace.Line("file dialog",
                                   Quoted(path) + " cannot be chosen: there is no such file");
      return;
    }
  }
  modal.chosen = {path, title};
  modal.answer = 1;
}

void ExpectFileDialog(ScriptContext& c) {
  if (c.args.empty() || c.args.size() % 2 != 0)
    Malformed("expected pairs of a setting and a value");
  const FileOpenRequest& request = OpenFileDialog(c);
  for (std::size_t i = 0; i < c.args.size(); i += 2) {
    const std::string& word = c.Bare(i);
    if (word == "flags") {
      ExpectSame("the file dialog's flags", std::to_string(WholeNumber(c.Bare(i + 1))),
                 std::to_string(request.flags));
      continue;
    }
    static const std::map<std::string, std::string FileOpenRequest::*> texts = {
        {"title", &FileOpenRequest::title},
        {"filter", &FileOpenRequest::filter},
        {"extension", &FileOpenRequest::defaultExtension},
        {"folder", &FileOpenRequest::initialFolder},
        {"name", &FileOpenRequest::fileName},
    };
    const auto field = texts.find(word);
    if (field == texts.end()) Malformed("the file dialog has no setting " + word);
    ExpectSame("the file dialog's " + word, Quoted(c.Text(i + 1)), Quoted(request.*field->second));
  }
}

}  // namespace

void AddFilesCommands(CommandTable& t) {
  t["setting"] = [](ScriptContext& c) {
    c.ExpectArgCount(3);
    c.session.desktop.settings.SaveSetting(kProductName, c.Bare(0), c.Bare(1), c.Text(2));
  };
  t["file"] = [](ScriptContext& c) {
    c.ExpectArgCount(2);
    c.session.desktop.files.WriteText(AppFile(c, 0), c.Text(1));
  };
  t["remove file"] = [](ScriptContext& c) {
    c.ExpectArgCount(1);
    std::filesystem::remove(c.session.desktop.files.RealPath(AppFile(c, 0)));
  };
  t["lock file"] = [](ScriptContext& c) {
    c.ExpectArgCount(1);
    c.session.desktop.files.Lock(AppFile(c, 0));
  };
  t["unlock file"] = [](ScriptContext& c) {
    c.ExpectArgCount(1);
    c.session.desktop.files.Unlock(AppFile(c, 0));
  };
  t["file dialog choose"] = ChooseFile;
  t["file dialog cancel"] = [](ScriptContext& c) {
    c.ExpectArgCount(0);
    OpenFileDialog(c);
    c.runner.OpenModal(Modal::File).answer = 2;
  };

  t["expect setting"] = ExpectSetting;
  t["expect file"] = ExpectFile;
  t["expect file dialog"] = ExpectFileDialog;
}

}  // namespace velmox::sim
