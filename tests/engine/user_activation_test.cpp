// Where the desktop sees the user's trusted input, the user's last activation decides, not the
// focus.
#include <gtest/gtest.h>

#include "engine/user_click.h"
#include "platform/sim/sim_desktop.h"
#include "support/temp_folder.h"

namespace velmox {
namespace {

// A window of a desktop that records the user's activations.
struct InputWindow : sim::SimWindow {
  using SimWindow::SimWindow;
  std::optional<UserActivation> LastUserActivation() override { return activation; }
  void ConsumeUserActivation() override { activation->kind = UserActivation::Kind::None; }
  std::optional<UserActivation> activation = UserActivation{};
};

UserActivation Activation(UserActivation::Kind kind, const std::string& address,
                          const std::string& method = "", double secondsAgo = 0.1) {
  return UserActivation{kind, address, method, secondsAgo};
}

struct UserActivationTest : ::testing::Test {
  UserActivationTest() {
    options.LinkTarget = "_blank";
    opener.location = "http://site.example/";
    // The focus rests on a link to every address asked for below: it must not count.
    opener.document = std::make_shared<sim::SimDocument>(
        opener.location, sim::ParseHtml("<a href=\"http://ads.example/advert.html\">ad</a>"),
        opener.Scope());
    opener.document->Focus(*sim::QuerySelector(opener.document->Root(), "a"));
  }
  bool Analyse(const std::string& url, std::optional<std::string> postData = std::nullopt,
               UserAction startedBy = UserAction::Yes) {
    return OpenIfUserAction(options, desktop.browsers, opener, url, 64, postData, startedBy);
  }
  std::size_t Created() const { return desktop.browsers.newWindows.size(); }

  OptionRecord options;
  test::SimFolderSet folders;
  sim::SimDesktop desktop{folders.folders};
  InputWindow opener{desktop.browsers, "opener", 0, desktop.trace};
};

TEST_F(UserActivationTest, TheFocusDoesNotCountWhereTheUsersInputIsSeen) {
  EXPECT_FALSE(Analyse("http://ads.example/advert.html"));
  opener.activation = Activation(UserActivation::Kind::Link, "http://site.example/text.html");
  EXPECT_FALSE(Analyse("http://ads.example/advert.html"));
  EXPECT_EQ(Created(), 0u);
}

TEST_F(UserActivationTest, TheLinkTheUserClickedOpensOneWindowOnly) {
  opener.activation = Activation(UserActivation::Kind::Link, "http://site.example/Story.html");
  EXPECT_TRUE(Analyse("HTTP://SITE.EXAMPLE/story.html"));
  EXPECT_FALSE(Analyse("HTTP://SITE.EXAMPLE/story.html")) << "the click is used up";
  ASSERT_EQ(Created(), 1u);
  EXPECT_EQ(desktop.browsers.newWindows[0]->firstNavigation->flags, std::nullopt);
}

TEST_F(UserActivationTest, AnActivationCountsForThreeSeconds) {
  const std::string story = "http://site.example/story.html";
  opener.activation = Activation(UserActivation::Kind::Link, story, "", 3.5);
  EXPECT_FALSE(Analyse(story));
  opener.activation = Activation(UserActivation::Kind::Link, story, "", -1);
  EXPECT_FALSE(Analyse(story)) << "a time that makes no sense";
  opener.activation = Activation(UserActivation::Kind::Link, story, "", 2.9);
  EXPECT_TRUE(Analyse(story));
}

TEST_F(UserActivationTest, ARequestNoUserActionStartedNeverCounts) {
  opener.activation = Activation(UserActivation::Kind::Link, "http://site.example/story.html");
  EXPECT_FALSE(Analyse("http://site.example/story.html", std::nullopt, UserAction::No));
  EXPECT_TRUE(Analyse("http://site.example/story.html", std::nullopt, UserAction::Unknown));
}

TEST_F(UserActivationTest, AFormSubmissionMustBeTheRequestItself) {
  const std::string result = "http://site.example/result.html?q=velmox";
  opener.activation = Activation(UserActivation::Kind::Form, result, "get");
  EXPECT_FALSE(Analyse("http://site.example/result.html?q=advert"));
  EXPECT_FALSE(Analyse(result, "q=velmox")) << "a GET sends no post data";
  EXPECT_TRUE(Analyse(result));

  const std::string order = "http://site.example/order.pl";
  opener.activation = Activation(UserActivation::Kind::Form, order, "post");
  EXPECT_FALSE(Analyse(order)) << "a POST sends its data";
  EXPECT_TRUE(Analyse(order, "item=lamp"));
  ASSERT_EQ(Created(), 2u);
  EXPECT_EQ(desktop.browsers.newWindows[1]->firstNavigation->postData, "item=lamp");
}

// Where the browser still holds the window the page asked for, that window goes on, and Velmox
// opens none of its own; where it cannot, Velmox opens one as before.
TEST_F(UserActivationTest, TheUsersWindowGoesOnWhereTheBrowserHoldsIt) {
  const std::string order = "http://site.example/order.pl";
  std::vector<NavigateArgs> wentOn;
  bool canGoOn = true;
  const LetCapturedWindowGoOn capturedWindow = [&](const NavigateArgs& navigation) {
    wentOn.push_back(navigation);
    return canGoOn;
  };
  opener.activation = Activation(UserActivation::Kind::Form, order, "post");
  EXPECT_TRUE(OpenIfUserAction(options, desktop.browsers, opener, order, 64, "item=lamp",
                               UserAction::Yes, capturedWindow));
  ASSERT_EQ(wentOn.size(), 1u);
  EXPECT_EQ(wentOn[0].url, order);
  EXPECT_EQ(wentOn[0].flags, 64);
  EXPECT_EQ(wentOn[0].postData, "item=lamp");
  EXPECT_EQ(Created(), 0u);

  canGoOn = false;
  opener.activation = Activation(UserActivation::Kind::Form, order, "post");
  EXPECT_TRUE(OpenIfUserAction(options, desktop.browsers, opener, order, 64, "item=lamp",
                               UserAction::Yes, capturedWindow));
  EXPECT_EQ(Created(), 1u) << "the window it could not let go on is opened anew";

  // LinkTarget "_top" loads the address in the opener; the captured window is not asked.
  options.LinkTarget = "_top";
  opener.activation = Activation(UserActivation::Kind::Link, "http://site.example/story.html");
  EXPECT_TRUE(OpenIfUserAction(options, desktop.browsers, opener, "http://site.example/story.html",
                               64, std::nullopt, UserAction::Yes, capturedWindow));
  EXPECT_EQ(wentOn.size(), 2u);
  EXPECT_EQ(Created(), 1u);
}

}  // namespace
}  // namespace velmox
