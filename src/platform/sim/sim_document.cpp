#include "platform/sim/sim_document.h"
#include "core/ascii_case.h"

#include <cctype>

#include "platform/sim/sim_address.h"

namespace velmox::sim {
namespace {

HtmlNode* DefaultFocus(HtmlNode& root) {
  if (HtmlNode* body = FirstElement(root, "BODY")) return body;
  if (HtmlNode* frameset = FirstElement(root, "FRAMESET")) return frameset;
  return &root;
}

}  // namespace

PlatformError Unsupported() {
  return PlatformError(438, "Object doesn't support this property or method");
}

PlatformError Disconnected() {
  return PlatformError(kDisconnected, "The object invoked has disconnected from its clients.");
}

std::string SimFrame::name() {
  parent_.Scope().Check("name");
  return Name();
}

std::shared_ptr<HtmlDocument> SimFrame::document() {
  parent_.Scope().Check("document");
  // A frame whose page has not loaded has no document to give.
  if (!shown_) throw PlatformError(-2147024891, "Access is denied.");
  return shown_;
}

void SimFrame::Show(std::shared_ptr<SimDocument> document) {
  shown_ = std::move(document);
  if (shown_) shown_->SetOwnerFrame(this);
}

SimDocument::SimDocument(std::string address, std::unique_ptr<HtmlNode> root,
                         std::shared_ptr<WindowScope> scope)
    : address_(std::move(address)), root_(std::move(root)), scope_(std::move(scope)) {
  focused_ = DefaultFocus(*root_);
  for (HtmlNode* node : Elements(*root_)) {
    if (node->tag == "FRAME" || node->tag == "IFRAME") {
      frames_.push_back(std::make_shared<SimFrame>(*this, *node));
    }
  }
}

std::shared_ptr<HtmlElement> SimDocument::activeElement() {
  scope_->Check("activeElement");
  return std::make_shared<SimElement>(shared_from_this(), *focused_);
}

int SimDocument::framesLength() {
  scope_->Check("framesLength");
  return static_cast<int>(frames_.size());
}

std::shared_ptr<HtmlFrame> SimDocument::frameItem(int index) {
  scope_->Check("frameItem");
  if (index < 0 || index >= static_cast<int>(frames_.size())) {
    throw PlatformError(-2147024809, "The parameter is incorrect.");
  }
  return frames_[static_cast<std::size_t>(index)];
}

std::string SimDocument::BaseAddress() const {
  for (HtmlNode* node : Elements(*root_)) {
    if (node->tag == "BASE" && node->Attribute("href")) {
      return ResolveAddress(address_, *node->Attribute("href"));
    }
  }
  return address_;
}

std::string SimDocument::BaseTarget() const {
  for (HtmlNode* node : Elements(*root_)) {
    if (node->tag == "BASE" && node->Attribute("target")) return *node->Attribute("target");
  }
  return "";
}

void SimDocument::Focus(HtmlNode& element) {
  focused_ = &element;
  if (ownerFrame_ != nullptr) ownerFrame_->Parent().Focus(ownerFrame_->Element());
}

void SimDocument::ResetFocus() {
  focused_ = DefaultFocus(*root_);
}

SimFrame* SimDocument::FindFrame(const std::string& name) {
  for (const auto& frame : frames_) {
    if (frame->Name() == name) return frame.get();
  }
  for (const auto& frame : frames_) {
    if (!frame->Shown()) continue;
    if (SimFrame* inner = frame->Shown()->FindFrame(name)) return inner;
  }
  return nullptr;
}

std::string SimElement::tagName() {
  document_->Scope().Check("tagName");
  return node_.tag;
}

std::string SimElement::href() {
  document_->Scope().Check("href");
  if (node_.tag != "A" && node_.tag != "AREA") throw Unsupported();
  const std::string* written = node_.Attribute("href");
  return written ? ResolveAddress(document_->BaseAddress(), *written) : "";
}

std::string SimElement::type() {
  document_->Scope().Check("type");
  const auto type = ElementType(node_);
  if (!type) throw Unsupported();
  return *type;
}

std::string SimElement::name() {
  document_->Scope().Check("name");
  return node_.AttributeOr("name");
}

std::shared_ptr<HtmlElement> SimElement::parentElement() {
  document_->Scope().Check("parentElement");
  if (node_.parent == nullptr) return nullptr;
  return std::make_shared<SimElement>(document_, *node_.parent);
}

void SimElement::blur() {
  WindowScope& scope = document_->Scope();
  scope.Check("blur");
  if (document_->Focused() != &node_) return;
  document_->ResetFocus();
  if (scope.trace) {
    scope.trace->Line("browser",
                      scope.label + ": Velmox takes the focus from " + DescribeElement(node_));
  }
}

std::string SimElement::method() {
  document_->Scope().Check("method");
  if (node_.tag != "FORM") throw Unsupported();
  return node_.AttributeOr("method");
}

std::string SimElement::action() {
  document_->Scope().Check("action");
  if (node_.tag != "FORM") throw Unsupported();
  return node_.AttributeOr("action");
}

std::string DescribeElement(const HtmlNode& node) {
  if (const std::string* id = node.Attribute("id")) return node.tag + "#" + *id;
  if (const std::string* name = node.Attribute("name")) return node.tag + "[name=" + *name + "]";
  if (node.tag == "A" || node.tag == "AREA") {
    const std::string text = node.TextContent();
    if (!text.empty()) return node.tag + " " + Quoted(text);
  }
  return node.tag;
}

std::optional<std::string> ElementType(const HtmlNode& node) {
  const std::string written = ToLowerAscii(node.AttributeOr("type"));
  if (node.tag == "INPUT") return written.empty() ? "text" : written;
  if (node.tag == "BUTTON") return written.empty() ? "submit" : written;
  if (node.tag == "SELECT") return node.Attribute("multiple") ? "select-multiple" : "select-one";
  if (node.tag == "TEXTAREA") return "textarea";
  return std::nullopt;
}

}  // namespace velmox::sim
