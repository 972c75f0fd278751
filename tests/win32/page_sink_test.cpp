#include "platform/win32/page_sink_control.h"

#include <gtest/gtest.h>

#include "platform/win32/scoped_win.h"
#include "win32/win_test_support.h"

namespace velmox::win32 {
namespace {

struct CancellingEvents : BrowserEvents {
  std::vector<std::string> urls;
  std::vector<std::optional<std::string>> postData;
  void BeforeNavigate2(BeforeNavigate2Args& args) override {
    urls.push_back(args.URL);
    postData.push_back(args.PostData);
    args.Cancel = true;
  }
  void NewWindow2(std::shared_ptr<Dispatch>&, bool& Cancel, UserAction) override { Cancel = true; }
};

// A connected sink's events, once its own navigation to its starting address has been heard.
void ConnectAndHearTheStart(WinPageSinkControl& sink, CancellingEvents& events,
                            std::unique_ptr<Connection>& connection) {
  connection = sink.Connect(events);
  ASSERT_TRUE(test::PumpUntil([&] { return !events.urls.empty(); }, std::chrono::seconds(10)));
  ASSERT_EQ("http:///", events.urls[0]);
  events.urls.clear();
  events.postData.clear();
}

// Its own first navigation comes once the control is listened to, so the handler hears it.
TEST(PageSinkTest, AHostedControlReportsAndCancelsANavigationMadeOnIt) {
  OleSession ole;
  NewWindowGate gate;
  WinPageSinkControl sink(0, gate);
  CancellingEvents events;
  std::unique_ptr<Connection> connection;
  ConnectAndHearTheStart(sink, events, connection);

  ASSERT_NE(nullptr, RawDispatchOf(sink.Object().get()));
  sink.Browser().Navigate(NavigateArgs{"http://velmox.invalid/popup.html", {}, {}, {}});
  ASSERT_TRUE(test::PumpUntil([&] { return !events.urls.empty(); }, std::chrono::seconds(10)));
  EXPECT_EQ("http://velmox.invalid/popup.html", events.urls[0]);
  test::PumpUntil([] { return false; }, std::chrono::milliseconds(300));
  EXPECT_NE("http://velmox.invalid/popup.html", sink.Browser().LocationURL());

  connection.reset();
  sink.Browser().Navigate(NavigateArgs{"http://velmox.invalid/other.html", {}, {}, {}});
  test::PumpUntil([] { return false; }, std::chrono::milliseconds(300));
  EXPECT_EQ(1u, events.urls.size());
}

// The control raises BeforeNavigate2 with its own argument layout, post data wrapped twice.
// (Wine's control copies the array's header where the bytes belong, so only their number is
// the form's here.)
TEST(PageSinkTest, TheControlsOwnBeforeNavigate2CarriesThePostData) {
  OleSession ole;
  NewWindowGate gate;
  WinPageSinkControl sink(0, gate);
  CancellingEvents events;
  std::unique_ptr<Connection> connection;
  ConnectAndHearTheStart(sink, events, connection);
  sink.Browser().Navigate(
      NavigateArgs{"http://velmox.invalid/cgi-bin/find.pl", {}, {}, std::string("q=velmox&x=1")});
  ASSERT_TRUE(test::PumpUntil([&] { return !events.urls.empty(); }, std::chrono::seconds(10)));
  ASSERT_TRUE(events.postData[0].has_value());
  EXPECT_EQ(12u, events.postData[0]->size());
}

}  // namespace
}  // namespace velmox::win32
