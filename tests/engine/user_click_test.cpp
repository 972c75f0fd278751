#include "engine/user_click.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/sim/sim_desktop.h"
#include "support/temp_folder.h"

namespace velmox {
namespace {

std::string Link(const std::string& href, const std::string& id = "link") {
  return "<a id=" + id + " href=\"" + href + "\">go</a>";
}

// A submit button inside form > table > tbody > tr > td.
std::string SubmitIn(const std::string& method, const std::string& action) {
  return "<form method=\"" + method + "\" action=\"" + action +
         "\"><table><tr><td><input id=submit type=submit></td></tr></table></form>";
}

void Focus(sim::SimDocument& page, const std::string& selector) {
  page.Focus(*sim::QuerySelector(page.Root(), selector));
}

struct UserClickTest : ::testing::Test {
  UserClickTest() { options.LinkTarget = "_blank"; }
  bool Analyse(const std::string& url, std::optional<long> flags = std::nullopt,
               std::optional<std::string> postData = std::nullopt,
               UserAction startedBy = UserAction::Unknown) {
    return OpenIfUserAction(options, desktop.browsers, opener, url, flags, postData, startedBy);
  }
  std::shared_ptr<sim::SimDocument> Page(const std::string& html) {
    return std::make_shared<sim::SimDocument>(opener.location, sim::ParseHtml(html),
                                              opener.Scope());
  }
  // The opener shows `html`, with the focus on what `selector` finds.
  void Show(const std::string& html, const std::string& selector) {
    opener.document = Page(html);
    Focus(*opener.document, selector);
  }
  // How often Velmox took the focus from the element `what` ("A#link").
  int Blurs(const std::string& what) const {
    const auto all = desktop.trace.After("Velmox takes the focus from ");
    return static_cast<int>(std::count(all.begin(), all.end(), what));
  }
  // What Velmox asked the window to load, as the browser traced it.
  std::vector<std::string> Navigations(const std::string& label) const {
    return desktop.trace.After(label + ": Velmox navigates to ");
  }
  // The windows Velmox created, in order.
  const std::deque<std::shared_ptr<sim::SimWindow>>& Created() const {
    return desktop.browsers.newWindows;
  }

