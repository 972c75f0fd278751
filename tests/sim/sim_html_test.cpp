#include "platform/sim/sim_html.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace velmox::sim {
namespace {

TEST(SimHtmlTest, ParsesAsBrowsersDoWithUpperCaseTagNames) {
  auto root = ParseHtml("<p>one<a href=x>link</A><my-widget id=w></my-widget>");
  EXPECT_EQ(root->tag, "HTML");
  // Head and body are implied; an unknown tag keeps its written name.
  ASSERT_NE(FirstElement(*root, "BODY"), nullptr);
  ASSERT_NE(FirstElement(*root, "HEAD"), nullptr);
  HtmlNode* widget = QuerySelector(*root, "#w");
  ASSERT_NE(widget, nullptr);
  EXPECT_EQ(widget->tag, "MY-WIDGET");
  EXPECT_EQ(widget->parent->tag, "P");
  EXPECT_EQ(FirstElement(*root, "A")->TextContent(), "link");
}

TEST(SimHtmlTest, AFramesetPageHasNoBody) {
  auto root = ParseHtml(
      "<html><frameset cols='50%,50%'><frame name=a src=a.html><frame src=b.html></frameset>");
  EXPECT_EQ(FirstElement(*root, "BODY"), nullptr);
  HtmlNode* frameset = FirstElement(*root, "FRAMESET");
  ASSERT_NE(frameset, nullptr);
  EXPECT_EQ(frameset->children.size(), 2u);
}

TEST(SimHtmlTest, SimpleSelectorsFindTheFirstMatchInDocumentOrder) {
  auto root = ParseHtml(
      "<form id=f1><input name=q class='big wide'><input type=submit id=s1></form>"
      "<form id=f2 class=wide><input type=submit id=s2 value='Go on'></form>");
  EXPECT_EQ(QuerySelector(*root, "input[type=submit]")->AttributeOr("id"), "s1");
  EXPECT_EQ(QuerySelector(*root, "form#f2 input[type=submit]")->AttributeOr("id"), "s2");
  EXPECT_EQ(QuerySelector(*root, "input[value='Go on']")->AttributeOr("id"), "s2");
  EXPECT_EQ(QuerySelector(*root, ".wide")->AttributeOr("name"), "q");
  EXPECT_EQ(QuerySelector(*root, "form.wide input")->AttributeOr("id"), "s2");
  EXPECT_EQ(QuerySelector(*root, "input.big.wide")->AttributeOr("name"), "q");
  EXPECT_EQ(QuerySelector(*root, "input[name]")->AttributeOr("name"), "q");
  EXPECT_EQ(QuerySelector(*root, "a"), nullptr);
  EXPECT_EQ(QuerySelector(*root, "form#f1 #s2"), nullptr);
  EXPECT_THROW(QuerySelector(*root, "input[type"), std::invalid_argument);
  EXPECT_THROW(QuerySelector(*root, "a > b"), std::invalid_argument);
}

TEST(SimHtmlTest, LinksAreFoundByTheirTextWithBlanksCollapsed) {
  auto root = ParseHtml("<a id=1>Home</a><p>Read  <a id=2 href=x>the\n <b>story</b></a>");
  EXPECT_EQ(FindLinkByText(*root, "the story")->AttributeOr("id"), "2");
  EXPECT_EQ(FindLinkByText(*root, "Read"), nullptr);
}

}  // namespace
}  // namespace velmox::sim
