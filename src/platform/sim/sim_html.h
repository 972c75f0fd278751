#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmox::sim {

// One node of a parsed page: an element (`tag` in upper case, as the browser's tagName gives
// it) or a run of text (`tag` empty, `text` set).
struct HtmlNode {
  std::string tag;
  std::map<std::string, std::string> attributes;  // names in lower case
  std::string text;
  HtmlNode* parent = nullptr;
  std::vector<std::unique_ptr<HtmlNode>> children;

  bool IsElement() const { return !tag.empty(); }
  // The attribute's value, or nullptr when the element has none.
  const std::string* Attribute(const std::string& name) const;
  std::string AttributeOr(const std::string& name, const std::string& fallback = "") const;
  // The text of every text node below, in document order.
  std::string TextContent() const;
};

// How deep a page's elements go: an element nested deeper is placed at this depth, after the
// element it was in (the root is at depth 1).
inline constexpr int kMaxHtmlDepth = 512;

// A page parsed the way browsers parse it (missing html, head and body are implied). The root
// is the HTML element. `flattened`, when given, tells whether the page went deeper than
// kMaxHtmlDepth.
std::unique_ptr<HtmlNode> ParseHtml(const std::string& source, bool* flattened = nullptr);

// Every element below `root` (itself included) in document order.
std::vector<HtmlNode*> Elements(HtmlNode& root);
// The first element below `root` with that tag (upper case), or nullptr.
HtmlNode* FirstElement(HtmlNode& root, const std::string& tag);

// The first element in document order matching a simple selector: compound parts such as
// "a", "#id", ".class", "input[type=submit]", "form#f input[name='q']" separated by blanks
// (descendants). Returns nullptr when nothing matches; throws std::invalid_argument for a
// selector it cannot read.
HtmlNode* QuerySelector(HtmlNode& root, const std::string& selector);

// The first A or AREA element whose text, with blanks collapsed and trimmed, equals `text`.
HtmlNode* FindLinkByText(HtmlNode& root, const std::string& text);

}  // namespace velmox::sim
