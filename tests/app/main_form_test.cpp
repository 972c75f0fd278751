#include "app/main_form.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/application.h"
#include "core/platform_error.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_single_instance.h"
#include "support/temp_folder.h"

namespace velmox {
namespace {

using sim::SimDesktop;

class MainFormTest : public ::testing::Test {
 protected:
  test::SimFolderSet folders;
  SimDesktop desktop{folders.folders};
  sim::SimSingleInstance instance{folders.folders.profile / "velmox.lock"};
  std::unique_ptr<Application> app;
  int menusShown = 0;

  void Start() {
    app = std::make_unique<Application>(desktop.Table());
    app->Main(instance);
    ASSERT_NE(app->MainForm(), nullptr);
  }
  Velmox& Form() { return *app->MainForm(); }
  AppState& State() { return app->State(); }
  void Messages(std::initializer_list<std::uint32_t> messages) {
    for (std::uint32_t m : messages)
      app->TrayCallback(m);
  }
  void DoubleClick() { Messages({kLButtonDown, kLButtonUp, kLButtonDblClick, kLButtonUp}); }
  void RightClick() { Messages({kRButtonDown, kRButtonUp}); }
  // Answers every menu with the item of that caption ("" dismisses it).
  void AnswerMenusWith(const std::string& caption) {
    desktop.tray.answerMenu = [this, caption](const PopupMenuModel& menu) {
      ++menusShown;
      const auto found = std::find(menu.items.begin(), menu.items.end(), caption);
      return found == menu.items.end() ? -1 : static_cast<int>(found - menu.items.begin());
    };
  }
  void Option(const char* key, const char* value) {
    desktop.settings.SaveSetting("Velmox", "Options", key, value);
  }
  std::filesystem::path AppFile(const char* name) { return folders.folders.appDir / name; }
  int TraceCount(const std::string& part) {
    const auto& lines = desktop.trace.Lines();
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const std::string& l) {
      return l.find(part) != std::string::npos;
    }));
  }

  void ExpectAgreement(bool on) {
    EXPECT_EQ(State().BlockingOn, on);
    EXPECT_EQ(desktop.tray.Picture(), on ? BulbPicture::On : BulbPicture::Off);
    EXPECT_EQ(Form().Picture1().Picture(), on ? BulbPicture::On : BulbPicture::Off);
    EXPECT_EQ(desktop.tray.Tip(), on ? "Velmox (On)" : "Velmox (Off)");
    EXPECT_EQ(Form().PopMenu().items.at(1), on ? "&Turn Velmox Off" : "&Turn Velmox On");
  }
};

TEST_F(MainFormTest, RightReleaseWithoutRightPressShowsNoMenu) {
  Start();
  AnswerMenusWith("");
  Messages({kRButtonUp});
  Messages(
      {kRButtonDown, kLButtonDown, kRButtonUp});  // a left press in between clears the right one
  Messages({kRButtonDown, kLButtonUp, kRButtonUp});
  EXPECT_EQ(menusShown, 0);
  RightClick();
  Messages({kRButtonUp});  // the press was used up by the first release
  EXPECT_EQ(menusShown, 1);
  Messages({kRButtonDown, kRButtonDblClick,
            kRButtonUp});  // the right double click has no handler and changes nothing
  EXPECT_EQ(menusShown, 2);
  ExpectAgreement(true);
}

TEST_F(MainFormTest, TimersGoOnWhileTheMenuIsOpen) {
  Start();
  Form().DoAlert();
  desktop.tray.answerMenu = [this](const PopupMenuModel&) {
    desktop.clock.Advance(3000);
    return -1;
  };
  RightClick();
  EXPECT_EQ(desktop.tray.Picture(), BulbPicture::On);
}

TEST_F(MainFormTest, NothingReachesTheFormOnceItIsUnloaded) {
  Start();
  Form().DoAlert();
  AnswerMenusWith("&Close Velmox");
  RightClick();
  EXPECT_TRUE(app->Ended());
  const auto lines = desktop.trace.Lines();
  desktop.clock.Advance(10000);
  Messages({kRButtonDown, kRButtonUp, kLButtonDblClick});
  EXPECT_EQ(desktop.trace.Lines(), lines);
  EXPECT_EQ(menusShown, 1);
}

