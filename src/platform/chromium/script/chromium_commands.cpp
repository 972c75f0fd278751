// The actions of the desktop script on Chromium: windows, pages, and what a person and a page
// do in them.
#include "platform/chromium/script/chromium_commands.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>

#include "platform/chromium/chromium_input.h"
#include "platform/sim/script/window_feature_words.h"

namespace velmox::chromium {
namespace {

struct OpenOptions {
  std::optional<std::size_t> position;
  std::optional<bool> fullScreen;
};

// The words after a window's address: at N, FullScreen=Value. Chromium has no other switch.
OpenOptions OpenOptionsFrom(sim::ScriptContext& c, std::size_t from) {
  OpenOptions options;
  for (std::size_t i = from; i < c.args.size(); ++i) {
    if (c.IsBare(i, "at")) {
      const long at = sim::WholeNumber(c.Bare(++i));
      if (at < 1) sim::Malformed("places in the window order count from 1");
      options.position = static_cast<std::size_t>(at - 1);
      continue;
    }
    if (c.IsBare(i, "name") || c.IsBare(i, "type")) {
      sim::Malformed("Chromium's windows are all web browser windows: no " + c.Bare(i));
    }
    sim::WindowFeatures features, plain;
    if (c.args[i].quoted || !sim::ApplyFeature(c.args[i].text, features)) {
      sim::Malformed("unexpected word after the address: " + c.args[i].text);
    }
    features.FullScreen = plain.FullScreen;
    if (!(features == plain)) {
      sim::Malformed("Chromium has no switch for " + c.args[i].text + "; only FullScreen");
    }
    options.fullScreen = c.args[i].text == "FullScreen=True";
  }
  return options;
}

void OpenOne(ChromiumBrowsers& browsers, const std::string& label, const std::string& address,
             const OpenOptions& options) {
  ChromiumWindow& window = browsers.Open(label, address, options.position);
  if (options.fullScreen) browsers.UserSetsFullScreen(window, *options.fullScreen);
}

// A minute: a page's timer that needs longer is no case for a test.
constexpr long kLongestRun = 60000;

// The browser's own clock runs for `length` while its events reach Velmox as they come; Velmox's
// virtual clock keeps pace, so its own timers fall due among them.
void RunFor(ChromiumBrowsers& browsers, sim::SimClock& clock, std::chrono::milliseconds length) {
  browsers.TraceLine("the browser's clock runs for " + std::to_string(length.count()) + " ms");
  const auto start = std::chrono::steady_clock::now();
  long passed = 0;
  while (passed < length.count() && !browsers.Gone()) {
    browsers.PumpUntil([] { return false; }, std::chrono::milliseconds(10));
    const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
                         std::chrono::steady_clock::now() - start)
                         .count();
    const long reached = std::min<long>(static_cast<long>(now), length.count());
    clock.Advance(reached - passed);
    passed = reached;
  }
}

ElementChoice ChoiceFrom(sim::ScriptContext& c, std::size_t index) {
  if (c.IsBare(index, "link")) {
    c.ExpectArgCount(index + 2);
    return {"", c.Text(index + 1)};
  }
  c.ExpectArgCount(index + 1);
  return {c.Text(index), std::nullopt};
}

}  // namespace

ChromiumWindow& WindowNamed(ChromiumBrowsers& browsers, sim::ScriptContext& c, std::size_t index) {
  ChromiumWindow* window = browsers.Find(c.Bare(index));
  if (window == nullptr) sim::Failed("there is no open window " + c.Bare(index));
  return *window;
}

ChromiumPlace PlaceNamed(ChromiumBrowsers& browsers, sim::ScriptContext& c, std::size_t index) {
  const auto place = browsers.FindPlace(c.Bare(index));
  if (!place) sim::Failed("there is no open window " + c.Bare(index));
  return *place;
}

std::string LabelList(const std::vector<std::string>& labels) {
  if (labels.empty()) return "none";
  std::string out;
  for (const auto& label : labels)
    out += (out.empty() ? "" : " ") + label;
  return out;
}

