#include "platform/win32/page_sink_control.h"

#include <gtest/gtest.h>

#include "platform/win32/scoped_win.h"
#include "win32/win_test_support.h"

namespace velmox::win32 {
namespace {

struct CancellingEvents : BrowserEvents {
  std::vector<std::string> urls;
  void BeforeNavigate2(BeforeNavigate2Args& args) override {
    urls.push_back(args.URL);
    args.Cancel = true;
  }
  void NewWindow2(std::shared_ptr<Dispatch>&, bool& Cancel) override { Cancel = true; }
};

TEST(PageSinkTest, AHostedControlReportsAndCancelsANavigationMadeOnIt) {
  OleSession ole;
  NewWindowGate gate;
  WinPageSinkControl sink(0, gate);
  CancellingEvents events;
  auto connection = sink.Connect(events);

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

}  // namespace
}  // namespace velmox::win32
