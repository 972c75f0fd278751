#include "platform/sim/sim_browser.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_clock.h"
#include "support/temp_folder.h"

namespace velmox::sim {
namespace {

const std::filesystem::path kPages = VELMOX_TEST_PAGES;

// A window's event handler that answers every new-window request as told.
struct Recorder : BrowserEvents {
  std::function<void(std::shared_ptr<Dispatch>&, bool&)> answerNewWindow;
  void BeforeNavigate2(BeforeNavigate2Args&) override {}
  void NewWindow2(std::shared_ptr<Dispatch>& ppDisp, bool& Cancel, UserAction) override {
    if (answerNewWindow) answerNewWindow(ppDisp, Cancel);
  }
};

struct ShellRecorder : ShellWindowsEvents {
  std::vector<std::string> events;
  void WindowRegistered(long cookie) override { events.push_back("+" + std::to_string(cookie)); }
  void WindowRevoked(long cookie) override { events.push_back("-" + std::to_string(cookie)); }
};

class SimBrowserTest : public ::testing::Test {
 protected:
  SimBrowserTest() { browsers.MapPage("http://ads.example/news/", kPages / "ads.html"); }

  SimWindow& Open(const std::string& label, const std::string& address) {
    return browsers.Open(label, address, {});
  }
  SimDocument& Page(SimWindow& window) { return *window.document; }
  HtmlNode& Element(SimDocument& document, const std::string& selector) {
    HtmlNode* node = QuerySelector(document.Root(), selector);
    if (node == nullptr) throw std::invalid_argument("no " + selector);
    return *node;
  }
  std::shared_ptr<HtmlElement> Active(HtmlDocument& document) { return document.activeElement(); }

  test::TempFolder app;
  SimClock clock;
  Trace trace{[this] { return clock.NowMs(); }};
  SimFiles files{"C:\\Program Files\\Velmox", app.Path()};
  SimBrowsers browsers{trace, files};
};

TEST_F(SimBrowserTest, ElementsGiveWhatThePageModelGives) {
  SimWindow& news = Open("news", "http://ads.example/news/");
  EXPECT_EQ(news.Type(), BrowserWindow::kHtmlDocumentType);
  auto document = news.Document();
  ASSERT_NE(document, nullptr);
  auto body = Active(*document);
  EXPECT_EQ(body->tagName(), "BODY");
  EXPECT_THROW(body->href(), PlatformError);
  EXPECT_THROW(body->method(), PlatformError);

  browsers.Click({&news, nullptr}, Element(Page(news), "#named"));
  auto link = Active(*document);
  EXPECT_EQ(link->tagName(), "A");
  EXPECT_EQ(link->href(), "http://partner.example/");
  EXPECT_THROW(link->type(), PlatformError);

  browsers.Click({&news, nullptr}, Element(Page(news), "#picture"));
  auto image = Active(*document);
  EXPECT_EQ(image->type(), "image");
  EXPECT_EQ(image->name(), "pic");
  auto form = image->parentElement();
  EXPECT_EQ(form->tagName(), "FORM");
  EXPECT_EQ(form->method(), "POST");  // as written
  EXPECT_EQ(form->action(), "/cgi-bin/order.pl");
  // Up the chain to the top, where the parent is nothing.
  auto up = form;
  std::vector<std::string> tags;
  while (up) {
    tags.push_back(up->tagName());
    up = up->parentElement();
  }
  EXPECT_EQ(tags, (std::vector<std::string>{"FORM", "BODY", "HTML"}));

  image->blur();
  EXPECT_EQ(Active(*document)->tagName(), "BODY");
}

TEST_F(SimBrowserTest, AnEmptyAnswerLetsTheBrowserOpenARegisteredWindowAndCancelOpensNone) {
  auto shell = browsers.CreateShellWindows();
  ShellRecorder shellEvents;
  auto shellConnection = shell->Connect(shellEvents);
  SimWindow& news = Open("news", "http://ads.example/news/");
  browsers.Settle();
  EXPECT_EQ(shellEvents.events, (std::vector<std::string>{"+1"}));

  Recorder opener;
  auto connection = news.Connect(opener);
  browsers.ScriptOpens({&news, nullptr}, "ad.html", "");
  // The registration is posted: it arrives after the browser's own work.
  EXPECT_EQ(shellEvents.events.size(), 1u);
  browsers.Settle();
  EXPECT_EQ(shellEvents.events, (std::vector<std::string>{"+1", "+2"}));
  ASSERT_EQ(browsers.Windows().size(), 2u);
  SimWindow& popup = *browsers.Windows()[1];
  EXPECT_EQ(popup.LocationURL(), "http://ads.example/news/ad.html");

  opener.answerNewWindow = [](std::shared_ptr<Dispatch>&, bool& Cancel) { Cancel = true; };
  browsers.ScriptOpens({&news, nullptr}, "ad2.html", "");
  browsers.Settle();
  EXPECT_EQ(browsers.Windows().size(), 2u);
  EXPECT_EQ(shellEvents.events.size(), 2u);
  EXPECT_EQ(browsers.newWindows.size(), 1u);

  browsers.Close(popup);
  browsers.Settle();
  EXPECT_EQ(shellEvents.events.back(), "-2");
  EXPECT_THROW(popup.Name(), PlatformError);
}

// A frameset that includes itself ten times would load 11,110 documents four levels deep; the
// page's frames share one budget, and the trace says what was left empty.
TEST_F(SimBrowserTest, AFramesetThatIncludesItselfLoadsABoundedNumberOfDocuments) {
  std::string frames;
  for (int i = 0; i < 10; ++i)
    frames += "<frame src=loop.html>";
  test::WriteRealFile(app.Path() / "loop/loop.html", "<frameset>" + frames + "</frameset>");
  browsers.MapPage("http://loop.example/", app.Path() / "loop");
  SimWindow& window = Open("w", "http://loop.example/loop.html");
  int loaded = 0, empty = 0;
  std::vector<SimDocument*> pending{window.document.get()};
  while (!pending.empty()) {
    SimDocument* document = pending.back();
    pending.pop_back();
    for (const auto& frame : document->Frames()) {
      if (frame->Shown() == nullptr) continue;  // deeper than frames load
      (frame->Shown()->Frames().empty() ? empty : loaded) += 1;
      pending.push_back(frame->Shown().get());
    }
  }
  EXPECT_EQ(loaded, SimBrowsers::kMaxFrameDocuments);
  EXPECT_GT(empty, 0);
  const std::string expected =
      "[     0.000] browser: w: \"http://loop.example/loop.html\" has more "
      "than 100 frame documents; " +
      std::to_string(empty) + " more frames show empty pages";
  EXPECT_NE(std::find(trace.Lines().begin(), trace.Lines().end(), expected), trace.Lines().end());
}

}  // namespace
}  // namespace velmox::sim