void AddChromiumCommands(sim::CommandTable& t, ChromiumBrowsers& browsers) {
  ChromiumBrowsers* b = &browsers;
  t["page"] = [b](sim::ScriptContext& c) {
    if (c.args.size() != 2 && !(c.args.size() == 4 && c.IsBare(2, "type"))) {
      sim::Malformed("page needs an address, a file and optionally type \"TEXT\"");
    }
    b->pages.Map(c.Text(0), c.scriptDir / c.Text(1), c.args.size() == 4 ? c.Text(3) : "");
  };
  t["window open"] = [b](sim::ScriptContext& c) {
    if (c.args.size() < 2) sim::Malformed("window open needs a label and an address");
    if (b->Find(c.Bare(0)) != nullptr) sim::Malformed("a window " + c.Bare(0) + " is open");
    const auto options = OpenOptionsFrom(c, 2);
    sim::ActOnBrowser(c, [&] { OpenOne(*b, c.Bare(0), c.Text(1), options); });
  };
  t["windows open"] = [b](sim::ScriptContext& c) {
    if (c.args.size() < 3) sim::Malformed("windows open needs a label prefix, a count, an address");
    const long count = sim::WholeNumber(c.Bare(1), 0, sim::kMostWindowsAtOnce);
    const auto options = OpenOptionsFrom(c, 3);
    sim::ActOnBrowser(c, [&] {
      for (long i = 1; i <= count; ++i)
        OpenOne(*b, c.Bare(0) + std::to_string(i), c.Text(2), options);
    });
  };
  t["window close"] = [b](sim::ScriptContext& c) {
    c.ExpectArgCount(1);
    ChromiumWindow& window = WindowNamed(*b, c, 0);
    sim::ActOnBrowser(c, [&] { b->Close(window); });
  };
  t["window navigate"] = [b](sim::ScriptContext& c) {
    c.ExpectArgCount(2);
    const ChromiumPlace place = PlaceNamed(*b, c, 0);
    sim::ActOnBrowser(c, [&] { b->Navigate(place, c.Text(1)); });
  };
  t["window set"] = [b](sim::ScriptContext& c) {
    ChromiumWindow& window = WindowNamed(*b, c, 0);
    const auto options = OpenOptionsFrom(c, 1);
    if (options.position) sim::Malformed("window set takes Feature=Value words only");
    sim::ActOnBrowser(c, [&] {
      if (options.fullScreen) b->UserSetsFullScreen(window, *options.fullScreen);
    });
  };
  t["window fail"] = [b](sim::ScriptContext& c) {
    c.ExpectArgCount(3);
    b->FailWindow(WindowNamed(*b, c, 0), PlatformError(sim::WholeNumber(c.Bare(1)), c.Text(2)));
  };
  t["window recover"] = [b](sim::ScriptContext& c) {
    c.ExpectArgCount(1);
    b->FailWindow(WindowNamed(*b, c, 0), std::nullopt);
  };
  t["windows fail at"] = [b](sim::ScriptContext& c) {
    c.ExpectArgCount(3);
    const long item = sim::WholeNumber(c.Bare(0));
    if (item < 1) sim::Malformed("items count from 1");
    b->FailEnumeration(static_cast<std::size_t>(item),
                       PlatformError(sim::WholeNumber(c.Bare(1)), c.Text(2)));
  };
  t["windows recover"] = [b](sim::ScriptContext& c) {
    c.ExpectArgCount(0);
    b->FailEnumeration(std::nullopt, PlatformError(0, ""));
  };
  // Here the page's own scripts move the focus and click.
  for (const char* simulated : {"script focus", "script click"}) {
    t[simulated] = [simulated](sim::ScriptContext&) {
      sim::Malformed(std::string(simulated) +
                     " is the simulated browser's: in Chromium the page's own script does it");
    };
  }
  const auto clicks = [b](MouseButton button, int count) {
    return [b, button, count](sim::ScriptContext& c) {
      const ChromiumPlace place = PlaceNamed(*b, c, 0);
      const ElementChoice choice = ChoiceFrom(c, 1);
      const ClickHow how{button, count, c.session.desktop.keyboard.CtrlDown()};
      sim::ActOnBrowser(c, [&] { Click(*b, place, choice, how); });
    };
  };
  t["click"] = clicks(MouseButton::Left, 1);
  t["double-click"] = clicks(MouseButton::Left, 2);
  t["middle-click"] = clicks(MouseButton::Middle, 1);
  t["key"] = [b](sim::ScriptContext& c) {
    c.ExpectArgCount(2);
    ChromiumWindow& window = WindowNamed(*b, c, 0);
    const bool ctrl = c.session.desktop.keyboard.CtrlDown();
    sim::ActOnBrowser(c, [&] { PressKey(*b, window, c.Bare(1), ctrl); });
  };
  const auto scriptOpens = [b](bool duringUserAction) {
    return [b, duringUserAction](sim::ScriptContext& c) {
      if (c.args.size() != 2 && c.args.size() != 3) {
        sim::Malformed("popup needs a window or frame, an address and optionally its features");
      }
      const ChromiumPlace place = PlaceNamed(*b, c, 0);
      sim::ActOnBrowser(c, [&] {
        ScriptOpens(*b, place, c.Text(1), c.args.size() == 3 ? c.Text(2) : "", duringUserAction);
      });
    };
  };
  t["popup"] = scriptOpens(false);
  t["user popup"] = scriptOpens(true);
  t["ctrl down"] = [](sim::ScriptContext& c) {
    c.ExpectArgCount(0);
    c.session.desktop.keyboard.SetCtrl(true);
  };
  t["ctrl up"] = [](sim::ScriptContext& c) {
    c.ExpectArgCount(0);
    c.session.desktop.keyboard.SetCtrl(false);
  };
  t["context-menu"] = [b](sim::ScriptContext& c) {
    c.ExpectArgCount(2);
    const ChromiumPlace place = PlaceNamed(*b, c, 0);
    if (!c.IsBare(1, "disallow") && !c.IsBare(1, "allow")) {
      sim::Malformed("the context-menu entries are disallow and allow");
    }
    sim::ActOnBrowser(
        c, [&] { ContextMenu(*b, c.session.desktop.files, place, c.IsBare(1, "disallow")); });
  };
  t["browser run"] = [b](sim::ScriptContext& c) {
    c.ExpectArgCount(1);
    sim::SimClock& clock = c.session.desktop.clock;
    const long ms = sim::WholeNumber(c.Bare(0), 0, kLongestRun);
    sim::ActOnBrowser(c, [&] { RunFor(*b, clock, std::chrono::milliseconds(ms)); });
  };
  t["browser kill"] = [b](sim::ScriptContext& c) {
    c.ExpectArgCount(0);
    sim::ActOnBrowser(c, [&] { b->Kill(); });
  };
  AddChromiumExpectations(t, browsers);
}

}  // namespace velmox::chromium
