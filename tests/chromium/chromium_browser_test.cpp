// Chromium's windows and pages as Velmox's browser automation objects, against a real headless
// Chromium: what the page model reads and how its calls fail, new windows that Velmox cancels
// or hands something odd, and a browser that dies or never quiets.
#include <gtest/gtest.h>

#include "core/platform_error.h"
#include "platform/chromium/chromium_browser.h"
#include "platform/sim/sim_desktop.h"
#include "support/temp_folder.h"

namespace velmox::chromium {
namespace {

constexpr const char* kPage = R"(<html><body>
<form id="order" method="POST" action="../cgi-bin/order.pl"><input id="send" type="submit"></form>
<a id="offer" href="/offers/today.html">Offer</a>
<iframe name="ad" src="http://other.example/"></iframe>
</body></html>)";

// The events of one window, answered as the test wants.
struct Answers : BrowserEvents {
  std::function<void(BeforeNavigate2Args&)> navigate = [](BeforeNavigate2Args&) {};
  std::function<void(std::shared_ptr<Dispatch>&, bool&)> newWindow = [](std::shared_ptr<Dispatch>&,
                                                                        bool&) {};
  void BeforeNavigate2(BeforeNavigate2Args& args) override { navigate(args); }
  void NewWindow2(std::shared_ptr<Dispatch>& ppDisp, bool& Cancel, UserAction) override {
    newWindow(ppDisp, Cancel);
  }
};

class ChromiumBrowserTest : public ::testing::Test {
 protected:
  explicit ChromiumBrowserTest(std::chrono::milliseconds settleLimit = std::chrono::seconds(15),
                               std::chrono::milliseconds quiet = std::chrono::milliseconds(100)) {
    test::WriteRealFile(folders.root.Path() / "page.html", kPage);
    test::WriteRealFile(folders.root.Path() / "busy.html",
                        "<body onload=\"setInterval(() => fetch('/x'), 10)\"></body>");
    ChromiumOptions options;
    options.launch.userDataDir = folders.folders.profile;
    options.settleLimit = settleLimit;
    options.quiet = quiet;
    browsers = std::make_unique<ChromiumBrowsers>(desktop.trace, desktop.files, options);
    browsers->pages.Map("http://shop.example/news/", folders.root.Path() / "page.html");
    browsers->pages.Map("http://shop.example/busy", folders.root.Path() / "busy.html");
    test::WriteRealFile(folders.root.Path() / "notes.txt", "<p>not markup</p>");
    browsers->pages.Map("http://shop.example/notes", folders.root.Path() / "notes.txt");
  }

  ChromiumWindow& Opened(const std::string& address) {
    ChromiumWindow& window = browsers->Open("w", address);
    browsers->Settle();
    return window;
  }

