// Script commands for starting Velmox, time, the tray, its menu, message boxes, the settings
// store, the application folder's files and sounds.
#include <regex>

#include "platform/sim/script/script_runner.h"
#include "settings/load_options.h"

namespace velmox::sim {
namespace {

std::string Joined(const std::vector<std::string>& texts) {
  std::string out;
  for (std::size_t i = 0; i < texts.size(); ++i)
    out += (i ? " " : "") + Quoted(texts[i]);
  return texts.empty() ? "nothing" : out;
}

std::string AppFile(ScriptContext& c, std::size_t index) {
  return c.session.desktop.Folders().virtualAppFolder + "\\" + c.Text(index);
}

void ClickTray(ScriptContext& c, std::size_t argCount,
               std::initializer_list<std::uint32_t> messages) {
  c.ExpectArgCount(argCount);
  SimDesktop& d = c.session.desktop;
  if (!d.tray.Shown()) Failed("there is no Velmox icon in the tray to click");
  Application* app = c.session.App();
  if (app == nullptr) {
    // The icon of a process that has gone vanishes when the mouse reaches it.
    d.tray.Shell_NotifyIconA(NotifyIconMessage::Delete, d.tray.LastRecord());
    return;
  }
  for (std::uint32_t message : messages) {
    c.session.Deliver([&] { app->TrayCallback(message); });
    if ((app = c.session.App()) == nullptr) break;
  }
}

void AnswerBox(ScriptContext& c) {
  c.ExpectArgCount(1);
  static const std::map<std::string, int> buttons = {
      {"OK", 1}, {"Cancel", 2}, {"Yes", 6}, {"No", 7}};
  const auto button = buttons.find(c.Bare(0));
  if (button == buttons.end()) Malformed("no such button: " + c.Bare(0));
  c.runner.OpenModal(Modal::Box).answer = button->second;
}

void ChooseMenuItem(ScriptContext& c) {
  c.ExpectArgCount(1);
  Modal& modal = c.runner.OpenModal(Modal::Menu);
  const auto& menu = c.session.desktop.tray.OpenMenu();
  const std::string caption = c.Text(0);
  for (std::size_t i = 0; menu && i < menu->items.size(); ++i) {
    if (menu->items[i] == caption && caption != "-") {
      modal.answer = static_cast<int>(i);
      return;
    }
  }
  Failed("the tray menu has no item " + Quoted(caption));
}

const PopupMenuModel& ShownMenu(ScriptContext& c) {
  const auto& tray = c.session.desktop.tray;
  if (tray.OpenMenu()) return *tray.OpenMenu();
  if (tray.LastMenu()) return *tray.LastMenu();
  Failed("no tray menu has been shown");
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

}  // namespace

void AddAppCommands(CommandTable& t) {
  t["start"] = [](ScriptContext& c) {
    c.ExpectArgCount(0);
    c.session.Start();
  };
  t["wait"] = [](ScriptContext& c) {
    c.ExpectArgCount(1);
    const long ms = WholeNumber(c.Bare(0));
    if (ms < 0) Malformed("cannot wait a negative time");
    c.session.Deliver([&] { c.session.desktop.clock.Advance(ms); });
  };
  t["set time"] = [](ScriptContext& c) {
    c.ExpectArgCount(1);
    int h = 0, m = 0;
    double s = 0;
    if (std::sscanf(c.Bare(0).c_str(), "%d:%d:%lf", &h, &m, &s) != 3 || h < 0 || h > 23 || m < 0 ||
        m > 59 || s < 0 || s >= 60) {
      Malformed("not a time of day (HH:MM:SS): " + c.Bare(0));
    }
    c.session.desktop.clock.SetTimeOfDay(h * 3600.0 + m * 60.0 + s);
  };
  t["tray click"] = [](ScriptContext& c) { ClickTray(c, 0, {513, 514}); };
  t["tray double-click"] = [](ScriptContext& c) { ClickTray(c, 0, {513, 514, 515, 514}); };
  t["tray right-click"] = [](ScriptContext& c) { ClickTray(c, 0, {516, 517}); };
  t["tray message"] = [](ScriptContext& c) {
    const long message = WholeNumber(c.Bare(0));
    ClickTray(c, 1, {static_cast<std::uint32_t>(message)});
  };
  t["menu choose"] = ChooseMenuItem;
  t["menu dismiss"] = [](ScriptContext& c) {
    c.ExpectArgCount(0);
    c.runner.OpenModal(Modal::Menu).answer = -1;
  };
  t["answer"] = AnswerBox;
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

  t["expect running"] = [](ScriptContext& c) {
    c.ExpectArgCount(0);
    if (!c.session.Running()) Failed("expected Velmox running, saw it ended");
  };
  t["expect ended"] = [](ScriptContext& c) {
    c.ExpectArgCount(0);
    if (c.session.Running()) Failed("expected Velmox ended, saw it running");
  };
  t["expect tray shown"] = [](ScriptContext& c) {
    c.ExpectArgCount(0);
    if (!c.session.desktop.tray.Shown()) Failed("expected the tray icon shown, saw none");
  };
  t["expect tray removed"] = [](ScriptContext& c) {
    c.ExpectArgCount(0);
    if (c.session.desktop.tray.Shown()) Failed("expected no tray icon, saw it shown");
  };
  t["expect tray picture"] = [](ScriptContext& c) {
    c.ExpectArgCount(1);
    const SimTray& tray = c.session.desktop.tray;
    ExpectSame("the tray picture", c.Bare(0), tray.Shown() ? PictureName(tray.Picture()) : "none");
  };
  t["expect tray tip"] = [](ScriptContext& c) {
    c.ExpectArgCount(1);
    ExpectSame("the tray tip", Quoted(c.Text(0)), Quoted(c.session.desktop.tray.Tip()));
  };
  t["expect menu"] = [](ScriptContext& c) {
    std::vector<std::string> expected;
    for (std::size_t i = 0; i < c.args.size(); ++i)
      expected.push_back(c.Text(i));
    ExpectSame("the tray menu", Joined(expected), Joined(ShownMenu(c).items));
  };
  t["expect menu default"] = [](ScriptContext& c) {
    c.ExpectArgCount(1);
    const PopupMenuModel& menu = ShownMenu(c);
    const bool valid =
        menu.defaultItem >= 0 && menu.defaultItem < static_cast<int>(menu.items.size());
    ExpectSame("the menu's default item", Quoted(c.Text(0)),
               valid ? Quoted(menu.items[menu.defaultItem]) : "none");
  };
  t["expect box"] = [](ScriptContext& c) {
    c.ExpectArgCount(2);
    c.runner.OpenModal(Modal::Box);
    const MessageBoxCall& box = c.session.desktop.messageBoxes.shown.back();
    ExpectSame("the message box's title", Quoted(c.Text(0)), Quoted(box.title));
    ExpectSame("the message box's text", Quoted(c.Text(1)), Quoted(box.text));
  };
  t["expect alerts"] = [](ScriptContext& c) {
    c.ExpectArgCount(1);
    Application* run = c.session.LatestRun();
    Velmox* form = run != nullptr ? run->MainForm() : nullptr;
    ExpectSame("alerts", c.Bare(0), form != nullptr ? std::to_string(form->AlertCount()) : "none");
  };
  t["expect setting"] = ExpectSetting;
  t["expect file"] = ExpectFile;
  t["expect sounds"] = [](ScriptContext& c) {
    std::vector<std::string> expected;
    if (!(c.args.size() == 1 && !c.args[0].quoted && c.args[0].text == "none")) {
      for (std::size_t i = 0; i < c.args.size(); ++i)
        expected.push_back(c.Text(i));
    }
    ExpectSame("the sounds played", Joined(expected), Joined(c.session.desktop.sound.played));
  };
}

}  // namespace velmox::sim
