#include "platform/sim/context_menu_script.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace velmox::sim {
namespace {

using ::testing::ElementsAre;

class PickMenuEntryTest : public ::testing::Test {
 protected:
  test::TempFolder folder;
  SimFiles files{"C:\\Program Files\\Velmox", folder.Path()};
  std::vector<std::string> said;

  std::optional<MenuNavigation> Pick(bool disallow) {
    return PickMenuEntry(files, disallow, "w1",
                         [&](const std::string& line) { said.push_back(line); });
  }
  void Script(const std::string& name, const std::string& text) {
    files.WriteText("C:\\Program Files\\Velmox\\" + name, text);
  }
};

TEST_F(PickMenuEntryTest, TheScriptNavigatesTheMenusPageOrAFrameAboveIt) {
  Script("blocksite.script",
         "<SCRIPT language=VBScript>\r\nexternal.menuArguments.Parent.Parent.Parent.navigate "
         "\"file://C:\\Velmox\\b0123456789.html\"\r\n</SCRIPT>");
  Script("trustsite.script", "EXTERNAL.MenuArguments.Navigate ( \"file://t.html\")");

  const auto blocked = Pick(true);
  ASSERT_TRUE(blocked);
  EXPECT_EQ(blocked->parentLevels, 3u);
  EXPECT_EQ(blocked->address, "file://C:\\Velmox\\b0123456789.html");

  const auto trusted = Pick(false);
  ASSERT_TRUE(trusted);
  EXPECT_EQ(trusted->parentLevels, 0u);
  EXPECT_EQ(trusted->address, "file://t.html");

  EXPECT_THAT(said,
              ElementsAre("w1: the user picks the disallow entry, which runs blocksite.script",
                          "w1: the user picks the allow entry, which runs trustsite.script"));
}

TEST_F(PickMenuEntryTest, AMissingFileOrAScriptThatDoesNotNavigateDoesNothing) {
  EXPECT_FALSE(Pick(false));
  Script("blocksite.script", "<SCRIPT>external.menuArguments.Parent.focus()</SCRIPT>");
  EXPECT_FALSE(Pick(true));
  EXPECT_THAT(said,
              ElementsAre("w1: the user picks the allow entry, which finds no trustsite.script and "
                          "does nothing",
                          "w1: the user picks the disallow entry, which runs blocksite.script"));
}

}  // namespace
}  // namespace velmox::sim
