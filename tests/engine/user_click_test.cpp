#include "engine/user_click.h"

#include <gtest/gtest.h>

#include "support/fake_browser.h"

namespace velmox {
namespace {

using test::FakeDocument;
using test::FakeElement;
using test::FakeFrame;
using test::FakeWindow;

std::shared_ptr<FakeElement> Element(const std::string& tag,
                                     std::shared_ptr<FakeElement> parent = nullptr) {
  auto element = std::make_shared<FakeElement>();
  element->tag = tag;
  element->parent = std::move(parent);
  return element;
}

std::shared_ptr<FakeElement> Link(const std::string& href) {
  auto link = Element("A", Element("BODY"));
  link->hrefValue = href;
  return link;
}

// A submit button inside form > body.
std::shared_ptr<FakeElement> SubmitIn(const std::string& method, const std::string& action) {
  auto form = Element("FORM", Element("BODY"));
  form->methodValue = method;
  form->actionValue = action;
  auto submit = Element("INPUT", Element("TD", form));
  submit->typeValue = "submit";
  return submit;
}

struct UserClickTest : ::testing::Test {
  UserClickTest() {
    options.LinkTarget = "_blank";
    opener.location = "http://ads.example/";
    opener.document = page;
  }
  bool Analyse(const std::string& url, std::optional<long> flags = std::nullopt,
               std::optional<std::string> postData = std::nullopt) {
    return OpenIfUserAction(options, browsers, opener, url, flags, postData);
  }
  void Focus(std::shared_ptr<FakeElement> element) { page->active = std::move(element); }

