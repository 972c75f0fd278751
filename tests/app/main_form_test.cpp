#include "app/main_form.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/application.h"
#include "platform/platform_error.h"
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
  void DoubleClick() { Messages({513, 514, 515, 514}); }
  void RightClick() { Messages({516, 517}); }
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

TEST_F(MainFormTest, StartShowsTheOnBulbWithItsTipAndMenu) {
  Start();
  EXPECT_TRUE(desktop.tray.Shown());
  ExpectAgreement(true);
  EXPECT_EQ(Form().PopMenu().items,
            (std::vector<std::string>{"&Settings...", "&Turn Velmox Off", "-", "&Close Velmox"}));
  EXPECT_EQ(Form().PopMenu().defaultItem, 1);
  EXPECT_EQ(Form().PopMenu().caption, "Pop-Up Menu");
  // The icon is added once, already with its tip: no tip change follows the add.
  EXPECT_EQ(
      desktop.trace.Lines(),
      std::vector<std::string>{"[     0.000] tray: icon added, on picture, tip \"Velmox (On)\""});
}

TEST_F(MainFormTest, PictureTipAndCaptionAgreeAfterAnyNumberOfToggles) {
  Start();
  AnswerMenusWith("");
  bool on = true;
  for (int i = 0; i < 7; ++i) {
    switch (i % 3) {
      case 0:
        DoubleClick();
        break;
      case 1:
        AnswerMenusWith(on ? "&Turn Velmox Off" : "&Turn Velmox On");
        RightClick();
        break;
      case 2:
        Form().OnOff();
        break;
    }
    on = !on;
    SCOPED_TRACE(i);
    ExpectAgreement(on);
  }
}

TEST_F(MainFormTest, DoubleClickTogglesExactlyOnce) {
  Start();
  DoubleClick();
  ExpectAgreement(false);
  DoubleClick();
  ExpectAgreement(true);
  Messages({513, 514});  // a single left click does nothing
  ExpectAgreement(true);
}

TEST_F(MainFormTest, RightClickShowsTheMenuWithItsDefault) {
  Start();
  AnswerMenusWith("");
  RightClick();
  EXPECT_EQ(menusShown, 1);
  ASSERT_TRUE(desktop.tray.LastMenu());
  EXPECT_EQ(desktop.tray.LastMenu()->defaultItem, 1);
  ExpectAgreement(true);  // dismissing changes nothing
}

TEST_F(MainFormTest, RightReleaseWithoutRightPressShowsNoMenu) {
  Start();
  AnswerMenusWith("");
  Messages({517});
  Messages({516, 513, 517});  // a left press in between clears the right one
  Messages({516, 514, 517});
  EXPECT_EQ(menusShown, 0);
  RightClick();
  Messages({517});  // the press was used up by the first release
  EXPECT_EQ(menusShown, 1);
  Messages({516, 518, 517});  // the right double click has no handler and changes nothing
  EXPECT_EQ(menusShown, 2);
}

