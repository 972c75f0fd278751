#include "platform/win32/html_document.h"

#include <string>

#include "core/platform_error.h"
#include "platform/win32/com_text.h"
#include "platform/win32/win_error.h"

namespace velmox::win32 {
namespace {

class WinHtmlElement : public HtmlElement {
 public:
  explicit WinHtmlElement(ComPtr<IHTMLElement> element) : element_(std::move(element)) {}

  std::string tagName() override {
    return ReadText([&](BSTR* out) { return element_->get_tagName(out); });
  }
  std::string href() override { return PropertyText(element_.Get(), L"href"); }
  std::string type() override { return PropertyText(element_.Get(), L"type"); }
  std::string name() override { return PropertyText(element_.Get(), L"name"); }
  std::string method() override { return PropertyText(element_.Get(), L"method"); }
  std::string action() override { return PropertyText(element_.Get(), L"action"); }

  std::shared_ptr<HtmlElement> parentElement() override {
    ComPtr<IHTMLElement> parent;
    CheckHr(element_->get_parentElement(parent.Put()));
    if (!parent) return nullptr;
    return WrapElement(std::move(parent));
  }

  void blur() override {
    ComPtr<IHTMLElement2> element2 = element_.Query<IHTMLElement2>(IID_IHTMLElement2);
    if (!element2) ThrowError(E_NOINTERFACE);
    CheckHr(element2->blur());
  }

 private:
  ComPtr<IHTMLElement> element_;
};

class WinHtmlFrame : public HtmlFrame {
 public:
  explicit WinHtmlFrame(ComPtr<IHTMLWindow2> window) : window_(std::move(window)) {}

  std::string name() override {
    return ReadText([&](BSTR* out) { return window_->get_name(out); });
  }
  std::shared_ptr<HtmlDocument> document() override {
    // A frame from another site refuses its document: that is a failing call.
    ComPtr<IHTMLDocument2> document;
    CheckHr(window_->get_document(document.Put()));
    if (!document) ThrowError(E_POINTER);
    return WrapDocument(std::move(document));
  }

 private:
  ComPtr<IHTMLWindow2> window_;
};

class WinHtmlDocument : public HtmlDocument {
 public:
  explicit WinHtmlDocument(ComPtr<IHTMLDocument2> document) : document_(std::move(document)) {}

  std::shared_ptr<HtmlElement> activeElement() override {
    ComPtr<IHTMLElement> element;
    CheckHr(document_->get_activeElement(element.Put()));
    // While a page loads there may be no active element yet.
    if (!element) throw PlatformError(E_POINTER, "The document has no active element");
    return WrapElement(std::move(element));
  }

  int framesLength() override {
    ComPtr<IHTMLFramesCollection2> frames = Frames();
    long length = 0;
    CheckHr(frames->get_length(&length));
    return static_cast<int>(length);
  }

  std::shared_ptr<HtmlFrame> frameItem(int index) override {
    ComPtr<IHTMLFramesCollection2> frames = Frames();
    VARIANT which;
    VariantInit(&which);
    which.vt = VT_I4;
    which.lVal = index;
    ScopedVariant item;
    CheckHr(frames->item(&which, item.Get()));
    if ((*item).vt != VT_DISPATCH || !(*item).pdispVal) ThrowError(DISP_E_BADINDEX);
    ComPtr<IHTMLWindow2> window;
    CheckHr(
        (*item).pdispVal->QueryInterface(IID_IHTMLWindow2, reinterpret_cast<void**>(window.Put())));
    return std::make_shared<WinHtmlFrame>(std::move(window));
  }

 private:
  ComPtr<IHTMLFramesCollection2> Frames() {
    ComPtr<IHTMLFramesCollection2> frames;
    CheckHr(document_->get_frames(frames.Put()));
    if (!frames) ThrowError(E_POINTER);
    return frames;
  }

  ComPtr<IHTMLDocument2> document_;
};

}  // namespace

std::shared_ptr<HtmlDocument> WrapDocument(ComPtr<IHTMLDocument2> document) {
  return std::make_shared<WinHtmlDocument>(std::move(document));
}

std::shared_ptr<HtmlElement> WrapElement(ComPtr<IHTMLElement> element) {
  return std::make_shared<WinHtmlElement>(std::move(element));
}

std::string PropertyText(IDispatch* object, const wchar_t* name) {
  std::wstring member(name);
  LPOLESTR names[] = {member.data()};
  DISPID id = 0;
  CheckHr(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  ScopedVariant value;
  CheckHr(object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                         value.Get(), nullptr, nullptr));
  return VariantText(*value);
}

}  // namespace velmox::win32
