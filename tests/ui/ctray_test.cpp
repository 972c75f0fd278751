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
  for (std::uint32_t m :
       {kRButtonDown, kRButtonUp, kRButtonDblClick, kLButtonDown, kLButtonUp, kLButtonDblClick})
    tray.CallbackMessage(m);
  for (std::uint32_t m : {0u, kMouseMove, kRButtonDblClick + 1u, 0x7FFFFFFFu})
    tray.CallbackMessage(m);
  EXPECT_EQ(raised, (std::vector<std::string>{"RButtonDown", "Rbuttonup", "RButtonDblClick",
                                              "Lbuttondown", "LButtonUp", "LButtonDblClick"}));
}
TEST_F(CTrayTest, MouseMoveRoundsHalvesToEven) {
  RecordEvents();
  tray.MouseMove((kMouseMove - 1) * 15, 15);
  EXPECT_TRUE(raised.empty());
  tray.MouseMove((kLButtonDown + 0.5) * 15, 15);      // up
  tray.MouseMove((kLButtonUp + 0.5) * 15, 15);        // up
  tray.MouseMove((kLButtonDblClick + 0.5) * 15, 15);  // right down
  tray.MouseMove((kRButtonDown + 0.5) * 15, 15);      // right down
  tray.MouseMove((kMouseMove + 0.5) * 15, 15);        // the move itself: nothing
  tray.MouseMove((kRButtonUp + 0.49) * 15, 15);
  tray.MouseMove(kRButtonDown * 15.0, 15);
  tray.MouseMove(kLButtonDown * 12.0, 12);
  tray.MouseMove(kLButtonDown * 15.0, 0);  // no scale: nothing
  tray.MouseMove(kLButtonDown * 15.0, -15);
  tray.MouseMove(-15.0 * kLButtonDown, 15);
  EXPECT_EQ(raised,
            (std::vector<std::string>{"LButtonUp", "LButtonUp", "RButtonDown", "RButtonDown",
                                      "Rbuttonup", "RButtonDown", "Lbuttondown"}));
}

TEST_F(CTrayTest, FailingHandlerStillClearsTheBusyFlag) {
  tray.CallbackMessage(kRButtonDblClick);  // no handler connected
  EXPECT_FALSE(tray.Busy());
  RecordEvents();
  tray.events.LButtonDblClick = [] { throw PlatformError(5, "boom"); };
  EXPECT_THROW(tray.CallbackMessage(kLButtonDblClick), PlatformError);
  EXPECT_FALSE(tray.Busy());
  tray.CallbackMessage(kLButtonDown);
  EXPECT_EQ(raised, std::vector<std::string>{"Lbuttondown"});
}

}  // namespace
}  // namespace velmox
