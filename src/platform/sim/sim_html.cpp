#include "platform/sim/sim_html.h"
#include "core/ascii_case.h"

#include <gumbo.h>

#include <algorithm>
#include <cctype>
#include <optional>
#include <stdexcept>

namespace velmox::sim {
namespace {

std::string Upper(std::string text) {
  for (char& c : text)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string TagName(const GumboElement& element) {
  if (element.tag != GUMBO_TAG_UNKNOWN) return Upper(gumbo_normalized_tagname(element.tag));
  // An unknown tag keeps the name written in the source.
  GumboStringPiece original = element.original_tag;
  gumbo_tag_from_original_text(&original);
  return Upper(std::string(original.data, original.length));
}

std::unique_ptr<HtmlNode> MakeNode(const GumboNode& from) {
  auto node = std::make_unique<HtmlNode>();
  if (from.type == GUMBO_NODE_ELEMENT || from.type == GUMBO_NODE_TEMPLATE) {
    const GumboElement& element = from.v.element;
    node->tag = TagName(element);
    for (unsigned i = 0; i < element.attributes.length; ++i) {
      const auto* attribute = static_cast<const GumboAttribute*>(element.attributes.data[i]);
      node->attributes.emplace(ToLowerAscii(attribute->name), attribute->value);
    }
  } else {
    node->text = from.v.text.text;
  }
  return node;
}

bool IsElement(const GumboNode& node) {
  return node.type == GUMBO_NODE_ELEMENT || node.type == GUMBO_NODE_TEMPLATE;
}

// Gumbo's tree as HtmlNodes, without recursion. An element that would lie deeper than
// kMaxHtmlDepth is placed at that depth instead, after the element it was in, as browsers bound
// their trees; `flattened` then says so.
std::unique_ptr<HtmlNode> Convert(const GumboNode& root, bool& flattened) {
  auto top = MakeNode(root);
  struct Pending {
    const GumboNode* from;
    HtmlNode* to;
    int depth;  // the depth of `to`, the root's being 1
  };
  std::vector<Pending> pending{{&root, top.get(), 1}};
  while (!pending.empty()) {
    const Pending next = pending.back();
    pending.pop_back();
    if (!IsElement(*next.from)) continue;
    // Each child's own children wait on the stack, the first child's on top.
    const GumboVector& children = next.from->v.element.children;
    const std::size_t firstAdded = pending.size();
    for (unsigned i = 0; i < children.length; ++i) {
      const auto* child = static_cast<const GumboNode*>(children.data[i]);
      if (child->type == GUMBO_NODE_COMMENT) continue;
      HtmlNode* parent = next.to;
      int depth = next.depth + 1;
      if (depth > kMaxHtmlDepth && IsElement(*child)) {
        flattened = true;
        parent = next.to->parent;
        depth = next.depth;
      }
      auto node = MakeNode(*child);
      node->parent = parent;
      pending.push_back({child, node.get(), depth});
      parent->children.push_back(std::move(node));
    }
    std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(firstAdded), pending.end());
  }
  return top;
}

void CollectElements(HtmlNode& node, std::vector<HtmlNode*>& out) {
  if (!node.IsElement()) return;
  out.push_back(&node);
  for (auto& child : node.children)
    CollectElements(*child, out);
}

// One compound part of a selector: a tag, an id, classes and attribute tests.
struct Compound {
  std::string tag;  // upper case; empty for any
  std::string id;
  std::vector<std::string> classes;
  std::vector<std::pair<std::string, std::optional<std::string>>> attributes;
};

[[noreturn]] void Unreadable(const std::string& selector) {
  throw std::invalid_argument("cannot read the selector \"" + selector + "\"");
}

bool NameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == ':';
}

Compound ParseCompound(const std::string& part, const std::string& selector) {
  Compound compound;
  std::size_t i = 0;
  auto name = [&] {
    const std::size_t start = i;
    while (i < part.size() && NameChar(part[i]))
      ++i;
    if (i == start) Unreadable(selector);
    return part.substr(start, i - start);
  };
  if (i < part.size() && part[i] == '*') {
    ++i;
  } else if (i < part.size() && NameChar(part[i])) {
    compound.tag = Upper(name());
  }
  while (i < part.size()) {
    const char c = part[i++];
    if (c == '#') {
      compound.id = name();
    } else if (c == '.') {
      compound.classes.push_back(name());
    } else if (c == '[') {
      const std::string attribute = ToLowerAscii(name());
      if (i < part.size() && part[i] == ']') {
        ++i;
        compound.attributes.emplace_back(attribute, std::nullopt);
        continue;
      }
      if (i >= part.size() || part[i] != '=') Unreadable(selector);
      ++i;
      std::string value;
      if (i < part.size() && (part[i] == '\'' || part[i] == '"')) {
        const char quote = part[i++];
        const auto close = part.find(quote, i);
        if (close == std::string::npos) Unreadable(selector);
        value = part.substr(i, close - i);
        i = close + 1;
      } else {
        const auto close = part.find(']', i);
        if (close == std::string::npos) Unreadable(selector);
        value = part.substr(i, close - i);
        i = close;
      }
      if (i >= part.size() || part[i] != ']') Unreadable(selector);
      ++i;
      compound.attributes.emplace_back(attribute, value);
    } else {
      Unreadable(selector);
    }
  }
  return compound;
}

bool HasClass(const HtmlNode& node, const std::string& name) {
  const std::string* classes = node.Attribute("class");
  if (classes == nullptr) return false;
  std::size_t i = 0;
  while (i < classes->size()) {
    while (i < classes->size() && std::isspace(static_cast<unsigned char>((*classes)[i])))
      ++i;
    const std::size_t start = i;
    while (i < classes->size() && !std::isspace(static_cast<unsigned char>((*classes)[i])))
      ++i;
    if (i > start && classes->compare(start, i - start, name) == 0) return true;
  }
  return false;
}

bool Matches(const HtmlNode& node, const Compound& compound) {
  if (!compound.tag.empty() && node.tag != compound.tag) return false;
  if (!compound.id.empty() && node.AttributeOr("id") != compound.id) return false;
  for (const auto& name : compound.classes) {
    if (!HasClass(node, name)) return false;
  }
  for (const auto& [name, value] : compound.attributes) {
    const std::string* seen = node.Attribute(name);
    if (seen == nullptr || (value && *seen != *value)) return false;
  }
  return true;
}

// The last part matches the node itself, each earlier part some ancestor further up.
bool MatchesChain(const HtmlNode& node, const std::vector<Compound>& parts) {
  if (!Matches(node, parts.back())) return false;
  std::size_t next = parts.size() - 1;
  for (const HtmlNode* up = node.parent; up != nullptr && next > 0; up = up->parent) {
    if (Matches(*up, parts[next - 1])) --next;
  }
  return next == 0;
}

std::string Collapsed(const std::string& text) {
  std::string out;
  bool blank = false;
  for (char c : text) {
    if (std::isspace(static_cast<unsigned char>(c))) {
      blank = !out.empty();
    } else {
      if (blank) out += ' ';
      blank = false;
      out += c;
    }
  }
  return out;
}

}  // namespace

