#include "ui/ctray.h"

#include <gtest/gtest.h>

#include "core/platform_error.h"
#include "platform/sim/sim_tray.h"

namespace velmox {
namespace {

class CTrayTest : public ::testing::Test {
 protected:
  sim::Trace trace{[] { return std::int64_t{0}; }};
  sim::SimTray shell{trace};
  PictureBox box{shell, BulbPicture::On};
  CTray tray{shell};
  std::vector<std::string> raised;

  void RecordEvents() {
    auto record = [this](const char* name) { return [this, name] { raised.push_back(name); }; };
    tray.events.RButtonDown = record("RButtonDown");
    tray.events.Rbuttonup = record("Rbuttonup");
    tray.events.RButtonDblClick = record("RButtonDblClick");
    tray.events.Lbuttondown = record("Lbuttondown");
    tray.events.LButtonUp = record("LButtonUp");
    tray.events.LButtonDblClick = record("LButtonDblClick");
  }
  std::string Tip(std::string_view text) {
    tray.TipText(text);
    return tray.TipText();
  }
};

TEST_F(CTrayTest, PicBoxTakesWindowAndIconWithoutCallingTheShell) {
  tray.PicBox(box);
  EXPECT_EQ(tray.Record().hWnd, sim::SimTray::kCallbackWindow);
  EXPECT_EQ(tray.Record().hIcon, shell.PictureHandle(BulbPicture::On));
  EXPECT_EQ(shell.LastRecord().cbSize, 0u) << "the shell was called";
}

TEST_F(CTrayTest, ShowIconBeforePicBoxAddsNothing) {
  EXPECT_FALSE(tray.ShowIcon());
  EXPECT_FALSE(shell.Shown());
  EXPECT_EQ(shell.LastRecord().cbSize, 0u);
}

TEST_F(CTrayTest, TipFieldHoldsTextNulAndBlanks) {
  EXPECT_EQ(Tip("abc"), std::string("abc") + '\0' + std::string(60, ' '));
  EXPECT_EQ(Tip(""), std::string(1, '\0') + std::string(63, ' '));

  const std::string sixtyThree(63, 'x');
  EXPECT_EQ(Tip(sixtyThree), sixtyThree + '\0');

  const std::string sixtyFour(64, 'y');
  EXPECT_EQ(Tip(sixtyFour), sixtyFour);
  EXPECT_EQ(Tip(sixtyFour + "zzz"), sixtyFour);
  // A shorter text after a longer one leaves nothing of the old text behind.
  EXPECT_EQ(Tip("ab"), std::string("ab") + '\0' + std::string(61, ' '));
}

TEST_F(CTrayTest, PictureChangeWhileNotShownOnlyChangesTheRecordUsedByTheNextAdd) {
  tray.PicBox(box);
  tray.TipText("t");
  tray.ShowIcon();
  tray.DeleteIcon();
  box.SetPicture(BulbPicture::Off);
  EXPECT_EQ(tray.Record().hIcon, shell.PictureHandle(BulbPicture::Off));
  EXPECT_FALSE(shell.Shown());
  EXPECT_TRUE(tray.ShowIcon());
  EXPECT_EQ(shell.Picture(), BulbPicture::Off);
  EXPECT_EQ(shell.Tip(), "t");
}
TEST(CTrayLifetime, DestructionRemovesTheIconAndLetsGoOfTheBox) {
  sim::Trace trace{[] { return std::int64_t{0}; }};
  sim::SimTray shell{trace};
  PictureBox box{shell, BulbPicture::On};
  PictureBox other{shell, BulbPicture::On};
  {
    CTray tray{shell};
    tray.PicBox(other);
    tray.PicBox(box);
    EXPECT_FALSE(other.Change) << "the first box is let go when a second is given";
    tray.ShowIcon();
  }
  EXPECT_FALSE(shell.Shown());
  EXPECT_FALSE(box.Change);
  box.SetPicture(BulbPicture::Off);  // reaches no destroyed tray
}

TEST_F(CTrayTest, MessagesRaiseTheirEventsAndOthersNothing) {
  RecordEvents();
  for (std::uint32_t m : {516u, 517u, 518u, 513u, 514u, 515u, 0u, 512u, 519u, 520u, 0x7FFFFFFFu})
    tray.CallbackMessage(m);
  EXPECT_EQ(raised, (std::vector<std::string>{"RButtonDown", "Rbuttonup", "RButtonDblClick",
                                              "Lbuttondown", "LButtonUp", "LButtonDblClick"}));
}
TEST_F(CTrayTest, MouseMoveRoundsHalvesToEven) {
  RecordEvents();
  tray.MouseMove(7665, 15);  // 511
  EXPECT_TRUE(raised.empty());
  tray.MouseMove(513.5 * 15, 15);  // 514
  tray.MouseMove(514.5 * 15, 15);  // 514
  tray.MouseMove(515.5 * 15, 15);  // 516
  tray.MouseMove(516.5 * 15, 15);  // 516
  tray.MouseMove(512.5 * 15, 15);  // 512: nothing
  tray.MouseMove(517.49 * 15, 15);
  tray.MouseMove(7740, 15);  // 516 exactly
  tray.MouseMove(513 * 12, 12);
  tray.MouseMove(7695, 0);  // no scale: nothing
  tray.MouseMove(7695, -15);
  tray.MouseMove(-513 * 15.0, 15);
  EXPECT_EQ(raised,
            (std::vector<std::string>{"LButtonUp", "LButtonUp", "RButtonDown", "RButtonDown",
                                      "Rbuttonup", "RButtonDown", "Lbuttondown"}));
}

TEST_F(CTrayTest, FailingHandlerStillClearsTheBusyFlag) {
  tray.CallbackMessage(518);  // no handler connected
  EXPECT_FALSE(tray.Busy());
  RecordEvents();
  tray.events.LButtonDblClick = [] { throw PlatformError(5, "boom"); };
  EXPECT_THROW(tray.CallbackMessage(515), PlatformError);
  EXPECT_FALSE(tray.Busy());
  tray.CallbackMessage(513);
  EXPECT_EQ(raised, std::vector<std::string>{"Lbuttondown"});
}

}  // namespace
}  // namespace velmox
