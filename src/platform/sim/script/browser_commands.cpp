// Script commands for the browser: its windows and pages, what the user does in them, and
// expectations on what the browser shows.
#include <algorithm>
#include <stdexcept>

#include "platform/sim/script/script_runner.h"
#include "platform/sim/script/window_feature_words.h"

namespace velmox::sim {
namespace {

SimBrowsers& Browsers(ScriptContext& c) {
  return c.session.desktop.browsers;
}

SimWindow& WindowNamed(ScriptContext& c, std::size_t index) {
  SimWindow* window = Browsers(c).Find(c.Bare(index));
  if (window == nullptr) Failed("there is no open window " + c.Bare(index));
  return *window;
}

Place PlaceNamed(ScriptContext& c, std::size_t index) {
  const auto place = Browsers(c).FindPlace(c.Bare(index));
  if (!place) Failed("there is no open window or frame " + c.Bare(index));
  return *place;
}

// The words after a window's address: name "TEXT", type "TEXT", at N, Feature=Value.
SimBrowsers::OpenOptions OpenOptionsFrom(ScriptContext& c, std::size_t from) {
  SimBrowsers::OpenOptions options;
  for (std::size_t i = from; i < c.args.size(); ++i) {
    if (c.IsBare(i, "name")) {
      options.name = c.Text(++i);
    } else if (c.IsBare(i, "type")) {
      options.documentType = c.Text(++i);
    } else if (c.IsBare(i, "at")) {
      const long at = WholeNumber(c.Bare(++i));
      if (at < 1) Malformed("places in the window order count from 1");
      options.position = static_cast<std::size_t>(at - 1);
    } else if (c.args[i].quoted || !ApplyFeature(c.args[i].text, options.features)) {
      Malformed("unexpected word after the address: " + c.args[i].text);
    }
  }
  return options;
}

std::string NavigationText(const NavigationRequest& r) {
  std::string text = Quoted(r.address);
  if (r.flags) text += " flags " + std::to_string(*r.flags);
  if (r.postData) text += " post " + Quoted(*r.postData);
  return text;
}

std::vector<std::string> ExpectedLabels(ScriptContext& c, std::size_t from) {
  std::vector<std::string> labels;
  if (c.args.size() == from + 1 && c.IsBare(from, "none")) return labels;
  for (std::size_t i = from; i < c.args.size(); ++i)
    labels.push_back(c.Bare(i));
  return labels;
}

HtmlNode* ChosenElement(ScriptContext& c, const Place& place, std::size_t index) {
  SimDocument* document = place.Document();
  if (document == nullptr) Failed(place.Label() + " shows no HTML page");
  if (c.IsBare(index, "link")) {
    c.ExpectArgCount(index + 2);
    HtmlNode* link = FindLinkByText(document->Root(), c.Text(index + 1));
    if (link == nullptr) Failed(place.Label() + " has no link " + Quoted(c.Text(index + 1)));
    return link;
  }
  c.ExpectArgCount(index + 1);
  try {
    HtmlNode* element = QuerySelector(document->Root(), c.Text(index));
    if (element == nullptr) Failed(place.Label() + " has no element " + Quoted(c.Text(index)));
    return element;
  } catch (const std::invalid_argument& e) {
    Malformed(e.what());
  }
}

void OpenWindow(ScriptContext& c) {
  if (c.args.size() < 2) Malformed("window open needs a label and an address");
  if (Browsers(c).Find(c.Bare(0)) != nullptr) Malformed("a window " + c.Bare(0) + " is open");
  const auto options = OpenOptionsFrom(c, 2);
  ActOnBrowser(c, [&] { Browsers(c).Open(c.Bare(0), c.Text(1), options); });
}

void OpenWindows(ScriptContext& c) {
  if (c.args.size() < 3) Malformed("windows open needs a label prefix, a count and an address");
  const long count = WholeNumber(c.Bare(1), 0, kMostWindowsAtOnce);
  const auto options = OpenOptionsFrom(c, 3);
  ActOnBrowser(c, [&] {
    for (long i = 1; i <= count; ++i) {
      Browsers(c).Open(c.Bare(0) + std::to_string(i), c.Text(2), options);
    }
  });
}

void ExpectWindowFeatures(ScriptContext& c) {
  SimWindow& window = WindowNamed(c, 0);
  WindowFeatures expected = window.features;
  for (std::size_t i = 1; i < c.args.size(); ++i) {
    if (c.args[i].quoted || !ApplyFeature(c.args[i].text, expected)) {
      Malformed("expected Feature=Value, found " + c.args[i].text);
    }
  }
  if (!(expected == window.features)) {
    Failed("expected " + window.Label() + " with " + FeaturesText(expected) + ", saw " +
           FeaturesText(window.features));
  }
}

void ExpectNewWindow(ScriptContext& c) {
  auto& queue = Browsers(c).newWindows;
  if (queue.empty()) Failed("expected a new window, saw none");
  const auto window = queue.front();
  queue.pop_front();
  NavigationRequest expected;
  expected.address = c.Text(0);
  for (std::size_t i = 1; i < c.args.size(); ++i) {
    if (c.IsBare(i, "flags")) {
      expected.flags = WholeNumber(c.Bare(++i));
    } else if (c.IsBare(i, "post")) {
      expected.postData = c.Text(++i);
    } else {
      Malformed("expected flags N or post \"DATA\", found " + c.args[i].text);
    }
  }
  const std::string seen =
      window->firstNavigation ? NavigationText(*window->firstNavigation) : "no navigation";
  if (NavigationText(expected) != seen) {
    Failed("expected the new window " + window->Label() + " to load " + NavigationText(expected) +
           ", saw " + seen);
  }
  if (!window->features.Visible) Failed("expected the new window " + window->Label() + " shown");
  if (!window->open) Failed("expected the new window " + window->Label() + " open, saw it closed");
}

void ExpectNavigation(ScriptContext& c) {
  if (c.args.size() < 2 || c.args.size() > 3) Malformed("expected a place, an outcome, an address");
  const bool cancelled = c.IsBare(1, "cancelled");
  if (!cancelled && !c.IsBare(1, "loaded")) Malformed("the outcome is cancelled or loaded");
  const auto& last = Browsers(c).lastNavigation;
  const auto found = last.find(c.Bare(0));
  if (found == last.end()) Failed("expected a navigation in " + c.Bare(0) + ", saw none");
  const std::string seen = std::string(found->second.cancelled ? "cancelled " : "loaded ") +
                           Quoted(found->second.address);
  const std::string expected =
      std::string(cancelled ? "cancelled " : "loaded ") +
      (c.args.size() == 3 ? Quoted(c.Text(2)) : Quoted(found->second.address));
  if (seen != expected) {
    Failed("expected the last navigation in " + c.Bare(0) + " " + expected + ", saw " + seen);
  }
}

}  // namespace

void AddBrowserCommands(CommandTable& t) {
  t["page"] = [](ScriptContext& c) {
    if (c.args.size() != 2 && !(c.args.size() == 4 && c.IsBare(2, "type"))) {
      Malformed("page needs an address, a file and optionally type \"TEXT\"");
    }
    Browsers(c).MapPage(c.Text(0), c.scriptDir / c.Text(1), c.args.size() == 4 ? c.Text(3) : "");
  };
  t["window open"] = OpenWindow;
  t["windows open"] = OpenWindows;
  t["window close"] = [](ScriptContext& c) {
    c.ExpectArgCount(1);
    SimWindow& window = WindowNamed(c, 0);
    ActOnBrowser(c, [&] { Browsers(c).Close(window); });
  };
  t["window navigate"] = [](ScriptContext& c) {
    c.ExpectArgCount(2);
    const Place place = PlaceNamed(c, 0);
    NavigationRequest request;
    request.address = c.Text(1);
    ActOnBrowser(c, [&] { Browsers(c).Navigate(place, request); });
  };
  t["window set"] = [](ScriptContext& c) {
    SimWindow& window = WindowNamed(c, 0);
    WindowFeatures features = window.features;
    for (std::size_t i = 1; i < c.args.size(); ++i) {
      if (c.args[i].quoted || !ApplyFeature(c.args[i].text, features)) {
        Malformed("expected Feature=Value, found " + c.args[i].text);
      }
    }
    ActOnBrowser(c, [&] { Browsers(c).ChangeFeatures(window, features); });
  };
  t["window fail"] = [](ScriptContext& c) {
    c.ExpectArgCount(3);
    SimWindow& window = WindowNamed(c, 0);
    Browsers(c).FailWindow(window, PlatformError(WholeNumber(c.Bare(1)), c.Text(2)));
  };
  t["window recover"] = [](ScriptContext& c) {
    c.ExpectArgCount(1);
    Browsers(c).FailWindow(WindowNamed(c, 0), std::nullopt);
  };
  t["windows fail at"] = [](ScriptContext& c) {
    c.ExpectArgCount(3);
    const long item = WholeNumber(c.Bare(0));
    if (item < 1) Malformed("items count from 1");
    Browsers(c).FailEnumeration(static_cast<std::size_t>(item),
                                PlatformError(WholeNumber(c.Bare(1)), c.Text(2)));
  };
  t["windows recover"] = [](ScriptContext& c) {
    c.ExpectArgCount(0);
    Browsers(c).FailEnumeration(std::nullopt, PlatformError(0, ""));
  };

  t["click"] = [](ScriptContext& c) {
    const Place place = PlaceNamed(c, 0);
    HtmlNode* element = ChosenElement(c, place, 1);
    ActOnBrowser(c, [&] { Browsers(c).Click(place, *element); });
  };
  t["double-click"] = [](ScriptContext& c) {
    const Place place = PlaceNamed(c, 0);
    HtmlNode* element = ChosenElement(c, place, 1);
    ActOnBrowser(c, [&] { Browsers(c).Click(place, *element); });
    // The second click lands on what is there now: the first may have led elsewhere.
    HtmlNode* again = nullptr;
    try {
      again = ChosenElement(c, PlaceNamed(c, 0), 1);
    } catch (const ScriptError&) {
      return;
    }
    ActOnBrowser(c, [&] { Browsers(c).Click(PlaceNamed(c, 0), *again); });
  };
  t["middle-click"] = [](ScriptContext& c) {
    const Place place = PlaceNamed(c, 0);
    HtmlNode* element = ChosenElement(c, place, 1);
    ActOnBrowser(c, [&] { Browsers(c).MiddleClick(place, *element); });
  };
  t["key"] = [](ScriptContext& c) {
    c.ExpectArgCount(2);
    const Place place = PlaceNamed(c, 0);
    if (!c.IsBare(1, "Enter")) Malformed("the simulated browser takes the key Enter");
    ActOnBrowser(c, [&] { Browsers(c).PressEnter(place); });
  };
  t["script focus"] = [](ScriptContext& c) {
    const Place place = PlaceNamed(c, 0);
    HtmlNode* element = ChosenElement(c, place, 1);
    ActOnBrowser(c, [&] { Browsers(c).ScriptFocuses(place, *element); });
  };
  t["script click"] = [](ScriptContext& c) {
    const Place place = PlaceNamed(c, 0);
    HtmlNode* element = ChosenElement(c, place, 1);
    ActOnBrowser(c, [&] { Browsers(c).Click(place, *element, UserAction::No); });
  };
  // The page's script opens a window, on its own or while it handles the user's click or key.
  const auto scriptOpens = [](UserAction startedBy) {
    return [startedBy](ScriptContext& c) {
      if (c.args.size() != 2 && c.args.size() != 3) {
        Malformed("popup needs a window or frame, an address and optionally its features");
      }
      const Place place = PlaceNamed(c, 0);
      ActOnBrowser(c, [&] {
        Browsers(c).ScriptOpens(place, c.Text(1), c.args.size() == 3 ? c.Text(2) : "", startedBy);
      });
    };
  };
  t["popup"] = scriptOpens(UserAction::No);
  t["user popup"] = scriptOpens(UserAction::Yes);
  t["ctrl down"] = [](ScriptContext& c) {
    c.ExpectArgCount(0);
    c.session.desktop.keyboard.SetCtrl(true);
  };
  t["ctrl up"] = [](ScriptContext& c) {
    c.ExpectArgCount(0);
    c.session.desktop.keyboard.SetCtrl(false);
  };
  t["context-menu"] = [](ScriptContext& c) {
    c.ExpectArgCount(2);
    const Place place = PlaceNamed(c, 0);
    if (!c.IsBare(1, "disallow") && !c.IsBare(1, "allow")) {
      Malformed("the context-menu entries are disallow and allow");
    }
    ActOnBrowser(c, [&] { Browsers(c).ContextMenu(place, c.IsBare(1, "disallow")); });
  };

  t["expect windows"] = [](ScriptContext& c) {
    std::vector<std::string> seen;
    for (const auto& window : Browsers(c).Windows())
      seen.push_back(window->Label());
    const std::string expected = Listed(ExpectedLabels(c, 0));
    if (expected != Listed(seen)) Failed("expected windows " + expected + ", saw " + Listed(seen));
  };
  t["expect window count"] = [](ScriptContext& c) {
    c.ExpectArgCount(1);
    const auto seen = static_cast<long>(Browsers(c).Windows().size());
    if (seen != WholeNumber(c.Bare(0))) {
      Failed("expected " + c.Bare(0) + " open windows, saw " + std::to_string(seen));
    }
  };
  t["expect tracked"] = [](ScriptContext& c) {
    std::vector<std::string> seen;
    for (const auto& window : Browsers(c).Windows()) {
      if (window->Tracked()) seen.push_back(window->Label());
    }
    const std::string expected = Listed(ExpectedLabels(c, 0));
    if (expected != Listed(seen)) {
      Failed("expected the events of " + expected + " connected, saw " + Listed(seen));
    }
  };
  t["expect window"] = [](ScriptContext& c) {
    if (c.IsBare(1, "address")) {
      c.ExpectArgCount(3);
      SimWindow& window = WindowNamed(c, 0);
      if (window.location != c.Text(2)) {
        Failed("expected " + window.Label() + " at " + Quoted(c.Text(2)) + ", saw " +
               Quoted(window.location));
      }
      return;
    }
    ExpectWindowFeatures(c);
  };
  t["expect written"] = [](ScriptContext& c) {
    SimWindow& window = WindowNamed(c, 0);
    std::vector<std::string> seen;
    seen.swap(window.writes);
    const std::string expected = Listed(ExpectedLabels(c, 1));
    if (expected != Listed(seen)) {
      Failed("expected Velmox to write " + expected + " to " + window.Label() + ", saw " +
             Listed(seen));
    }
  };
  t["expect new window"] = ExpectNewWindow;
  t["expect no new window"] = [](ScriptContext& c) {
    c.ExpectArgCount(0);
    auto& queue = Browsers(c).newWindows;
    if (!queue.empty()) Failed("expected no new window, saw " + queue.front()->Label());
  };
  t["expect navigation"] = ExpectNavigation;
  t["expect caught"] = [](ScriptContext& c) {
    c.ExpectArgCount(2);
    const auto& catches = Browsers(c).sinkCatches;
    if (catches.empty()) Failed("expected a page sink to catch a request, saw none");
    const SinkCatch& last = catches.back();
    const std::string expected = "page sink " + c.Bare(0) + " " + Quoted(c.Text(1));
    const std::string seen = "page sink " + std::to_string(last.index) + " " + Quoted(last.address);
    if (expected != seen) Failed("expected the last catch by " + expected + ", saw " + seen);
    if (!last.cancelled) Failed("expected the page sink to cancel " + Quoted(last.address));
  };
  t["expect catches"] = [](ScriptContext& c) {
    std::vector<std::string> seen;
    for (const auto& caught : Browsers(c).sinkCatches)
      seen.push_back(std::to_string(caught.index));
    const std::string expected = Listed(ExpectedLabels(c, 0));
    if (expected != Listed(seen)) {
      Failed("expected catches by the page sinks " + expected + ", saw " + Listed(seen));
    }
  };
  t["expect focus"] = [](ScriptContext& c) {
    const Place place = PlaceNamed(c, 0);
    HtmlNode* expected = ChosenElement(c, place, 1);
    HtmlNode* seen = place.Document()->Focused();
    if (seen != expected) {
      Failed("expected the focus on " + DescribeElement(*expected) + ", saw it on " +
             DescribeElement(*seen));
    }
  };
  t["expect handler failures"] = [](ScriptContext& c) {
    c.ExpectArgCount(1);
    const long seen = Browsers(c).escapedFailures;
    if (seen != WholeNumber(c.Bare(0))) {
      Failed("expected " + c.Bare(0) + " failures escaping Velmox's handlers, saw " +
             std::to_string(seen));
    }
  };
}

}  // namespace velmox::sim