  OptionRecord options;
  test::SimFolderSet folders;
  sim::SimDesktop desktop{folders.folders};
  sim::SimWindow& opener = desktop.browsers.Open("opener", "http://ads.example/", {});
};

TEST_F(UserClickTest, LinkMatchingWithoutRegardToCaseOpensANewVisibleWindow) {
  Show(Link("http://ads.example/Gallery.html"), "a");
  EXPECT_TRUE(Analyse("HTTP://ADS.EXAMPLE/gallery.HTML", 4, "ignored"));
  ASSERT_EQ(Created().size(), 1u);
  const sim::SimWindow& window = *Created()[0];
  ASSERT_TRUE(window.firstNavigation);
  EXPECT_EQ(window.firstNavigation->address, "HTTP://ADS.EXAMPLE/gallery.HTML");
  EXPECT_EQ(window.firstNavigation->targetFrameName, "_top");
  EXPECT_EQ(window.firstNavigation->flags, std::nullopt) << "a link carries no flags";
  EXPECT_EQ(window.firstNavigation->postData, std::nullopt);
  EXPECT_TRUE(window.features.Visible);
  EXPECT_EQ(Blurs("A#link"), 1);
  EXPECT_TRUE(Navigations("opener").empty());
}

TEST_F(UserClickTest, AreaCountsAsALinkAndADifferentAddressDoesNot) {
  const std::string area = "<map><area id=area href=\"http://ads.example/a\"></map>";
  Show(area, "area");
  EXPECT_TRUE(Analyse("http://ads.example/a"));
  Show(area, "area");
  EXPECT_FALSE(Analyse("http://ads.example/a?popup")) << "whole-text equality only";
  EXPECT_EQ(Blurs("AREA#area"), 1);
  EXPECT_EQ(Created().size(), 1u);
}

TEST_F(UserClickTest, LinkTargetTopLoadsInTheOpenerWithFlagsOnlyForForms) {
  options.LinkTarget = "_top";
  Show(Link("http://ads.example/a"), "a");
  EXPECT_TRUE(Analyse("http://ads.example/a", 64, "q=1"));
  Show(SubmitIn("post", "/cgi-bin/find.pl"), "input");
  EXPECT_TRUE(Analyse("http://ads.example/cgi-bin/find.pl", 64, "q=1"));

  EXPECT_TRUE(Created().empty());
  EXPECT_EQ(Navigations("opener"),
            (std::vector<std::string>{
                "\"http://ads.example/a\" target \"_top\"",
                "\"http://ads.example/cgi-bin/find.pl\" flags 64 post \"q=1\" target \"_top\""}));

  options.LinkTarget = "_TOP";  // only the exact text keeps the opener
  Show(SubmitIn("post", "/cgi-bin/find.pl"), "input");
  EXPECT_TRUE(Analyse("http://ads.example/cgi-bin/find.pl", 64, "q=1"));
  EXPECT_EQ(Created().size(), 1u);
}

TEST_F(UserClickTest, PostFormNeedsNoDataOrSomeDataButNotEmptyData) {
  const std::string submit = SubmitIn("POST", "../cgi-bin/find.pl");
  const std::string url = "http://ads.example/cgi-bin/find.pl";
  Show(submit, "input");
  EXPECT_TRUE(Analyse(url, 0, std::nullopt)) << "no post data at all";
  Show(submit, "input");
  EXPECT_FALSE(Analyse(url, 0, std::string())) << "post data present but empty";
  Show(submit, "input");
  EXPECT_TRUE(Analyse(url, 0, "name=value"));
  EXPECT_EQ(Blurs("INPUT#submit"), 2);
  ASSERT_EQ(Created().size(), 2u);
  const auto& second = *Created()[1]->firstNavigation;
  EXPECT_EQ(second.postData, "name=value");
  EXPECT_EQ(second.flags, 0);
  EXPECT_EQ(second.targetFrameName, "_top");
}

TEST_F(UserClickTest, GetFormNeedsAQuestionMarkInTheAddress) {
  const std::string submit = SubmitIn("get", "/search/");
  Show(submit, "input");
  EXPECT_FALSE(Analyse("http://ads.example/search/results"));
  EXPECT_TRUE(Analyse("http://ads.example/SEARCH?q=velmox"));
  Show(submit, "input");
  EXPECT_FALSE(Analyse("http://ads.example/find?q=velmox")) << "action not in the address";
}

TEST_F(UserClickTest, ActionOfFourCharactersOrFewerIsNeverRecognised) {
  Show(SubmitIn("post", "/a.pl"), "input");
  EXPECT_FALSE(Analyse("http://ads.example/a.pl"));
  Show(SubmitIn("post", "/ab.pl"), "input");
  EXPECT_TRUE(Analyse("http://ads.example/ab.pl"));
}

// An action of a scheme alone occurs in every address of that scheme: a page holding such a
// form would pass every later pop-up off as the user's submission.
TEST_F(UserClickTest, ActionOfASchemeAloneIsNeverRecognised) {
  for (const char* action : {"http://", "HTTPS:/", "http:", "http:///", "view-source:\\"}) {
    Show(SubmitIn("post", action), "input");
    EXPECT_FALSE(Analyse("http://ads.example/popup.html")) << action;
    EXPECT_FALSE(Analyse("https://ads.example/popup.html")) << action;
    Show(SubmitIn("get", action), "input");
    EXPECT_FALSE(Analyse("http://ads.example/popup.html?id=1")) << action;
  }
  EXPECT_EQ(Created().size(), 0u);
  // A scheme with a host is the host's address, and counts.
  Show(SubmitIn("post", "http://ads.example/"), "input");
  EXPECT_TRUE(Analyse("http://ads.example/"));
}

TEST_F(UserClickTest, OnlyPostAndGetFormsAreRecognisedAndNoMethodWrittenIsGet) {
  Show(SubmitIn("put", "/cgi-bin/find.pl"), "input");
  EXPECT_FALSE(Analyse("http://ads.example/cgi-bin/find.pl?x"));
  Show(SubmitIn("", "/cgi-bin/find.pl"), "input");
  EXPECT_TRUE(Analyse("http://ads.example/cgi-bin/find.pl?x"));
}

// Every control the user submits a form with: buttons of each kind, and Enter in a field.
TEST_F(UserClickTest, EveryWayOfSubmittingAFormIsRecognised) {
  const std::string form =
      "<form method=get action=\"/cgi-bin/find.pl\">"
      "<input id=q type=search><input id=pic type=image>"
      "<button id=plain>Find</button><button id=typed type=submit>Go</button>"
      "<button id=other type=button>No</button><input id=box type=checkbox>"
      "</form>";
  for (const char* control : {"#q", "#pic", "#plain", "#typed"}) {
    Show(form, control);
    EXPECT_TRUE(Analyse("http://ads.example/cgi-bin/find.pl?q=1")) << control;
  }
  for (const char* control : {"#other", "#box"}) {
    Show(form, control);
    EXPECT_FALSE(Analyse("http://ads.example/cgi-bin/find.pl?q=1")) << control;
  }
  EXPECT_EQ(Created().size(), 4u);
  // Outside a form these are controls like any other: nothing to recognise, nothing failed.
  for (const char* control :
       {"<button id=b>Go</button>", "<input id=b type=image>", "<input id=b type=text>"}) {
    Show(control, "#b");
    EXPECT_FALSE(Analyse("http://ads.example/cgi-bin/find.pl?q=1")) << control;
  }
}

TEST_F(UserClickTest, ARequestNoUserActionStartedIsNeverTheUsersWhateverHasTheFocus) {
  Show(Link("http://ads.example/advert.html"), "a");
  EXPECT_FALSE(Analyse("http://ads.example/advert.html", 0, std::nullopt, UserAction::No));
  EXPECT_TRUE(Created().empty());
  EXPECT_EQ(Blurs("A#link"), 0);
  EXPECT_TRUE(Analyse("http://ads.example/advert.html", 64, std::nullopt, UserAction::Yes));
}

// An element no longer in a page: its parents end before any BODY.
TEST_F(UserClickTest, SubmitWhoseParentChainEndsBeforeBodyFails) {
  auto div = std::make_unique<sim::HtmlNode>();
  div->tag = "DIV";
  auto input = std::make_unique<sim::HtmlNode>();
  input->tag = "INPUT";
  input->attributes["type"] = "submit";
  input->parent = div.get();
  sim::HtmlNode& loose = *input;
  div->children.push_back(std::move(input));
  opener.document =
      std::make_shared<sim::SimDocument>(opener.location, std::move(div), opener.Scope());
  opener.document->Focus(loose);
  EXPECT_THROW(Analyse("http://ads.example/cgi-bin/find.pl"), PlatformError);
}

TEST_F(UserClickTest, UnreadablePageFails) {
  opener.document = nullptr;
  EXPECT_THROW(Analyse("http://ads.example/"), PlatformError) << "not an HTML document";
  Show(Link("http://ads.example/"), "a");
  opener.Scope()->failCall = [](std::string_view member) { return member == "activeElement"; };
  EXPECT_THROW(Analyse("http://ads.example/"), PlatformError) << "no focused element";
  opener.Scope()->failCall = [](std::string_view member) { return member == "tagName"; };
  EXPECT_THROW(Analyse("http://ads.example/"), PlatformError);
}

struct FramesetTest : UserClickTest {
  // Frame `index` of the opener's page shows `html`, with the focus on its link if it has one.
  void FramePage(std::size_t index, const std::string& html) {
    auto page = Page(html);
    opener.document->Frames().at(index)->Show(page);
    if (sim::HtmlNode* link = sim::QuerySelector(page->Root(), "a")) page->Focus(*link);
  }
};

TEST_F(FramesetTest, FocusedFrameIsFoundByName) {
  Show("<frameset><frame name=nav><frame name=main></frameset>", "frameset");
  FramePage(0, Link("http://ads.example/menu.html", "nav"));
  FramePage(1, Link("http://ads.example/menu.html", "main"));
  Focus(*opener.document, "frame[name=main]");
  EXPECT_TRUE(Analyse("http://ads.example/menu.html"));
  EXPECT_EQ(Blurs("A#main"), 1);
  EXPECT_EQ(Blurs("A#nav"), 0) << "a frame of another name is not looked into";
  EXPECT_EQ(Created().size(), 1u);
}

TEST_F(FramesetTest, UnnamedFramesAreAllExaminedWithoutStoppingEarly) {
  Show("<frameset><frame><frame><frame></frameset>", "frameset");
  FramePage(0, Link("http://ads.example/x.html", "first"));
  FramePage(1, "<p>nothing to click</p>");
  FramePage(2, Link("http://ads.example/x.html", "second"));
  Focus(*opener.document, "frame");
  EXPECT_TRUE(Analyse("http://ads.example/x.html"));
  EXPECT_EQ(Blurs("A#first"), 1);
  EXPECT_EQ(Blurs("A#second"), 1);
  EXPECT_EQ(Created().size(), 2u);
}

TEST_F(FramesetTest, FrameWithoutDocumentFailsAfterEarlierFramesOpened) {
  Show("<frameset><frame><frame></frameset>", "frameset");
  FramePage(0, Link("http://ads.example/x.html"));  // the second frame's page never loaded
  Focus(*opener.document, "frame");
  EXPECT_THROW(Analyse("http://ads.example/x.html"), PlatformError);
  EXPECT_EQ(Created().size(), 1u) << "the window opened before the failure stays";
}

TEST_F(FramesetTest, AFocusedInlineFrameIsLookedInto) {
  Show("<p>news</p><iframe name=inner></iframe>", "iframe");
  FramePage(0, Link("http://ads.example/story.html", "inner"));
  EXPECT_TRUE(Analyse("http://ads.example/story.html"));
  EXPECT_EQ(Blurs("A#inner"), 1);
}

TEST_F(FramesetTest, FramesetFocusWithoutFramesExaminesTheTopElement) {
  Show("<frameset></frameset>", "frameset");
  EXPECT_FALSE(Analyse("http://ads.example/x.html"));
}

// The Windows desktop hands out a new wrapper for every document and frame asked for, held by
// nobody else: the analysis must keep each while it uses it. (A wrapper used after it was let
// go is what AddressSanitizer reports here.)
struct FreshDocument : HtmlDocument {
  explicit FreshDocument(std::shared_ptr<HtmlDocument> real) : real(std::move(real)) {}
  std::shared_ptr<HtmlElement> activeElement() override { return real->activeElement(); }
  int framesLength() override { return real->framesLength(); }
  std::shared_ptr<HtmlFrame> frameItem(int index) override;
  std::shared_ptr<HtmlDocument> real;
};
struct FreshFrame : HtmlFrame {
  explicit FreshFrame(std::shared_ptr<HtmlFrame> real) : real(std::move(real)) {}
  std::string name() override { return real->name(); }
  std::shared_ptr<HtmlDocument> document() override {
    return std::make_shared<FreshDocument>(real->document());
  }
  std::shared_ptr<HtmlFrame> real;
};
std::shared_ptr<HtmlFrame> FreshDocument::frameItem(int index) {
  return std::make_shared<FreshFrame>(real->frameItem(index));
}
struct FreshWindow : sim::SimWindow {
  using SimWindow::SimWindow;
  std::shared_ptr<HtmlDocument> Document() override {
    return std::make_shared<FreshDocument>(SimWindow::Document());
  }
};

TEST_F(FramesetTest, PageObjectsHandedOutAnewOnEveryCallAreHeldWhileUsed) {
  Show("<frameset><frame name=nav><frame name=main></frameset>", "frameset");
  FramePage(0, "<p>menu</p>");
  FramePage(1, Link("http://ads.example/story.html", "main"));
  Focus(*opener.document, "frame[name=main]");
  FreshWindow fresh(desktop.browsers, "fresh", 0, desktop.trace);
  fresh.location = opener.location;
  fresh.document = opener.document;
  EXPECT_TRUE(OpenIfUserAction(options, desktop.browsers, fresh, "http://ads.example/story.html",
                               std::nullopt, std::nullopt));
  EXPECT_EQ(Blurs("A#main"), 1);
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
  auto scope = std::make_shared<sim::WindowScope>();
  auto page = std::make_shared<sim::SimDocument>(
      "http://ads.example/", sim::ParseHtml("<form action=/find><p><input></p></form>"), scope);
  auto element = [&](const char* tag) {
    return std::make_shared<sim::SimElement>(page, *sim::QuerySelector(page->Root(), tag));
  };
  const auto form = LocateParentForm(element("input"));
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->action(), "/find");
  EXPECT_EQ(LocateParentForm(element("form")), nullptr) << "the form itself is not tested";
  scope->failCall = [](std::string_view member) { return member == "parentElement"; };
  EXPECT_EQ(LocateParentForm(element("input")), nullptr);
  EXPECT_EQ(ParentElement(element("input")), nullptr);
  EXPECT_EQ(LocateParentForm(nullptr), nullptr);
}

}  // namespace
}  // namespace velmox
