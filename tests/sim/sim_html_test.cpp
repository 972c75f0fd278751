#include "platform/sim/sim_html.h"

#include <gtest/gtest.h>

#include <algorithm>
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

int Depth(const HtmlNode& node) {
  int depth = 1;
  for (const HtmlNode* up = node.parent; up != nullptr; up = up->parent)
    ++depth;
  return depth;
}

std::string Repeated(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i)
    out += text;
  return out;
}

// Pages nested far deeper than any real one are bounded, so that nothing that walks the tree
// runs out of stack: every element is kept, none deeper than the bound, the text in order.
TEST(SimHtmlTest, DeeplyNestedPagesAreBounded) {
  for (const std::string tag : {"div", "b"}) {
    bool flattened = false;
    const int count = 2000;
    auto root = ParseHtml(Repeated("<" + tag + ">", count) + "<a id=deep>end</a>", &flattened);
    EXPECT_TRUE(flattened) << tag;
    const auto elements = Elements(*root);
    int tagged = 0, deepest = 0;
    for (const HtmlNode* node : elements) {
      if (node->tag == (tag == "div" ? "DIV" : "B")) ++tagged;
      deepest = std::max(deepest, Depth(*node));
    }
    EXPECT_EQ(tagged, count) << tag;
    EXPECT_EQ(deepest, kMaxHtmlDepth) << tag;
    HtmlNode* deep = QuerySelector(*root, "#deep");
    ASSERT_NE(deep, nullptr) << tag;
    EXPECT_EQ(deep->TextContent(), "end");
    EXPECT_EQ(root->TextContent(), "end");
  }
  bool flattened = true;
  auto shallow = ParseHtml(Repeated("<div>", kMaxHtmlDepth - 2), &flattened);
  EXPECT_FALSE(flattened) << "html and body take two levels, the divs the rest";
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