  test::SimFolderSet folders;
  sim::SimDesktop desktop{folders.folders};
  std::unique_ptr<ChromiumBrowsers> browsers;
};

TEST_F(ChromiumBrowserTest, ThePageModelReadsTheLivePageAndFailsAsPlatformErrors) {
  ChromiumWindow& window = Opened("http://shop.example/news/");
  EXPECT_EQ(window.Type(), BrowserWindow::kHtmlDocumentType);
  const auto document = window.Document();
  ASSERT_TRUE(document);
  const auto body = document->activeElement();
  EXPECT_EQ(body->tagName(), "BODY");
  // A member the element has not, as the page model reports it.
  EXPECT_THROW(body->href(), PlatformError);
  EXPECT_THROW(body->method(), PlatformError);
  EXPECT_EQ(body->parentElement()->tagName(), "HTML");
  EXPECT_EQ(body->parentElement()->parentElement(), nullptr);

  // A form's method and action as the page wrote them, not as the browser resolves them.
  browsers->Evaluate(window, "document.getElementById('send').focus()");
  const auto send = document->activeElement();
  EXPECT_EQ(send->type(), "submit");
  const auto form = send->parentElement();
  EXPECT_EQ(form->method(), "POST");
  EXPECT_EQ(form->action(), "../cgi-bin/order.pl");
  ASSERT_EQ(document->framesLength(), 1);
  const auto frame = document->frameItem(0);
  // A frame of another site keeps its name and document to itself.
  try {
    frame->document();
    FAIL() << "a frame of another origin must not give its document";
  } catch (const PlatformError& e) {
    EXPECT_EQ(e.Number(), -2147024891);
  }
  EXPECT_THROW(document->frameItem(1), PlatformError);

  // Once the window has gone, every object of its page fails.
  browsers->Close(window);
  browsers->Settle();
  try {
    body->tagName();
    FAIL() << "a call on a closed window's page must fail";
  } catch (const PlatformError& e) {
    EXPECT_EQ(e.Number(), -2147417848);
  }
  EXPECT_THROW(window.LocationURL(), PlatformError);
}

TEST_F(ChromiumBrowserTest, APageThatIsNoHtmlDocumentHasNoDocument) {
  ChromiumWindow& window = Opened("http://shop.example/notes");
  EXPECT_EQ(window.Document(), nullptr);
  EXPECT_NE(window.Type(), BrowserWindow::kHtmlDocumentType);
}

TEST_F(ChromiumBrowserTest, OnlyANavigationThatMayBeACommandWaitsForVelmoxsAnswer) {
  test::WriteRealFile(folders.folders.appDir / "page.html", "<p>a page of Velmox's folder</p>");
  const std::string folder = "C:\\Program Files\\Velmox\\";
  ChromiumWindow& window = Opened(folder + "page.html");
  Answers answers;
  std::vector<std::string> asked;
  answers.navigate = [&](BeforeNavigate2Args& args) {
    asked.push_back(args.URL);
    args.Cancel = true;
  };
  const auto connection = window.Connect(answers);
  // The page's own script moves on, however it spells the address.
  struct Case {
    std::string href;
    std::optional<std::string> asked;  // what Velmox hears of, if anything
  };
  const std::vector<Case> cases = {
      {"b0123456789.html", folder + "b0123456789.html"},
      {"T0123456789.HTML#top", folder + "T0123456789.HTML"},
      {"%62%30123456789%2Ehtml", folder + "b0123456789.html"},
      {"deep/xt0123456789.html", folder + "deep\\xt0123456789.html"},  // the last 16 letters
      {"b0123456789.html?q", std::nullopt},
      {"page.html?again", std::nullopt},
      {"http://shop.example/go.html", std::nullopt},
  };
  for (const auto& [href, heard] : cases) {
    asked.clear();
    browsers->Evaluate(window, "location.href = " + Json(href).dump() + "; 0");
    browsers->Settle();
    if (heard) {
      EXPECT_EQ(asked, std::vector<std::string>{*heard}) << href;
      EXPECT_EQ(window.LocationURL(), "file:///C:/Program%20Files/Velmox/page.html") << href;
      EXPECT_TRUE(browsers->lastNavigation["w"].cancelled) << href;
    } else {
      EXPECT_TRUE(asked.empty()) << href;  // Velmox would only have let it go
      EXPECT_FALSE(browsers->lastNavigation["w"].cancelled) << href;
      if (href.starts_with("http:")) break;  // the rest would start from another page
      browsers->Navigate(*browsers->FindPlace("w"), folder + "page.html");
      browsers->Settle();
    }
  }
  EXPECT_EQ(window.LocationURL(), "http://shop.example/go.html");
}

TEST_F(ChromiumBrowserTest, ANewWindowThatVelmoxCancelsOrHandsNoSinkNeverOpens) {
  ChromiumWindow& window = Opened("http://shop.example/news/");
  Answers answers;
  int asked = 0;
  answers.newWindow = [&](std::shared_ptr<Dispatch>& ppDisp, bool& Cancel) {
    if (++asked == 1) {
      Cancel = true;
    } else {
      ppDisp = std::make_shared<Dispatch>();  // neither a page sink nor nothing
    }
  };
  const auto connection = window.Connect(answers);
  for (const char* address : {"/first.html", "/second.html"}) {
    browsers->Evaluate(window, std::string("window.open('") + address + "'); 0");
    browsers->Settle();
  }
  EXPECT_EQ(asked, 2);
  EXPECT_TRUE(browsers->newWindows.empty());
  EXPECT_EQ(browsers->Windows().size(), 1u);
  EXPECT_TRUE(browsers->sinkCatches.empty());
}

TEST_F(ChromiumBrowserTest, ThePageObjectsOfAJudgementAreReleasedWhenItEndsEvenOnAFailure) {
  ChromiumWindow& window = Opened("http://shop.example/news/");
  // Handlers that keep what they read past their judgement, as a faulty one would.
  std::vector<std::shared_ptr<HtmlDocument>> keptDocuments;
  std::vector<std::shared_ptr<HtmlElement>> keptFocus;
  Answers answers;
  answers.newWindow = [&](std::shared_ptr<Dispatch>&, bool& Cancel) {
    keptDocuments.push_back(window.Document());
    keptFocus.push_back(keptDocuments.back()->activeElement());
    EXPECT_EQ(keptDocuments.back()->framesLength(), 1);  // alive while the judgement goes on
    Cancel = true;
    if (keptDocuments.size() == 2) throw std::runtime_error("the handler fails");
  };
  const auto connection = window.Connect(answers);
  for (const char* address : {"/first.html", "/second.html"}) {
    browsers->Evaluate(window, std::string("window.open('") + address + "'); 0");
    browsers->Settle();
  }
  ASSERT_EQ(keptDocuments.size(), 2u);
  EXPECT_EQ(browsers->escapedFailures, 1);
  for (std::size_t i = 0; i < keptDocuments.size(); ++i) {
    EXPECT_THROW(keptDocuments[i]->framesLength(), PlatformError) << "judgement " << i + 1;
    EXPECT_THROW(keptFocus[i]->parentElement(), PlatformError) << "judgement " << i + 1;
  }
  // What is read outside any judgement lives until it is dropped.
  const auto document = window.Document();
  browsers->Settle();
  EXPECT_EQ(document->framesLength(), 1);
  EXPECT_EQ(document->activeElement()->parentElement()->tagName(), "HTML");
}

TEST_F(ChromiumBrowserTest, ABrowserThatDiesLeavesAnEmptyCollectionBehind) {
  Opened("http://shop.example/news/");
  const auto shell = browsers->CreateShellWindows();
  const std::shared_ptr<BrowserWindow> window = shell->Enumerate()->Next();  // held as Velmox does
  ASSERT_TRUE(window);
  browsers->Kill();
  browsers->Settle();
  EXPECT_TRUE(browsers->Gone());
  EXPECT_EQ(shell->Enumerate()->Next(), nullptr);
  EXPECT_THROW(window->LocationURL(), PlatformError);
  EXPECT_THROW(browsers->CreateInternetExplorer(), PlatformError);
}

class ChromiumSettleTest : public ChromiumBrowserTest {
 protected:
  // A loaded machine can stall the browser for a moment; the page must look busy all the same.
  ChromiumSettleTest()
      : ChromiumBrowserTest(std::chrono::milliseconds(3000), std::chrono::milliseconds(1000)) {}
};

TEST_F(ChromiumSettleTest, ABrowserThatNeverQuietsIsAClearError) {
  browsers->Open("w", "http://shop.example/busy");
  try {
    browsers->Settle();
    FAIL() << "a page that never quiets must end the wait";
  } catch (const SettleTimeout& e) {
    EXPECT_NE(std::string(e.what()).find("not quiet within 3000 ms"), std::string::npos);
  }
}

}  // namespace
}  // namespace velmox::chromium
