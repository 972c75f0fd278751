// Any page in the simulated browser, with the focus on any of its elements (or of its frames'
// pages), and any captured address: the page analysis either fails with a PlatformError, or
// answers false having done nothing, or answers true having opened exactly one window (or
// navigated the opener once) to that address, the used element no longer holding the focus.
//
// Input: the page's text, the pages of its frames after it, each after a form feed; then the
// choices, one byte each, taken from the end.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/platform_error.h"
#include "engine/user_click.h"
#include "fuzz_check.h"
#include "platform/sim/sim_address.h"
#include "platform/sim/sim_browser.h"

using namespace velmox;
using namespace velmox::sim;

namespace {

const std::string kPageAddress = "http://page.test/dir/page.html";

// A window whose Navigate only records: the analysis is under test, not the navigation (which
// would load any address, a real file's included).
class RecordingWindow : public SimWindow {
 public:
  using SimWindow::SimWindow;
  void Navigate(const NavigateArgs& args) override {
    Scope()->Check("Navigate");
    navigations.push_back(args);
  }
  std::vector<NavigateArgs> navigations;
};

// The browser's windows for the user are recording windows too.
class RecordingBrowsers : public SimBrowsers {
 public:
  RecordingBrowsers(Trace& trace, SimFiles& files) : SimBrowsers(trace, files), trace_(trace) {}
  std::shared_ptr<BrowserWindow> CreateInternetExplorer() override {
    auto window = std::make_shared<RecordingWindow>(*this, "new", 2, trace_);
    window->features.Visible = false;
    created.push_back(window);
    return window;
  }
  std::vector<std::shared_ptr<RecordingWindow>> created;

 private:
  Trace& trace_;
};

std::vector<std::string> SplitPages(const std::string& text) {
  std::vector<std::string> pages;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find('\f', start);
    pages.push_back(text.substr(start, end == std::string::npos ? end : end - start));
    if (end == std::string::npos) return pages;
    start = end + 1;
  }
}

struct Focusable {
  SimDocument* document;
  HtmlNode* node;
};

// An address the focused element leads to, so that the analysis has something to find.
std::string AddressFrom(const Focusable& focus, int mode) {
  if (mode == 1) {
    if (const std::string* href = focus.node->Attribute("href")) {
      return ResolveAddress(focus.document->BaseAddress(), *href);
    }
  }
  if (mode == 2) {
    for (HtmlNode* up = focus.node->parent; up != nullptr; up = up->parent) {
      if (up->tag == "FORM") return "http://page.test/" + up->AttributeOr("action") + "?q=v";
    }
  }
  return "";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const auto choices = input.ConsumeIntegral<std::uint8_t>();
  const auto focusChoice = input.ConsumeIntegral<std::uint16_t>();
  const auto addressMode = input.ConsumeIntegral<std::uint8_t>() % 3;
  const std::string typedAddress = addressMode == 0 ? input.ConsumeRandomLengthString(200) : "";
  const std::vector<std::string> pages = SplitPages(input.ConsumeRemainingBytesAsString());

  OptionRecord options;
  options.LinkTarget = (choices & 1) != 0 ? "_top" : "";
  const std::optional<long> flags =
      (choices & 2) != 0 ? std::optional<long>(64) : std::optional<long>();
  std::optional<std::string> postData;
  if ((choices & 12) == 4) postData = "";
  if ((choices & 12) == 8) postData = "q=v";

  Trace trace([] { return std::int64_t{0}; });
  SimFiles files("C:\\Program Files\\Velmox", "/nonexistent");
  RecordingBrowsers browsers(trace, files);
  auto opener = std::make_shared<RecordingWindow>(browsers, "opener", 1, trace);
  opener->location = kPageAddress;
  opener->document =
      std::make_shared<SimDocument>(kPageAddress, ParseHtml(pages[0]), opener->Scope());
  // The frames show the pages that follow, in order; a frame with no page left shows an empty
  // one. Frames of frames stay unloaded: the analysis looks one level down only.
  std::vector<Focusable> focusable;
  for (HtmlNode* node : Elements(opener->document->Root()))
    focusable.push_back({opener->document.get(), node});
  const auto& frames = opener->document->Frames();
  for (std::size_t i = 0; i < frames.size(); ++i) {
    const std::string address =
        ResolveAddress(kPageAddress, frames[i]->Element().AttributeOr("src", "about:blank"));
    frames[i]->Show(std::make_shared<SimDocument>(
        address, ParseHtml(i + 1 < pages.size() ? pages[i + 1] : ""), opener->Scope()));
    for (HtmlNode* node : Elements(frames[i]->Shown()->Root()))
      focusable.push_back({frames[i]->Shown().get(), node});
  }

  // One past the last element leaves the page's own focus.
  const std::size_t pick = focusChoice % (focusable.size() + 1);
  Focusable focus{opener->document.get(), opener->document->Focused()};
  if (pick < focusable.size()) {
    focus = focusable[pick];
    focus.document->Focus(*focus.node);
  }
  std::string address = AddressFrom(focus, addressMode);
  if (address.empty()) address = typedAddress;

  const auto& created = browsers.created;
  bool opened = false;
  try {
    opened = OpenIfUserAction(options, browsers, *opener, address, flags, postData);
  } catch (const PlatformError&) {
    // Reading the page failed: the page sink's failure rule decides. Nothing may have been
    // opened twice on the way.
    FUZZ_CHECK(created.size() + opener->navigations.size() <= 1);
    return 0;
  }

  if (!opened) {
    FUZZ_CHECK(created.empty() && opener->navigations.empty());
    FUZZ_CHECK(focus.document->Focused() == focus.node);
    return 0;
  }
  FUZZ_CHECK(focus.document->Focused() != focus.node);
  std::vector<NavigateArgs> navigations = opener->navigations;
  if (options.LinkTarget == "_top") {
    FUZZ_CHECK(created.empty());
  } else {
    FUZZ_CHECK(created.size() == 1 && opener->navigations.empty());
    FUZZ_CHECK(created[0]->features.Visible);
    navigations = created[0]->navigations;
  }
  FUZZ_CHECK(navigations.size() == 1);
  FUZZ_CHECK(navigations[0].url == address);
  return 0;
}