TEST_F(MainFormTest, ClicksWhileTheMenuIsOpenAreDropped) {
  Start();
  desktop.tray.answerMenu = [this](const PopupMenuModel&) {
    ++menusShown;
    DoubleClick();
    RightClick();
    return 1;  // "&Turn Velmox Off"
  };
  RightClick();
  EXPECT_EQ(menusShown, 1);
  ExpectAgreement(false);
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

TEST_F(MainFormTest, CloseRemovesTheIconAndEnds) {
  Start();
  AnswerMenusWith("&Close Velmox");
  RightClick();
  EXPECT_TRUE(app->Ended());
  EXPECT_EQ(app->MainForm(), nullptr);
  EXPECT_FALSE(desktop.tray.Shown());
  Messages({516, 517, 515});  // a late click reaches no form
  EXPECT_EQ(menusShown, 1);
}

TEST_F(MainFormTest, SecondInstanceEndsAtOnceAndLeavesTheFirstAlone) {
  Start();
  const auto lines = desktop.trace.Lines();
  sim::SimSingleInstance otherLock(folders.folders.profile / "velmox.lock");
  Application second(desktop.Table());
  second.Main(otherLock);
  EXPECT_TRUE(second.Ended());
  EXPECT_EQ(second.MainForm(), nullptr);
  EXPECT_EQ(desktop.trace.Lines(), lines);
  EXPECT_FALSE(app->Ended());
  ExpectAgreement(true);
}

TEST_F(MainFormTest, SettingsAreLoadedAtStart) {
  Option("BlinkLightBulb", "False");
  Option("LinkTarget", "_top");
  Start();
  EXPECT_FALSE(State().OptionValues.BlinkLightBulb);
  EXPECT_EQ(State().OptionValues.LinkTarget, "_top");
  EXPECT_EQ(State().URLPrefix.size(), 10u);
  EXPECT_EQ(desktop.settings.GetSetting("Velmox", "Data", "URLPrefix", ""), State().URLPrefix);
}

TEST_F(MainFormTest, Timer1FollowsAddressBarAtStart) {
  Start();
  EXPECT_FALSE(Form().Timer1Enabled());
  desktop.clock.Advance(60000);
  EXPECT_FALSE(Form().Timer1Enabled());
  EXPECT_EQ(desktop.trace.Lines().size(), 1u);

  test::SimFolderSet other;
  SimDesktop withAddressBar(other.folders);
  withAddressBar.settings.SaveSetting("Velmox", "Options", "AddressBar", "-1");
  sim::SimSingleInstance lock(other.folders.profile / "velmox.lock");
  Application run(withAddressBar.Table());
  run.Main(lock);
  EXPECT_TRUE(run.MainForm()->Timer1Enabled());
}

// The alert.

TEST_F(MainFormTest, AlertShowsForThreeSecondsThenTheOnPicture) {
  Start();
  Form().DoAlert();
  EXPECT_EQ(desktop.tray.Picture(), BulbPicture::Alert);
  EXPECT_TRUE(Form().Timer2Enabled());
  desktop.clock.Advance(2999);
  EXPECT_EQ(desktop.tray.Picture(), BulbPicture::Alert);
  desktop.clock.Advance(1);
  EXPECT_EQ(desktop.tray.Picture(), BulbPicture::On);
  EXPECT_FALSE(Form().Timer2Enabled());
  desktop.clock.Advance(10000);
  EXPECT_EQ(TraceCount("picture"), 3) << "one flash, not a blinking";
}

TEST_F(MainFormTest, TurningOffDuringTheAlertShowsOffAtOnceAndKeepsIt) {
  Start();
  Form().DoAlert();
  desktop.clock.Advance(1000);
  DoubleClick();
  ExpectAgreement(false);
  EXPECT_FALSE(Form().Timer2Enabled());
  desktop.clock.Advance(5000);
  ExpectAgreement(false);
}

TEST_F(MainFormTest, TurningOnDuringTheAlertShowsOn) {
  Start();
  Form().OnOff();
  Form().DoAlert();
  Form().OnOff();
  ExpectAgreement(true);
  desktop.clock.Advance(3000);
  ExpectAgreement(true);
}

TEST_F(MainFormTest, AlertWhileOffEndsOnTheOffPicture) {
  Start();
  Form().OnOff();
  Form().DoAlert();
  EXPECT_EQ(desktop.tray.Picture(), BulbPicture::Alert);
  desktop.clock.Advance(3000);
  ExpectAgreement(false);
  EXPECT_EQ(TraceCount("on picture"), 1) << "only the add showed the on picture";
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
  EXPECT_FALSE(Form().Timer2Enabled());
  EXPECT_EQ(TraceCount("alert picture"), 1);
}

TEST_F(MainFormTest, AlertWithBothOptionsOffChangesNothing) {
  Start();
  State().OptionValues.BlinkLightBulb = false;
  State().OptionValues.PlayASound = false;
  const auto lines = desktop.trace.Lines();
  Form().DoAlert();
  EXPECT_EQ(desktop.trace.Lines(), lines);
  EXPECT_FALSE(Form().Timer2Enabled());
  EXPECT_EQ(desktop.tray.Picture(), BulbPicture::On);
}

TEST_F(MainFormTest, AlertPlaysTheSoundFile) {
  test::WriteRealFile(AppFile("sounds/cork.wav"), "RIFF....WAVE");
  Option("PlayASound", "True");
  Option("BlinkLightBulb", "False");
  Start();
  Form().DoAlert();
  EXPECT_EQ(desktop.sound.played,
            std::vector<std::string>{"C:\\Program Files\\Velmox\\sounds\\cork.wav"});
  EXPECT_EQ(desktop.tray.Picture(), BulbPicture::On);
  EXPECT_FALSE(Form().Timer2Enabled());
}

TEST_F(MainFormTest, MissingSoundFileIsSilentAndTheBulbStillFlashes) {
  Option("PlayASound", "True");
  Option("SoundFileName", "C:\\Program Files\\Velmox\\sounds\\none.wav");
  Start();
  Form().DoAlert();
  EXPECT_TRUE(desktop.sound.played.empty());
  EXPECT_EQ(TraceCount("default sound"), 0);
  EXPECT_TRUE(desktop.messageBoxes.shown.empty());
  EXPECT_EQ(desktop.tray.Picture(), BulbPicture::Alert);
}

TEST_F(MainFormTest, NoTickReachesAnUnloadedForm) {
  Start();
  Form().DoAlert();
  app->UnloadMainForm();
  const auto lines = desktop.trace.Lines();
  desktop.clock.Advance(10000);
  EXPECT_EQ(desktop.trace.Lines(), lines);
  EXPECT_FALSE(desktop.tray.Shown());
}

// The context-menu scripts' names.

TEST_F(MainFormTest, ScriptsTakeActiveNamesWhileRunning) {
  test::WriteRealFile(AppFile("blocksite.script2"), "block");
  test::WriteRealFile(AppFile("trustsite.script2"), "trust");
  Start();
  EXPECT_EQ(test::ReadRealFile(AppFile("blocksite.script")), "block");
  EXPECT_EQ(test::ReadRealFile(AppFile("trustsite.script")), "trust");
  EXPECT_FALSE(std::filesystem::exists(AppFile("blocksite.script2")));
  EXPECT_FALSE(std::filesystem::exists(AppFile("trustsite.script2")));
  app->UnloadMainForm();
  EXPECT_EQ(test::ReadRealFile(AppFile("blocksite.script2")), "block");
  EXPECT_EQ(test::ReadRealFile(AppFile("trustsite.script2")), "trust");
  EXPECT_FALSE(std::filesystem::exists(AppFile("blocksite.script")));
  EXPECT_FALSE(std::filesystem::exists(AppFile("trustsite.script")));
}

TEST_F(MainFormTest, ActiveScriptLeftByAnAbruptEndIsUsed) {
  test::WriteRealFile(AppFile("blocksite.script"), "left over");
  test::WriteRealFile(AppFile("trustsite.script2"), "trust");
  Start();
  EXPECT_EQ(test::ReadRealFile(AppFile("blocksite.script")), "left over");
  EXPECT_EQ(test::ReadRealFile(AppFile("trustsite.script")), "trust") << "the next rename runs";
  ExpectAgreement(true);
}

TEST_F(MainFormTest, BothNamesPresentStayAsTheyAre) {
  test::WriteRealFile(AppFile("blocksite.script"), "active");
  test::WriteRealFile(AppFile("blocksite.script2"), "inactive");
  Start();
  EXPECT_EQ(test::ReadRealFile(AppFile("blocksite.script")), "active");
  EXPECT_EQ(test::ReadRealFile(AppFile("blocksite.script2")), "inactive");
}

TEST_F(MainFormTest, InactiveNameTakenAtCloseKeepsTheActiveName) {
  test::WriteRealFile(AppFile("blocksite.script2"), "block");
  test::WriteRealFile(AppFile("trustsite.script2"), "trust");
  Start();
  test::WriteRealFile(AppFile("blocksite.script2"), "another");
  AnswerMenusWith("&Close Velmox");
  RightClick();
  EXPECT_TRUE(app->Ended());
  EXPECT_EQ(test::ReadRealFile(AppFile("blocksite.script")), "block");
  EXPECT_EQ(test::ReadRealFile(AppFile("blocksite.script2")), "another");
  EXPECT_EQ(test::ReadRealFile(AppFile("trustsite.script2")), "trust");
  EXPECT_FALSE(desktop.tray.Shown()) << "the icon is removed after a failed rename";
}

}  // namespace
}  // namespace velmox