// Auto-close unloads the form while its menu is open: the choice made in that menu is not
// carried out, and the unloaded form neither alerts nor follows a window.
TEST_F(MainFormTest, AFormUnloadedInsideItsMenuStaysUnloaded) {
  Option("AutoClose", "True");
  Start();
  sim::SimWindow& news = desktop.browsers.Open("news", "http://news.example/", {});
  desktop.browsers.Settle();
  desktop.tray.answerMenu = [&](const PopupMenuModel& menu) {
    desktop.browsers.Close(news);
    desktop.browsers.Settle();
    return static_cast<int>(std::find(menu.items.begin(), menu.items.end(), "&Settings...") -
                            menu.items.begin());
  };
  Velmox& form = Form();
  RightClick();
  EXPECT_FALSE(app->Settings().IsLoaded());
  EXPECT_TRUE(app->Ended());

  form.DoAlert();
  EXPECT_FALSE(form.Timer2Enabled());
  EXPECT_EQ(form.AlertCount(), 0);
  EXPECT_FALSE(desktop.browsers.ShellEventsConnected());
  for (int index = 0; index < PageSinks::kCount; ++index)
    EXPECT_TRUE(desktop.browsers.Sink(index)->Handlers().empty()) << index;
}

// Without a stored token every start makes a new one and rewrites the scripts: the trace says
// why.
TEST_F(MainFormTest, ATokenThatCannotBeStoredIsSaid) {
  desktop.settings.failCall = [](std::string_view call, const std::string&) {
    return call == "save";
  };
  Start();
  EXPECT_EQ(TraceCount("store: cannot store Data\\URLPrefix: The settings store could not be"), 1);
  EXPECT_EQ(State().URLPrefix.size(), 10u);
}

// Closed from outside (the session's end, a request to close its window): the dialog closes as
// by the system, storing AutoClose back as it was, then the main form unloads as Close does.
TEST_F(MainFormTest, ClosingFromOutsideClosesTheDialogAsTheSystemThenTheMainForm) {
  Start();
  app->ShowSettingsDialog();
  frmOptions* dialog = app->Settings().Current();
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(dialog->Click("XClose"));
  ASSERT_EQ(desktop.settings.GetSetting("Velmox", "Options", "AutoClose", "<missing>"),
            "<missing>");
  app->Close();
  EXPECT_TRUE(app->Ended());
  EXPECT_FALSE(app->Settings().IsLoaded());
  EXPECT_EQ(desktop.settings.GetSetting("Velmox", "Options", "AutoClose", "<missing>"), "False");
  EXPECT_FALSE(desktop.tray.Shown());
  EXPECT_TRUE(std::filesystem::exists(AppFile("blocksite.script2")));
  EXPECT_FALSE(std::filesystem::exists(AppFile("blocksite.script")));
}

// Only the dialog left (auto-close unloaded the main form): closing ends Velmox all the same.
TEST_F(MainFormTest, ClosingFromOutsideWithOnlyTheDialogLeftEndsVelmox) {
  Start();
  app->ShowSettingsDialog();
  app->UnloadMainForm();
  ASSERT_FALSE(app->Ended());
  app->Close();
  EXPECT_TRUE(app->Ended());
}

TEST_F(MainFormTest, Timer1RunsOnlyWhenAddressBarIsSetAtStart) {
  Start();
  EXPECT_FALSE(Form().Timer1Enabled());
  app.reset();
  Option("AddressBar", "-1");
  Start();
  EXPECT_TRUE(Form().Timer1Enabled());
}

// The alert.

TEST_F(MainFormTest, AlertShowsForThreeSecondsThenTheOnPicture) {
  Start();
  Form().DoAlert();
  EXPECT_EQ(desktop.tray.Picture(), BulbPicture::Alert);
  desktop.clock.Advance(2999);
  EXPECT_EQ(desktop.tray.Picture(), BulbPicture::Alert);
  desktop.clock.Advance(1);
  EXPECT_EQ(desktop.tray.Picture(), BulbPicture::On);
  EXPECT_FALSE(Form().Timer2Enabled());
  desktop.clock.Advance(10000);
  EXPECT_EQ(TraceCount("picture"), 3) << "one flash, not a blinking";
}

