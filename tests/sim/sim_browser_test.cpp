#include "platform/sim/sim_browser.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_clock.h"
#include "support/temp_folder.h"

namespace velmox::sim {
namespace {

const std::filesystem::path kPages =
    std::filesystem::path(__FILE__).parent_path().parent_path() / "pages";

// A handler of one object's browser events that records them and answers as told.
struct Recorder : BrowserEvents {
  std::vector<BeforeNavigate2Args> navigations;
  bool cancel = false;
  int newWindowRequests = 0;
  std::function<void(std::shared_ptr<Dispatch>&, bool&)> answerNewWindow;

  void BeforeNavigate2(BeforeNavigate2Args& args) override {
    navigations.push_back(args);
    args.Cancel = cancel;
  }
  void NewWindow2(std::shared_ptr<Dispatch>& ppDisp, bool& Cancel) override {
    ++newWindowRequests;
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
  SimBrowserTest() {
    browsers.MapPage("http://ads.example/news/", kPages / "ads.html");
    browsers.MapPage("http://frames.example/", kPages / "frames");
  }

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

TEST_F(SimBrowserTest, AFramesetLoadsEachFrameAndTheFocusFollowsClicksIntoFrames) {
  SimWindow& window = Open("f", "http://frames.example/");
  auto top = window.Document();
  ASSERT_EQ(top->framesLength(), 2);
  EXPECT_EQ(Active(*top)->tagName(), "FRAMESET");
  auto main = top->frameItem(1);
  EXPECT_EQ(main->name(), "main");
  EXPECT_THROW(top->frameItem(2), PlatformError);

  const auto place = browsers.FindPlace("f/main");
  ASSERT_TRUE(place);
  browsers.Click(*place, Element(*place->Document(), "#popup"));
  auto focusedFrame = Active(*top);
  EXPECT_EQ(focusedFrame->tagName(), "FRAME");
  EXPECT_EQ(focusedFrame->name(), "main");
  auto link = Active(*main->document());
  EXPECT_EQ(link->tagName(), "A");
  // The frame's page has a BASE element that its links start from.
  EXPECT_EQ(link->href(), "http://frames.example/big.html");

  // A link in one frame that targets the other loads that frame, not the window.
  Recorder recorder;
  auto connection = window.Connect(recorder);
  const auto menu = browsers.FindPlace("f/menu");
  browsers.Click(*menu, Element(*menu->Document(), "#home"));
  ASSERT_EQ(recorder.navigations.size(), 1u);
  EXPECT_EQ(recorder.navigations[0].pDisp, dynamic_cast<Dispatch*>(main.get()));
  EXPECT_EQ(recorder.navigations[0].URL, "http://frames.example/main.html");
  EXPECT_EQ(window.LocationURL(), "http://frames.example/");
  EXPECT_EQ(Active(*top)->name(), "menu");
}

TEST_F(SimBrowserTest, FormsSubmitByGetAndPostIntoTheirTarget) {
  SimWindow& news = Open("news", "http://ads.example/news/");
  Recorder recorder;
  std::vector<std::string> opened;
  auto connection = news.Connect(recorder);

  browsers.Click({&news, nullptr}, Element(Page(news), "#go"));
  browsers.Click({&news, nullptr}, Element(Page(news), "#send"));
  browsers.Click({&news, nullptr}, Element(Page(news), "#stray"));  // outside any form
  EXPECT_EQ(recorder.newWindowRequests, 2);
  ASSERT_EQ(browsers.newWindows.size(), 2u);

  const auto get = *browsers.newWindows[0]->firstNavigation;
  EXPECT_EQ(get.address, "http://ads.example/cgi-bin/find.pl?q=red+shoes&lang=en&go=Find");
  EXPECT_EQ(get.postData, std::nullopt);
  EXPECT_EQ(get.flags, 64);

  const auto post = *browsers.newWindows[1]->firstNavigation;
  EXPECT_EQ(post.address, "http://ads.example/cgi-bin/order.pl");
  EXPECT_EQ(post.postData, "item=lamp+%26+shade&gift=on&size=m&note=Ring+twice");
  EXPECT_EQ(post.headers, "Content-Type: application/x-www-form-urlencoded\r\n");
  EXPECT_EQ(post.targetFrameName, "results");
}

TEST_F(SimBrowserTest, ANewWindowHandedToASinkNeverBecomesAWindow) {
  SimWindow& news = Open("news", "http://ads.example/news/");
  auto sink = browsers.CreatePageSink(1);
  Recorder sinkEvents;
  sinkEvents.cancel = true;
  auto sinkConnection = sink->Connect(sinkEvents);
  Recorder opener;
  opener.answerNewWindow = [&](std::shared_ptr<Dispatch>& ppDisp, bool&) {
    ppDisp = sink->Object();
  };
  auto connection = news.Connect(opener);
  const std::size_t before = browsers.Windows().size();

  browsers.Click({&news, nullptr}, Element(Page(news), "#send"));
  ASSERT_EQ(sinkEvents.navigations.size(), 1u);
  const BeforeNavigate2Args& caught = sinkEvents.navigations[0];
  EXPECT_EQ(caught.pDisp, sink->Object().get());
  EXPECT_EQ(caught.URL, "http://ads.example/cgi-bin/order.pl");
  EXPECT_EQ(caught.Flags, 64);
  EXPECT_EQ(caught.PostData, "item=lamp+%26+shade&gift=on&size=m&note=Ring+twice");
  EXPECT_EQ(browsers.Windows().size(), before);
  EXPECT_TRUE(browsers.newWindows.empty());
  ASSERT_EQ(browsers.sinkCatches.size(), 1u);
  EXPECT_TRUE(browsers.sinkCatches[0].cancelled);
  EXPECT_EQ(browsers.sinkCatches[0].index, 1);

  // A sink whose handler lets the navigation go loads the page inside itself, still unseen.
  sinkEvents.cancel = false;
  browsers.ScriptOpens({&news, nullptr}, "ad.html", "");
  EXPECT_FALSE(browsers.sinkCatches.back().cancelled);
  EXPECT_EQ(browsers.Windows().size(), before);
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
  browsers.ScriptOpens({&news, nullptr}, "ad.html", "toolbar=no,status=yes");
  // The registration is posted: it arrives after the browser's own work.
  EXPECT_EQ(shellEvents.events.size(), 1u);
  browsers.Settle();
  EXPECT_EQ(shellEvents.events, (std::vector<std::string>{"+1", "+2"}));
  ASSERT_EQ(browsers.Windows().size(), 2u);
  SimWindow& popup = *browsers.Windows()[1];
  EXPECT_EQ(popup.LocationURL(), "http://ads.example/news/ad.html");
  EXPECT_EQ(popup.ToolBar(), 0);
  EXPECT_TRUE(popup.StatusBar());
  EXPECT_FALSE(popup.MenuBar());

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

TEST_F(SimBrowserTest, OnlyConnectedHandlersHearAWindowsEvents) {
  SimWindow& news = Open("news", "http://ads.example/news/");
  Recorder recorder;
  auto connection = news.Connect(recorder);
  EXPECT_TRUE(news.Tracked());
  browsers.Navigate({&news, nullptr}, {"http://ads.example/news/", 0, "", std::nullopt, ""});
  connection.reset();
  EXPECT_FALSE(news.Tracked());
  browsers.Navigate({&news, nullptr}, {"http://other.example/", 0, "", std::nullopt, ""});
  EXPECT_EQ(recorder.navigations.size(), 1u);
  EXPECT_EQ(news.LocationURL(), "http://other.example/");

  // When Velmox's process ends its connections end with it.
  auto again = news.Connect(recorder);
  browsers.DisconnectAll();
  browsers.ScriptOpens({&news, nullptr}, "x.html", "");
  EXPECT_EQ(recorder.newWindowRequests, 0);
}

TEST_F(SimBrowserTest, VelmoxNavigatesTheTopOrAsksForANewWindowByTarget) {
  SimWindow& window = Open("f", "http://frames.example/");
  Recorder recorder;
  auto connection = window.Connect(recorder);
  window.Navigate({"http://frames.example/menu.html", 64, "main", "a=1"});
  EXPECT_EQ(window.LocationURL(), "http://frames.example/");
  window.Navigate({"http://ads.example/news/", 64, "_top", "a=1"});
  EXPECT_EQ(window.LocationURL(), "http://ads.example/news/");
  ASSERT_EQ(recorder.navigations.size(), 2u);
  EXPECT_EQ(recorder.navigations[1].PostData, "a=1");
  EXPECT_EQ(recorder.navigations[1].Flags, 64);
  window.Navigate({"http://ads.example/x.html", std::nullopt, "_blank", std::nullopt});
  EXPECT_EQ(recorder.newWindowRequests, 1);

  // A window Velmox creates joins the collection unseen until it is shown.
  auto created = browsers.CreateInternetExplorer();
  EXPECT_EQ(browsers.Windows().back().get(), created.get());
  EXPECT_FALSE(browsers.Windows().back()->features.Visible);
}

TEST_F(SimBrowserTest, TheContextMenuRunsTheActiveScriptAndReportsALocalPath) {
  SimWindow& window = Open("f", "http://frames.example/");
  Recorder recorder;
  recorder.cancel = true;
  auto connection = window.Connect(recorder);
  const auto menu = *browsers.FindPlace("f/menu");

  test::WriteRealFile(app.Path() / "blocksite.script2",
                      "<SCRIPT language=VBScript>\r\nexternal.menuArguments.Parent.Parent.Parent."
                      "navigate \"file://C:\\Program Files\\Velmox\\b0123456789.html\"\r\n"
                      "</SCRIPT>");
  browsers.ContextMenu(menu, true);
  EXPECT_TRUE(recorder.navigations.empty());  // only the inactive name: nothing happens

  std::filesystem::rename(app.Path() / "blocksite.script2", app.Path() / "blocksite.script");
  browsers.ContextMenu(menu, true);
  ASSERT_EQ(recorder.navigations.size(), 1u);
  EXPECT_EQ(recorder.navigations[0].URL, "C:\\Program Files\\Velmox\\b0123456789.html");
  // Three parents up from a frame is the top window.
  EXPECT_EQ(recorder.navigations[0].pDisp, static_cast<Dispatch*>(&window));
  EXPECT_EQ(window.LocationURL(), "http://frames.example/");
  EXPECT_TRUE(browsers.lastNavigation.at("f").cancelled);

  browsers.ContextMenu(menu, false);  // no trustsite.script at all
  EXPECT_EQ(recorder.navigations.size(), 1u);

  // Not cancelled, the command page really loads, from the application folder.
  test::WriteRealFile(app.Path() / "b0123456789.html", "<html><body><p id=x>Error");
  recorder.cancel = false;
  browsers.ContextMenu(menu, true);
  EXPECT_EQ(window.LocationURL(), "file:///C:/Program%20Files/Velmox/b0123456789.html");
  EXPECT_NE(QuerySelector(window.document->Root(), "#x"), nullptr);
}

TEST_F(SimBrowserTest, FailuresCarryTheirNumberAndDescription) {
  Open("a", "http://a.example/");
  SimWindow& b = Open("b", "http://b.example/");
  Open("c", "http://c.example/");
  auto shell = browsers.CreateShellWindows();

  browsers.FailEnumeration(2, PlatformError(-2147467259, "Unspecified error"));
  auto items = shell->Enumerate();
  EXPECT_EQ(items->Next()->Name(), BrowserWindow::kBrowserName);
  try {
    items->Next();
    ADD_FAILURE() << "the second item did not fail";
  } catch (const PlatformError& e) {
    EXPECT_EQ(e.Number(), -2147467259);
    EXPECT_EQ(e.Description(), "Unspecified error");
  }
  browsers.FailEnumeration(std::nullopt, PlatformError(0, ""));
  items = shell->Enumerate();
  int count = 0;
  while (items->Next())
    ++count;
  EXPECT_EQ(count, 3);

  auto page = b.Document();
  browsers.FailWindow(b, PlatformError(-2147417848, "The object invoked has disconnected"));
  EXPECT_THROW(b.Name(), PlatformError);
  EXPECT_THROW(b.SetAddressBar(true), PlatformError);
  EXPECT_THROW(page->activeElement(), PlatformError);
  browsers.FailWindow(b, std::nullopt);
  EXPECT_EQ(page->activeElement()->tagName(), "BODY");
}

TEST_F(SimBrowserTest, VelmoxWritesAreRecordedAndAPageThatIsNotHtmlHasNoDocument) {
  SimBrowsers::OpenOptions options;
  options.documentType = "Adobe Acrobat Document";
  options.features.FullScreen = true;
  SimWindow& pdf = browsers.Open("pdf", "http://docs.example/a.pdf", options);
  EXPECT_EQ(pdf.Document(), nullptr);
  EXPECT_EQ(pdf.Type(), "Adobe Acrobat Document");
  pdf.SetFullScreen(false);
  pdf.SetAddressBar(true);  // unchanged, but written all the same
  EXPECT_EQ(pdf.writes, (std::vector<std::string>{"FullScreen=False", "AddressBar=True"}));
  EXPECT_FALSE(pdf.FullScreen());
}

}  // namespace
}  // namespace velmox::sim
