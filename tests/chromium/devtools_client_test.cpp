// The DevTools pipe and protocol against a stand-in browser: a small bash program on fd 3 and
// 4 that answers commands the way Chromium does, or goes away.
#include <gtest/gtest.h>

#include <fstream>

#include "core/platform_error.h"
#include "platform/chromium/devtools_client.h"
#include "support/temp_folder.h"

namespace velmox::chromium {
namespace {

// Answers "Fail" with an error, never answers "Quiet", ends on "Exit" (and "Browser.close", as
// Chromium does), answers "Odd" with an error and "Shapeless" with a result of the wrong shape
// (after an answer with a text for its id and a second answer to the command before), answers
// "Burst" after 20000 numbered events written at once, sends a message that never ends on
// "Flood", and answers anything else after an event, echoing the command's id.
constexpr const char* kStandIn = R"sh(#!/bin/bash
while IFS= read -r -d '' message <&3; do
  id=$(sed -E 's/.*"id":([0-9]+).*/\1/' <<<"$message")
  case "$message" in
    *'"method":"Fail"'*) printf '{"id":%s,"error":{"code":-32601,"message":"no such method"}}\0' "$id" >&4 ;;
    *'"method":"Quiet"'*) ;;
    *'"method":"Odd"'*) printf '{"id":%s,"error":"broken"}\0' "$id" >&4 ;;
    *'"method":"Shapeless"'*) printf '{"id":"%s"}\0{"id":%s,"result":{"echo":0}}\0{"id":%s,"result":[1]}\0' "$id" "$((id - 1))" "$id" >&4 ;;
    *'"method":"Burst"'*) { seq 20000 | sed 's/.*/{"method":"Said","params":{"n":&}}/' | tr '\n' '\0'; printf '{"id":%s,"result":{}}\0' "$id"; } >&4 ;;
    *'"method":"Flood"'*) head -c 80000000 /dev/zero | tr '\0' x >&4 ;;
    *'"method":"Exit"'* | *'"method":"Browser.close"'*) exit 0 ;;
    *) printf '{"method":"Said","params":{"before":%s},"sessionId":"S1"}\0{"id":%s,"result":{"echo":%s}}\0' "$id" "$id" "$id" >&4 ;;
  esac
done
)sh";

class DevToolsClientTest : public ::testing::Test {
 protected:
  DevToolsClientTest() {
    const auto program = folder.Path() / "browser";
    std::ofstream(program) << kStandIn;
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    launch.executable = program;
    launch.userDataDir = folder.Path();
  }
  test::TempFolder folder;
  BrowserLaunch launch;
};

TEST_F(DevToolsClientTest, AnswersComeToTheirCallAndEventsToTheHandlerOnTheWay) {
  DevToolsPipe pipe(launch);
  DevToolsClient client(pipe);
  std::vector<DevToolsEvent> events;
  client.onEvent = [&](const DevToolsEvent& e) { events.push_back(e); };

  const Json first = client.Call("Echo", {{"x", 1}});
  const Json second = client.Call("Echo", Json::object(), "S1");
  EXPECT_EQ(first.value("echo", 0), 1);
  EXPECT_EQ(second.value("echo", 0), 2);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[1].method, "Said");
  EXPECT_EQ(events[1].sessionId, "S1");
  EXPECT_EQ(events[1].params.value("before", 0), 2);
}

TEST_F(DevToolsClientTest, ErrorsAndSilenceFailAsPlatformErrors) {
  DevToolsPipe pipe(launch);
  DevToolsClient client(pipe);
  try {
    client.Call("Fail");
    FAIL() << "an error answer must throw";
  } catch (const PlatformError& e) {
    EXPECT_EQ(e.Number(), -32601);
    EXPECT_NE(e.Description().find("no such method"), std::string::npos);
  }
  EXPECT_THROW(client.Call("Quiet", Json::object(), "", std::chrono::milliseconds(100)),
               PlatformError);
  // A command nobody waits for keeps the browser busy until it is answered.
  client.Post("Echo");
  EXPECT_TRUE(client.Unanswered());
  while (client.Poll(std::chrono::milliseconds(1000))) {
  }
  EXPECT_FALSE(client.Unanswered());
  client.Post("Quiet", Json::object(), "S2");
  EXPECT_EQ(client.OldestUnanswered(), "Quiet");
  client.ForgetSession("S2");
  EXPECT_FALSE(client.Unanswered());
}