namespace velmox {
namespace {

// A simulated desktop with some services failing.
struct FailingSound : Sound {
  int calls = 0;
  std::vector<std::string> played;
  bool sndPlaySoundA(const std::string& name, unsigned) override {
    if (++calls == 1) throw PlatformError(5, "no sound device");
    played.push_back(name);
    return true;
  }
};

struct FailingMenuTray : sim::SimTray {
  using SimTray::SimTray;
  int menus = 0;
  int TrackPopupMenu(const PopupMenuModel&) override {
    ++menus;
    throw PlatformError(1401, "Invalid menu handle");
  }
};

class FailingServicesTest : public ::testing::Test {
 protected:
  test::SimFolderSet folders;
  SimDesktop base{folders.folders};
  FailingSound sound;
  FailingMenuTray tray{base.trace};
  Desktop desktop{base.settings,
                  base.files,
                  base.clock,
                  tray,
                  sound,
                  base.messageBoxes,
                  base.shell,
                  base.keyboard,
                  base.clock,
                  base.random,
                  base.process,
                  base.browsers,
                  base.fileDialogs,
                  base.settingsWindow,
                  base.Folders().virtualAppFolder};
  sim::SimSingleInstance instance{folders.folders.profile / "velmox.lock"};
  Application app{desktop};
};

TEST_F(FailingServicesTest, FailingAlertStepIsSkipped) {
  app.Main(instance);
  app.State().OptionValues.PlayASound = true;
  app.MainForm()->DoAlert();
  EXPECT_EQ(sound.played, std::vector<std::string>{app.State().OptionValues.SoundFileName});
  EXPECT_EQ(tray.Picture(), BulbPicture::Alert);
}

TEST_F(FailingServicesTest, FailingMenuLeavesTheIconWorking) {
  app.Main(instance);
  EXPECT_NO_THROW(app.TrayCallback(516));
  EXPECT_NO_THROW(app.TrayCallback(517));
  EXPECT_EQ(tray.menus, 1);
  EXPECT_FALSE(app.MainForm()->TrayIcon().Busy());
  app.TrayCallback(515);
  EXPECT_FALSE(app.State().BlockingOn);
  EXPECT_EQ(tray.Picture(), BulbPicture::Off);
}

}  // namespace
}  // namespace velmox