  OptionRecord options;
  test::FakeBrowserAutomation browsers;
  FakeWindow opener;
  std::shared_ptr<FakeDocument> page = std::make_shared<FakeDocument>();
};

TEST_F(UserClickTest, LinkMatchingWithoutRegardToCaseOpensANewVisibleWindow) {
  auto link = Link("http://ads.example/Gallery.html");
  Focus(link);
  EXPECT_TRUE(Analyse("HTTP://ADS.EXAMPLE/gallery.HTML", 4, "ignored"));
  ASSERT_EQ(browsers.created.size(), 1u);
  const FakeWindow& window = *browsers.created[0];
  ASSERT_EQ(window.navigations.size(), 1u);
  EXPECT_EQ(window.navigations[0].url, "HTTP://ADS.EXAMPLE/gallery.HTML");
  EXPECT_EQ(window.navigations[0].targetFrameName, "_top");
  EXPECT_EQ(window.navigations[0].flags, std::nullopt) << "a link carries no flags";
  EXPECT_EQ(window.navigations[0].postData, std::nullopt);
  EXPECT_TRUE(window.visible);
  EXPECT_EQ(link->blurCount, 1);
  EXPECT_TRUE(opener.navigations.empty());
}

TEST_F(UserClickTest, AreaCountsAsALinkAndADifferentAddressDoesNot) {
  auto area = Link("http://ads.example/a");
  area->tag = "area";
  Focus(area);
  EXPECT_TRUE(Analyse("http://ads.example/a"));
  EXPECT_FALSE(Analyse("http://ads.example/a?popup")) << "whole-text equality only";
  EXPECT_EQ(area->blurCount, 1);
  EXPECT_EQ(browsers.created.size(), 1u);
}

TEST_F(UserClickTest, LinkTargetTopLoadsInTheOpenerWithFlagsOnlyForForms) {
  options.LinkTarget = "_top";
  Focus(Link("http://ads.example/a"));
  EXPECT_TRUE(Analyse("http://ads.example/a", 64, "q=1"));
  Focus(SubmitIn("post", "/cgi-bin/find.pl"));
  EXPECT_TRUE(Analyse("http://ads.example/cgi-bin/find.pl", 64, "q=1"));

  EXPECT_TRUE(browsers.created.empty());
  ASSERT_EQ(opener.navigations.size(), 2u);
  EXPECT_EQ(opener.navigations[0].targetFrameName, "_top");
  EXPECT_EQ(opener.navigations[0].flags, std::nullopt);
  EXPECT_EQ(opener.navigations[0].postData, std::nullopt);
  EXPECT_EQ(opener.navigations[1].targetFrameName, "_top");
  EXPECT_EQ(opener.navigations[1].flags, 64);
  EXPECT_EQ(opener.navigations[1].postData, "q=1");

  options.LinkTarget = "_TOP";  // only the exact text keeps the opener
  EXPECT_TRUE(Analyse("http://ads.example/cgi-bin/find.pl", 64, "q=1"));
  EXPECT_EQ(browsers.created.size(), 1u);
}

TEST_F(UserClickTest, PostFormNeedsNoDataOrSomeDataButNotEmptyData) {
  auto submit = SubmitIn("POST", "../cgi-bin/find.pl");
  Focus(submit);
  const std::string url = "http://ads.example/cgi-bin/find.pl";
  EXPECT_TRUE(Analyse(url, 0, std::nullopt)) << "no post data at all";
  EXPECT_FALSE(Analyse(url, 0, std::string())) << "post data present but empty";
  EXPECT_TRUE(Analyse(url, 0, "name=value"));
  EXPECT_EQ(submit->blurCount, 2);
  ASSERT_EQ(browsers.created.size(), 2u);
  EXPECT_EQ(browsers.created[1]->navigations[0].postData, "name=value");
  EXPECT_EQ(browsers.created[1]->navigations[0].flags, 0);
  EXPECT_EQ(browsers.created[1]->navigations[0].targetFrameName, "_top");
}

TEST_F(UserClickTest, GetFormNeedsAQuestionMarkInTheAddress) {
  Focus(SubmitIn("get", "/search/"));
  EXPECT_FALSE(Analyse("http://ads.example/search/results"));
  EXPECT_TRUE(Analyse("http://ads.example/SEARCH?q=velmox"));
  EXPECT_FALSE(Analyse("http://ads.example/find?q=velmox")) << "action not in the address";
}

TEST_F(UserClickTest, ActionOfFourCharactersOrFewerIsNeverRecognised) {
  Focus(SubmitIn("post", "/a.pl"));
  EXPECT_FALSE(Analyse("http://ads.example/a.pl"));
  Focus(SubmitIn("post", "/ab.pl"));
  EXPECT_TRUE(Analyse("http://ads.example/ab.pl"));
}

TEST_F(UserClickTest, OnlyPostAndGetFormsAreRecognised) {
  for (const char* method : {"", "put"}) {
    Focus(SubmitIn(method, "/cgi-bin/find.pl"));
    EXPECT_FALSE(Analyse("http://ads.example/cgi-bin/find.pl?x")) << method;
  }
}

TEST_F(UserClickTest, SubmitWhoseParentChainEndsBeforeBodyFails) {
  auto loose = Element("input", Element("div"));
  loose->typeValue = "submit";
  Focus(loose);
  EXPECT_THROW(Analyse("http://ads.example/cgi-bin/find.pl"), PlatformError);
}

TEST_F(UserClickTest, UnreadablePageFails) {
  opener.document = nullptr;
  EXPECT_THROW(Analyse("http://ads.example/"), PlatformError) << "not an HTML document";
  opener.document = page;
  EXPECT_THROW(Analyse("http://ads.example/"), PlatformError) << "no focused element yet";
  auto link = Link("http://ads.example/");
  link->failAll = true;
  Focus(link);
  EXPECT_THROW(Analyse("http://ads.example/"), PlatformError);
}

struct FramesetTest : UserClickTest {
  std::shared_ptr<FakeFrame> AddFrame(const std::string& name, std::shared_ptr<FakeElement> focus) {
    auto frame = std::make_shared<FakeFrame>();
    frame->frameName = name;
    frame->doc = std::make_shared<FakeDocument>();
    frame->doc->active = std::move(focus);
    page->frames.push_back(frame);
    return frame;
  }
  std::shared_ptr<FakeElement> FocusFrame(const std::string& name) {
    auto frameElement = Element("FRAME");
    frameElement->nameValue = name;
    Focus(frameElement);
    return frameElement;
  }
};

TEST_F(FramesetTest, FocusedFrameIsFoundByName) {
  auto navLink = Link("http://ads.example/menu.html");
  auto mainLink = Link("http://ads.example/menu.html");
  AddFrame("nav", navLink);
  AddFrame("main", mainLink);
  FocusFrame("main");
  EXPECT_TRUE(Analyse("http://ads.example/menu.html"));
  EXPECT_EQ(mainLink->blurCount, 1);
  EXPECT_EQ(navLink->blurCount, 0) << "a frame of another name is not looked into";
  EXPECT_EQ(browsers.created.size(), 1u);
}

TEST_F(FramesetTest, UnnamedFramesAreAllExaminedWithoutStoppingEarly) {
  auto first = Link("http://ads.example/x.html");
  auto second = Link("http://ads.example/x.html");
  AddFrame("", first);
  AddFrame("", Element("BODY"));
  AddFrame("", second);
  FocusFrame("");
  EXPECT_TRUE(Analyse("http://ads.example/x.html"));
  EXPECT_EQ(first->blurCount, 1);
  EXPECT_EQ(second->blurCount, 1);
  EXPECT_EQ(browsers.created.size(), 2u);
}

TEST_F(FramesetTest, FrameWithoutDocumentFailsAfterEarlierFramesOpened) {
  AddFrame("", Link("http://ads.example/x.html"));
  AddFrame("", nullptr)->doc = nullptr;
  FocusFrame("");
  EXPECT_THROW(Analyse("http://ads.example/x.html"), PlatformError);
  EXPECT_EQ(browsers.created.size(), 1u) << "the window opened before the failure stays";
}

TEST_F(FramesetTest, FramesetFocusWithoutFramesExaminesTheTopElement) {
  Focus(Element("FRAMESET"));
  EXPECT_FALSE(Analyse("http://ads.example/x.html"));
}

// The Windows desktop hands out a new wrapper for every document and frame asked for, held by
// nobody else: the analysis must keep each while it uses it. (A wrapper used after it was let
// go is what AddressSanitizer reports here.)
struct FreshDocument : HtmlDocument {
  explicit FreshDocument(std::shared_ptr<FakeDocument> real) : real(std::move(real)) {}
  std::shared_ptr<HtmlElement> activeElement() override { return real->activeElement(); }
  int framesLength() override { return real->framesLength(); }
  std::shared_ptr<HtmlFrame> frameItem(int index) override;
  std::shared_ptr<FakeDocument> real;
};
struct FreshFrame : HtmlFrame {
  explicit FreshFrame(std::shared_ptr<FakeFrame> real) : real(std::move(real)) {}
  std::string name() override { return real->name(); }
  std::shared_ptr<HtmlDocument> document() override {
    return std::make_shared<FreshDocument>(real->doc);
  }
  std::shared_ptr<FakeFrame> real;
};
std::shared_ptr<HtmlFrame> FreshDocument::frameItem(int index) {
  return std::make_shared<FreshFrame>(real->frames.at(static_cast<std::size_t>(index)));
}
struct FreshWindow : FakeWindow {
  std::shared_ptr<HtmlDocument> Document() override {
    return std::make_shared<FreshDocument>(document);
  }
};

TEST_F(FramesetTest, PageObjectsHandedOutAnewOnEveryCallAreHeldWhileUsed) {
  auto mainLink = Link("http://ads.example/story.html");
  AddFrame("nav", Element("BODY"));
  AddFrame("main", mainLink);
  FocusFrame("main");
  FreshWindow fresh;
  fresh.document = page;
  EXPECT_TRUE(OpenIfUserAction(options, browsers, fresh, "http://ads.example/story.html",
                               std::nullopt, std::nullopt));
  EXPECT_EQ(mainLink->blurCount, 1);
}

TEST(GetURLFromAction, ReducesToThePieceLookedFor) {
  EXPECT_EQ(GetURLFromAction("../cgi-bin/find.pl"), "cgi-bin/find.pl");
  EXPECT_EQ(GetURLFromAction("/search/"), "search");
  EXPECT_EQ(GetURLFromAction("\\.\\dir\\\\"), "dir\\");
  EXPECT_EQ(GetURLFromAction("http://ads.example/go/"), "http://ads.example/go");
  EXPECT_EQ(GetURLFromAction("./"), "");
  EXPECT_EQ(GetURLFromAction(""), "");
}

TEST(LocateParentForm, StartsAtTheParentAndStopsAtFormOrBody) {
  auto form = Element("Form", Element("body"));
  auto input = Element("input", Element("p", form));
  EXPECT_EQ(LocateParentForm(input), form);
  EXPECT_EQ(LocateParentForm(form), nullptr) << "the form itself is not tested";
  auto unreadable = Element("input");
  unreadable->failParent = true;
  EXPECT_EQ(LocateParentForm(unreadable), nullptr);
  EXPECT_EQ(ParentElement(unreadable), nullptr);
  EXPECT_EQ(LocateParentForm(nullptr), nullptr);
}

}  // namespace
}  // namespace velmox