const std::string* HtmlNode::Attribute(const std::string& name) const {
  const auto found = attributes.find(name);
  return found == attributes.end() ? nullptr : &found->second;
}

std::string HtmlNode::AttributeOr(const std::string& name, const std::string& fallback) const {
  const std::string* value = Attribute(name);
  return value ? *value : fallback;
}

std::string HtmlNode::TextContent() const {
  if (!IsElement()) return text;
  std::string out;
  for (const auto& child : children)
    out += child->TextContent();
  return out;
}

std::unique_ptr<HtmlNode> ParseHtml(const std::string& source, bool* flattened) {
  GumboOutput* output =
      gumbo_parse_with_options(&kGumboDefaultOptions, source.data(), source.size());
  bool deep = false;
  auto root = Convert(*output->root, deep);
  gumbo_destroy_output(&kGumboDefaultOptions, output);
  if (flattened != nullptr) *flattened = deep;
  return root;
}

std::vector<HtmlNode*> Elements(HtmlNode& root) {
  std::vector<HtmlNode*> out;
  CollectElements(root, out);
  return out;
}

HtmlNode* FirstElement(HtmlNode& root, const std::string& tag) {
  for (HtmlNode* node : Elements(root)) {
    if (node->tag == tag) return node;
  }
  return nullptr;
}

HtmlNode* QuerySelector(HtmlNode& root, const std::string& selector) {
  std::vector<Compound> parts;
  std::size_t i = 0;
  while (i < selector.size()) {
    while (i < selector.size() && selector[i] == ' ')
      ++i;
    std::size_t end = i;
    char quote = 0;
    while (end < selector.size() && (quote != 0 || selector[end] != ' ')) {
      if (quote == 0 && (selector[end] == '\'' || selector[end] == '"')) {
        quote = selector[end];
      } else if (selector[end] == quote) {
        quote = 0;
      }
      ++end;
    }
    if (end > i) parts.push_back(ParseCompound(selector.substr(i, end - i), selector));
    i = end;
  }
  if (parts.empty()) Unreadable(selector);
  for (HtmlNode* node : Elements(root)) {
    if (MatchesChain(*node, parts)) return node;
  }
  return nullptr;
}

HtmlNode* FindLinkByText(HtmlNode& root, const std::string& text) {
  const std::string wanted = Collapsed(text);
  for (HtmlNode* node : Elements(root)) {
    if ((node->tag == "A" || node->tag == "AREA") && Collapsed(node->TextContent()) == wanted) {
      return node;
    }
  }
  return nullptr;
}

}  // namespace velmox::sim
