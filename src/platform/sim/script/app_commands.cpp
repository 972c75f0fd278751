// Script commands for starting Velmox, time, the tray icon, its menu and message boxes.
#include <limits>
#include <optional>
#include <regex>

#include "platform/sim/script/script_runner.h"

namespace velmox::sim {
namespace {

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

// "HH:MM:SS" with seconds that may have a fraction, in seconds since midnight.
std::optional<double> TimeOfDay(const std::string& text) {
  static const std::regex form(R"(([0-9]{1,2}):([0-9]{1,2}):([0-9]{1,2}(\.[0-9]{1,9})?))");
  std::smatch parts;
  if (!std::regex_match(text, parts, form)) return std::nullopt;
  const int hours = std::stoi(parts[1]), minutes = std::stoi(parts[2]);
  const double seconds = std::stod(parts[3]);
  if (hours > 23 || minutes > 59 || seconds >= 60) return std::nullopt;
  return hours * 3600.0 + minutes * 60.0 + seconds;
}

const PopupMenuModel& ShownMenu(ScriptContext& c) {
  const auto& tray = c.session.desktop.tray;
  if (tray.OpenMenu()) return *tray.OpenMenu();
  if (tray.LastMenu()) return *tray.LastMenu();
  Failed("no tray menu has been shown");
}

}  // namespace

void AddAppCommands(CommandTable& t) {
  t["start"] = [](ScriptContext& c) {
    c.ExpectArgCount(0);
    c.session.Start();
  };
  t["wait"] = [](ScriptContext& c) {
    c.ExpectArgCount(1);
    SimClock& clock = c.session.desktop.clock;
    const long ms = WholeNumber(c.Bare(0), 0, SimClock::kLastMs - clock.NowMs());
    c.session.Deliver([&] { clock.Advance(ms); });
  };
  t["set time"] = [](ScriptContext& c) {
    c.ExpectArgCount(1);
    const auto seconds = TimeOfDay(c.Bare(0));
    if (!seconds) Malformed("not a time of day (HH:MM:SS): " + Echo(c.Bare(0)));
    c.session.desktop.clock.SetTimeOfDay(*seconds);
  };
  t["tray click"] = [](ScriptContext& c) { ClickTray(c, 0, {kLButtonDown, kLButtonUp}); };
  t["tray double-click"] = [](ScriptContext& c) {
    ClickTray(c, 0, {kLButtonDown, kLButtonUp, kLButtonDblClick, kLButtonUp});
  };
  t["tray right-click"] = [](ScriptContext& c) { ClickTray(c, 0, {kRButtonDown, kRButtonUp}); };
  t["tray message"] = [](ScriptContext& c) {
    const long message = WholeNumber(c.Bare(0), 0, std::numeric_limits<std::uint32_t>::max());
    ClickTray(c, 1, {static_cast<std::uint32_t>(message)});
  };
  t["menu choose"] = ChooseMenuItem;
  t["menu dismiss"] = [](ScriptContext& c) {
    c.ExpectArgCount(0);
    c.runner.OpenModal(Modal::Menu).answer = -1;
  };
  t["answer"] = AnswerBox;

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
    ExpectSame("the tray menu", QuotedList(expected), QuotedList(ShownMenu(c).items));
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
}

}  // namespace velmox::sim