// Turning off or on during the alert shows the new state at once; an alert while off ends on
// the off picture.
TEST_F(MainFormTest, AlertEndsOnThePictureOfTheOnOffState) {
  Start();
  Form().DoAlert();
  desktop.clock.Advance(1000);
  DoubleClick();
  ExpectAgreement(false);
  EXPECT_FALSE(Form().Timer2Enabled());
  desktop.clock.Advance(5000);
  ExpectAgreement(false);

  Form().DoAlert();
  EXPECT_EQ(desktop.tray.Picture(), BulbPicture::Alert);
  desktop.clock.Advance(3000);
  ExpectAgreement(false);

  Form().DoAlert();
  Form().OnOff();
  ExpectAgreement(true);
  desktop.clock.Advance(3000);
  ExpectAgreement(true);
}

TEST_F(MainFormTest, TwoAlertsWithinThreeSecondsMakeOneFlash) {
  Start();
  Form().DoAlert();
  desktop.clock.Advance(2000);
  Form().DoAlert();
  desktop.clock.Advance(999);
  EXPECT_EQ(desktop.tray.Picture(), BulbPicture::Alert);
  desktop.clock.Advance(3000);
  EXPECT_EQ(desktop.tray.Picture(), BulbPicture::On);
  EXPECT_EQ(TraceCount("alert picture"), 1);
}

// The bulb flashes only with BlinkLightBulb; the sound plays only with PlayASound and an
// existing file, and a missing file is silent.
TEST_F(MainFormTest, AlertDoesWhatTheOptionsSay) {
  test::WriteRealFile(AppFile("sounds/cork.wav"), "RIFF....WAVE");
  Start();
  const std::string cork = "C:\\Program Files\\Velmox\\sounds\\cork.wav";
  struct Case {
    bool blink, sound;
    std::string file;
    BulbPicture picture;
    std::size_t played;
  };
  const Case cases[] = {
      {false, false, cork, BulbPicture::On, 0},
      {false, true, cork, BulbPicture::On, 1},
      {true, true, "C:\\Program Files\\Velmox\\sounds\\none.wav", BulbPicture::Alert, 0},
  };
  for (const Case& c : cases) {
    State().OptionValues.BlinkLightBulb = c.blink;
    State().OptionValues.PlayASound = c.sound;
    State().OptionValues.SoundFileName = c.file;
    desktop.sound.played.clear();
    Form().DoAlert();
    EXPECT_EQ(desktop.tray.Picture(), c.picture) << c.blink << c.sound;
    EXPECT_EQ(Form().Timer2Enabled(), c.blink);
    EXPECT_EQ(desktop.sound.played.size(), c.played);
    EXPECT_TRUE(desktop.messageBoxes.shown.empty());
    desktop.clock.Advance(3000);
  }
  EXPECT_EQ(TraceCount("default sound"), 0);
}

}  // namespace
}  // namespace velmox

namespace velmox {
namespace {

// A simulated desktop with some services failing.
class FailingServicesTest : public ::testing::Test {
 protected:
  test::SimFolderSet folders;
  SimDesktop desktop{folders.folders};
  sim::SimSingleInstance instance{folders.folders.profile / "velmox.lock"};
  Application app{desktop.Table()};
};

TEST_F(FailingServicesTest, FailingAlertStepIsSkipped) {
  test::WriteRealFile(folders.folders.appDir / "sounds/cork.wav", "RIFF....WAVE");
  int calls = 0;
  desktop.sound.failCall = [&] { return ++calls == 1; };
  app.Main(instance);
  app.State().OptionValues.PlayASound = true;
  app.MainForm()->DoAlert();
  EXPECT_EQ(desktop.sound.played, std::vector<std::string>{app.State().OptionValues.SoundFileName});
  EXPECT_EQ(desktop.tray.Picture(), BulbPicture::Alert);
}

TEST_F(FailingServicesTest, FailingMenuLeavesTheIconWorking) {
  int menus = 0;
  desktop.tray.answerMenu = [&](const PopupMenuModel&) -> int {
    ++menus;
    throw PlatformError(1401, "Invalid menu handle");
  };
  app.Main(instance);
  EXPECT_NO_THROW(app.TrayCallback(kRButtonDown));
  EXPECT_NO_THROW(app.TrayCallback(kRButtonUp));
  EXPECT_EQ(menus, 1);
  EXPECT_FALSE(app.MainForm()->TrayIcon().Busy());
  app.TrayCallback(kLButtonDblClick);
  EXPECT_FALSE(app.State().BlockingOn);
  EXPECT_EQ(desktop.tray.Picture(), BulbPicture::Off);
}

}  // namespace
}  // namespace velmox
