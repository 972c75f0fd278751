#include "platform/sim/sim_form.h"
#include "core/ascii_case.h"

#include <cctype>

#include "platform/sim/sim_address.h"

namespace velmox::sim {
namespace {

std::string Encoded(const std::string& text) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if (std::isalnum(c) || c == '*' || c == '-' || c == '.' || c == '_') {
      out += static_cast<char>(c);
    } else if (c == ' ') {
      out += '+';
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}

// The value a control contributes, or nullopt when it contributes nothing.
std::optional<std::string> ControlValue(const HtmlNode& node, const HtmlNode& submitter) {
  if (!node.Attribute("name") || node.Attribute("disabled")) return std::nullopt;
  if (node.tag == "TEXTAREA") return node.TextContent();
  if (node.tag == "SELECT") {
    const HtmlNode* chosen = nullptr;
    for (HtmlNode* option : Elements(const_cast<HtmlNode&>(node))) {
      if (option->tag != "OPTION") continue;
      if (chosen == nullptr || option->Attribute("selected")) chosen = option;
      if (option->Attribute("selected")) break;
    }
    if (chosen == nullptr) return std::nullopt;
    return chosen->Attribute("value") ? *chosen->Attribute("value") : chosen->TextContent();
  }
  const auto type = ElementType(node);
  if (node.tag == "BUTTON" || (node.tag == "INPUT" && (*type == "submit" || *type == "image"))) {
    if (&node != &submitter) return std::nullopt;
    return node.AttributeOr("value", *type == "submit" && node.tag == "INPUT" ? "Submit" : "");
  }
  if (node.tag != "INPUT") return std::nullopt;
  if (*type == "checkbox" || *type == "radio") {
    if (!node.Attribute("checked")) return std::nullopt;
    return node.AttributeOr("value", "on");
  }
  if (*type == "reset" || *type == "button" || *type == "file") return std::nullopt;
  return node.AttributeOr("value");
}

}  // namespace

bool IsSubmitButton(const HtmlNode& node) {
  const auto type = ElementType(node);
  if (node.tag == "INPUT") return *type == "submit" || *type == "image";
  return node.tag == "BUTTON" && *type == "submit";
}

HtmlNode* EnclosingForm(HtmlNode& element) {
  for (HtmlNode* up = element.parent; up != nullptr; up = up->parent) {
    if (up->tag == "FORM") return up;
  }
  return nullptr;
}

FormSubmission SubmitForm(SimDocument& document, HtmlNode& form, const HtmlNode& submitter) {
  std::string data;
  for (HtmlNode* node : Elements(form)) {
    if (node == &form || EnclosingForm(*node) != &form) continue;
    const auto value = ControlValue(*node, submitter);
    if (!value) continue;
    if (!data.empty()) data += '&';
    const std::string name = Encoded(node->AttributeOr("name"));
    if (node->tag == "INPUT" && ElementType(*node) == "image") {
      // An image button sends where it was clicked; the user clicks its corner.
      data += name + ".x=0&" + name + ".y=0";
      continue;
    }
    data += name + "=" + Encoded(*value);
  }
  const std::string* action = form.Attribute("action");
  const std::string address = action && !action->empty()
                                  ? ResolveAddress(document.BaseAddress(), *action)
                                  : document.Address();
  FormSubmission submission;
  submission.target = form.Attribute("target") ? *form.Attribute("target") : document.BaseTarget();
  if (ToLowerAscii(form.AttributeOr("method")) == "post") {
    submission.address = address;
    submission.postData = data;
    submission.headers = "Content-Type: application/x-www-form-urlencoded\r\n";
    return submission;
  }
  submission.address = address.substr(0, address.find_first_of("?#")) + "?" + data;
  return submission;
}

}  // namespace velmox::sim
