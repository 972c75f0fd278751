#include "support/fake_browser.h"

#include <gtest/gtest.h>

namespace velmox::test {
namespace {

TEST(FakeWindow, DisconnectsWhenTheConnectionIsDropped) {
  struct NullEvents : BrowserEvents {
    void BeforeNavigate2(BeforeNavigate2Args&) override {}
    void NewWindow2(std::shared_ptr<Dispatch>&, bool&) override {}
  } events;
  FakeWindow window;
  auto connection = window.Connect(events);
  EXPECT_EQ(window.events, &events);
  connection.reset();
  EXPECT_EQ(window.events, nullptr);
}

TEST(FakeWindow, FailingWindowThrowsOnEveryCall) {
  FakeWindow window;
  window.failing = true;
  EXPECT_THROW(window.Name(), PlatformError);
  EXPECT_THROW(window.SetVisible(true), PlatformError);
}

}  // namespace
}  // namespace velmox::test
