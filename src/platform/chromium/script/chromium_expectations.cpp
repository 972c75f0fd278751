// The expectations of the desktop script on Chromium: what the browser shows and what reached
// Velmox, with the same words as on the simulated browser.
#include <algorithm>

#include "platform/chromium/chromium_input.h"
#include "platform/chromium/script/chromium_commands.h"
#include "platform/sim/script/window_feature_words.h"

namespace velmox::chromium {
namespace {

std::string NavigationText(const sim::NavigationRequest& r) {
  std::string text = sim::Quoted(r.address);
  if (r.flags) text += " flags " + std::to_string(*r.flags);
  if (r.postData) text += " post " + sim::Quoted(*r.postData);
  return text;
}

std::vector<std::string> ExpectedLabels(sim::ScriptContext& c, std::size_t from) {
  std::vector<std::string> labels;
  if (c.args.size() == from + 1 && c.IsBare(from, "none")) return labels;
  for (std::size_t i = from; i < c.args.size(); ++i)
    labels.push_back(c.Bare(i));
  return labels;
}

void ExpectWindowFeatures(ChromiumBrowsers& b, sim::ScriptContext& c) {
  ChromiumWindow& window = WindowNamed(b, c, 0);
  const sim::WindowFeatures seen = window.Features();
  sim::WindowFeatures expected = seen;
  for (std::size_t i = 1; i < c.args.size(); ++i) {
    if (c.args[i].quoted || !sim::ApplyFeature(c.args[i].text, expected)) {
      sim::Malformed("expected Feature=Value, found " + c.args[i].text);
    }
  }
  if (!(expected == seen)) {
    sim::Failed("expected " + window.label + " with " + sim::FeaturesText(expected) + ", saw " +
                sim::FeaturesText(seen));
  }
}

void ExpectNewWindow(ChromiumBrowsers& b, sim::ScriptContext& c) {
  if (b.newWindows.empty()) sim::Failed("expected a new window, saw none");
  const auto window = b.newWindows.front();
  b.newWindows.pop_front();
  sim::NavigationRequest expected;
  expected.address = c.Text(0);
  for (std::size_t i = 1; i < c.args.size(); ++i) {
    if (c.IsBare(i, "flags")) {
      expected.flags = sim::WholeNumber(c.Bare(++i));
    } else if (c.IsBare(i, "post")) {
      expected.postData = c.Text(++i);
    } else {
      sim::Malformed("expected flags N or post \"DATA\", found " + c.args[i].text);
    }
  }
  const std::string seen =
      window->firstNavigation ? NavigationText(*window->firstNavigation) : "no navigation";
  if (NavigationText(expected) != seen) {
    sim::Failed("expected the new window " + window->label + " to load " +
                NavigationText(expected) + ", saw " + seen);
  }
  if (!window->visible) sim::Failed("expected the new window " + window->label + " shown");
  if (!window->open) sim::Failed("expected the new window " + window->label + " open");
}

// Every new window not yet checked that is open and shown, by the address it shows now, in
// the order they opened; they count as checked.
void ExpectNewWindows(ChromiumBrowsers& b, sim::ScriptContext& c) {
  std::string expected;
  if (c.args.size() == 1 && c.IsBare(0, "none")) {
    expected = "none";
  } else {
    for (std::size_t i = 0; i < c.args.size(); ++i)
      expected += (i ? " " : "") + sim::Quoted(c.Text(i));
  }
  std::string seen;
  for (const auto& window : b.newWindows) {
    if (window->open && window->visible)
      seen += (seen.empty() ? "" : " ") + sim::Quoted(b.pages.Shown(window->url));
  }
  if (seen.empty()) seen = "none";
  b.newWindows.clear();
  if (expected != seen) sim::Failed("expected new windows " + expected + ", saw " + seen);
}

void ExpectNavigation(ChromiumBrowsers& b, sim::ScriptContext& c) {
  if (c.args.size() < 2 || c.args.size() > 3) {
    sim::Malformed("expected a place, an outcome, an address");
  }
  const bool cancelled = c.IsBare(1, "cancelled");
  if (!cancelled && !c.IsBare(1, "loaded")) sim::Malformed("the outcome is cancelled or loaded");
  const auto found = b.lastNavigation.find(c.Bare(0));
  if (found == b.lastNavigation.end()) sim::Failed("expected a navigation in " + c.Bare(0));
  const std::string seen = std::string(found->second.cancelled ? "cancelled " : "loaded ") +
                           sim::Quoted(found->second.address);
  const std::string expected =
      std::string(cancelled ? "cancelled " : "loaded ") +
      (c.args.size() == 3 ? sim::Quoted(c.Text(2)) : sim::Quoted(found->second.address));
  if (seen != expected) {
    sim::Failed("expected the last navigation in " + c.Bare(0) + " " + expected + ", saw " + seen);
  }
}

// Exactly these addresses have been caught by the page sinks, each as often as named, in any
// order (the browser may send two windows' first requests in either order), and every catch
// was cancelled.
void ExpectCaughtAddresses(ChromiumBrowsers& b, sim::ScriptContext& c) {
  std::vector<std::string> expected;
  for (std::size_t i = 0; i < c.args.size(); ++i)
    expected.push_back(sim::Quoted(c.Text(i)));
  std::vector<std::string> seen;
  for (const auto& caught : b.sinkCatches) {
    if (!caught.cancelled) sim::Failed("expected " + sim::Quoted(caught.address) + " cancelled");
    seen.push_back(sim::Quoted(caught.address));
  }
  std::sort(expected.begin(), expected.end());
  std::sort(seen.begin(), seen.end());
  if (expected != seen) {
    sim::Failed("expected the page sinks to catch " + LabelList(expected) + ", saw " +
                LabelList(seen));
  }
}

}  // namespace

void AddChromiumExpectations(sim::CommandTable& t, ChromiumBrowsers& browsers) {
  ChromiumBrowsers* b = &browsers;
  t["expect windows"] = [b](sim::ScriptContext& c) {
    std::vector<std::string> seen;
    for (const auto& window : b->Windows())
      seen.push_back(window->label);
    const std::string expected = LabelList(ExpectedLabels(c, 0));
    if (expected != LabelList(seen)) {
      sim::Failed("expected windows " + expected + ", saw " + LabelList(seen));
    }
  };
  t["expect window count"] = [b](sim::ScriptContext& c) {
    c.ExpectArgCount(1);
    const auto seen = static_cast<long>(b->Windows().size());
    if (seen != sim::WholeNumber(c.Bare(0))) {
      sim::Failed("expected " + c.Bare(0) + " open windows, saw " + std::to_string(seen));
    }
  };
  t["expect tracked"] = [b](sim::ScriptContext& c) {
    std::vector<std::string> seen;
    for (const auto& window : b->Windows()) {
      if (window->Tracked()) seen.push_back(window->label);
    }
    const std::string expected = LabelList(ExpectedLabels(c, 0));
    if (expected != LabelList(seen)) {
      sim::Failed("expected the events of " + expected + " connected, saw " + LabelList(seen));
    }
  };
  t["expect window"] = [b](sim::ScriptContext& c) {
    if (!c.IsBare(1, "address")) return ExpectWindowFeatures(*b, c);
    c.ExpectArgCount(3);
    ChromiumWindow& window = WindowNamed(*b, c, 0);
    const std::string seen = b->pages.Shown(window.url);
    if (seen != c.Text(2)) {
      sim::Failed("expected " + window.label + " at " + sim::Quoted(c.Text(2)) + ", saw " +
                  sim::Quoted(seen));
    }
  };
  t["expect written"] = [b](sim::ScriptContext& c) {
    ChromiumWindow& window = WindowNamed(*b, c, 0);
    std::vector<std::string> seen;
    seen.swap(window.writes);
    const std::string expected = LabelList(ExpectedLabels(c, 1));
    if (expected != LabelList(seen)) {
      sim::Failed("expected Velmox to write " + expected + " to " + window.label + ", saw " +
                  LabelList(seen));
    }
  };
  t["expect new window"] = [b](sim::ScriptContext& c) { ExpectNewWindow(*b, c); };
  t["expect new windows"] = [b](sim::ScriptContext& c) { ExpectNewWindows(*b, c); };
  t["expect no new window"] = [b](sim::ScriptContext& c) {
    c.ExpectArgCount(0);
    if (!b->newWindows.empty()) {
      sim::Failed("expected no new window, saw " + b->newWindows.front()->label);
    }
  };
  t["expect navigation"] = [b](sim::ScriptContext& c) { ExpectNavigation(*b, c); };
  t["expect caught"] = [b](sim::ScriptContext& c) {
    c.ExpectArgCount(2);
    if (b->sinkCatches.empty()) sim::Failed("expected a page sink to catch a request, saw none");
    const sim::SinkCatch& last = b->sinkCatches.back();
    const std::string expected = "page sink " + c.Bare(0) + " " + sim::Quoted(c.Text(1));
    const std::string seen =
        "page sink " + std::to_string(last.index) + " " + sim::Quoted(last.address);
    if (expected != seen) sim::Failed("expected the last catch by " + expected + ", saw " + seen);
    if (!last.cancelled)
      sim::Failed("expected the page sink to cancel " + sim::Quoted(last.address));
  };
  t["expect catches"] = [b](sim::ScriptContext& c) {
    std::vector<std::string> seen;
    for (const auto& caught : b->sinkCatches)
      seen.push_back(std::to_string(caught.index));
    const std::string expected = LabelList(ExpectedLabels(c, 0));
    if (expected != LabelList(seen)) {
      sim::Failed("expected catches by the page sinks " + expected + ", saw " + LabelList(seen));
    }
  };
  t["expect caught addresses"] = [b](sim::ScriptContext& c) { ExpectCaughtAddresses(*b, c); };
  t["expect catch count"] = [b](sim::ScriptContext& c) {
    c.ExpectArgCount(1);
    const auto seen = static_cast<long>(b->sinkCatches.size());
    if (seen != sim::WholeNumber(c.Bare(0))) {
      sim::Failed("expected " + c.Bare(0) + " catches by the page sinks, saw " +
                  std::to_string(seen));
    }
    for (const auto& caught : b->sinkCatches) {
      if (!caught.cancelled) {
        sim::Failed("expected every catch cancelled, saw " + sim::Quoted(caught.address) +
                    " loaded");
      }
    }
  };
  t["expect held windows"] = [b](sim::ScriptContext& c) {
    c.ExpectArgCount(1);
    const auto seen = static_cast<long>(b->HeldWindows());
    if (seen != sim::WholeNumber(c.Bare(0))) {
      sim::Failed("expected " + c.Bare(0) + " new windows held outside the collection, saw " +
                  std::to_string(seen));
    }
  };
  t["expect focus"] = [b](sim::ScriptContext& c) {
    const ChromiumPlace place = PlaceNamed(*b, c, 0);
    ElementChoice choice{c.Text(1), std::nullopt};
    if (c.IsBare(1, "link")) {
      c.ExpectArgCount(3);
      choice = {"", c.Text(2)};
    } else {
      c.ExpectArgCount(2);
    }
    const FocusSeen seen = FocusOf(*b, place, choice);
    if (!seen.found) sim::Failed(place.Label() + " has no element " + choice.Described());
    if (!seen.focused) {
      sim::Failed("expected the focus on " + seen.expected + ", saw it on " + seen.seen);
    }
  };
  t["expect handler failures"] = [b](sim::ScriptContext& c) {
    c.ExpectArgCount(1);
    if (b->escapedFailures != sim::WholeNumber(c.Bare(0))) {
      sim::Failed("expected " + c.Bare(0) + " failures escaping Velmox's handlers, saw " +
                  std::to_string(b->escapedFailures));
    }
  };
}

}  // namespace velmox::chromium