TEST_F(DevToolsClientTest, CommandsSentTogetherGetEachItsOwnAnswer) {
  DevToolsPipe pipe(launch);
  DevToolsClient client(pipe);
  const auto answers = client.CallTogether(
      {{"Echo", Json::object()}, {"Fail", Json::object()}, {"Echo", Json::object()}});
  ASSERT_EQ(answers.size(), 3u);
  EXPECT_EQ(answers[0].result.value("echo", 0), 1);
  ASSERT_TRUE(answers[1].error);
  EXPECT_EQ(answers[1].error->Number(), -32601);
  EXPECT_FALSE(answers[2].error);
  EXPECT_EQ(answers[2].result.value("echo", 0), 3);
}

TEST_F(DevToolsClientTest, AnswersOfAnOddShapeFailOrReadEmptyWithoutBreakingTheClient) {
  DevToolsPipe pipe(launch);
  DevToolsClient client(pipe);
  EXPECT_EQ(client.Call("Echo").value("echo", 0), 1);
  try {
    client.Call("Odd");
    FAIL() << "an error answer must throw";
  } catch (const PlatformError& e) {
    EXPECT_EQ(e.Number(), 0);
    EXPECT_EQ(e.Description(), "Odd: failed");
  }
  // The text id and the late second answer to "Odd" are nobody's; the list is no result.
  EXPECT_EQ(client.Call("Shapeless"), Json::object());
  EXPECT_EQ(client.Call("Echo").value("echo", 0), 4);
}

TEST_F(DevToolsClientTest, ABrowserThatGoesAwayIsNoticedOnce) {
  DevToolsPipe pipe(launch);
  DevToolsClient client(pipe);
  int gone = 0;
  client.onGone = [&] { ++gone; };
  client.Post("Exit");
  EXPECT_THROW(client.Call("Echo"), PlatformError);
  EXPECT_TRUE(client.Gone());
  EXPECT_THROW(client.Call("Echo"), PlatformError);
  EXPECT_FALSE(client.Poll(std::chrono::milliseconds(10)));
  EXPECT_EQ(gone, 1);
}

TEST_F(DevToolsClientTest, AKilledBrowserClosesThePipe) {
  DevToolsPipe pipe(launch);
  EXPECT_TRUE(pipe.Open());
  pipe.Kill();
  EXPECT_FALSE(pipe.Receive(std::chrono::milliseconds(100)));
  EXPECT_FALSE(pipe.Open());
  EXPECT_FALSE(pipe.Send("{}"));
}

TEST_F(DevToolsClientTest, ABurstOfMessagesArrivesWholeAndInOrder) {
  DevToolsPipe pipe(launch);
  DevToolsClient client(pipe);
  std::vector<int> numbers;
  client.onEvent = [&](const DevToolsEvent& e) { numbers.push_back(e.params.value("n", 0)); };
  client.Call("Burst", Json::object(), "", std::chrono::seconds(20));
  ASSERT_EQ(numbers.size(), 20000u);
  for (std::size_t i = 0; i < numbers.size(); ++i)
    ASSERT_EQ(numbers[i], static_cast<int>(i) + 1);
  EXPECT_EQ(client.Call("Echo").value("echo", 0), 2);
}

TEST_F(DevToolsClientTest, AMessageOverTheLimitEndsTheBrowserAndSaysWhy) {
  DevToolsPipe pipe(launch);
  DevToolsClient client(pipe);
  int gone = 0;
  client.onGone = [&] { ++gone; };
  EXPECT_THROW(client.Call("Flood", Json::object(), "", std::chrono::seconds(20)), PlatformError);
  EXPECT_TRUE(client.Gone());
  EXPECT_FALSE(pipe.Open());
  EXPECT_EQ(gone, 1);
  EXPECT_EQ(client.WhyGone(), "the browser sent a message longer than 64 MiB");
}

TEST(DevToolsPipeTest, ABrowserThatCannotStartIsAFailure) {
  test::TempFolder folder;
  BrowserLaunch launch;
  launch.executable = folder.Path() / "no-such-browser";
  launch.userDataDir = folder.Path();
  DevToolsPipe pipe(launch);  // the program is looked for in the child, which then ends
  DevToolsClient client(pipe);
  EXPECT_THROW(client.Call("Echo"), PlatformError);
  EXPECT_TRUE(client.Gone());
}

}  // namespace
}  // namespace velmox::chromium
