#include "html_objects.h"

#include <algorithm>

#include "record.h"

namespace standin {
namespace {

// The properties read by name, with the dispatch identifiers the stand-in gives them.
const std::vector<std::string> kNamedProperties = {"href", "type", "name", "method", "action"};
constexpr DISPID kFirstProperty = 1000;

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

class ElementObject : public Object {
 public:
  ElementObject(Document& document, Element& element) : document_(document), element_(element) {
    document_.AddRef();
    static const IHTMLElementVtbl table = [] {
      auto t = DispatchTable<IHTMLElementVtbl, IHTMLElement>();
      t.GetIDsOfNames = &GetIDsOfNames;
      t.Invoke = &Invoke;
      t.get_tagName = &get_tagName;
      t.get_parentElement = &get_parentElement;
      return t;
    }();
    static const IHTMLElement2Vtbl table2 = [] {
      auto t = DispatchTable<IHTMLElement2Vtbl, IHTMLElement2>();
      t.blur = &blur;
      return t;
    }();
    face_ = {&table, this};
    face2_ = {&table2, this};
  }

  HRESULT QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, IID_IHTMLElement)) {
      return face_.HandOut(out);
    }
    if (IsEqualIID(iid, IID_IHTMLElement2)) return face2_.HandOut(out);
    return E_NOINTERFACE;
  }
  IHTMLElement* Get() { return face_.Get(); }

 private:
  ~ElementObject() override { document_.Release(); }

  static HRESULT STDMETHODCALLTYPE get_tagName(IHTMLElement* self, BSTR* out) {
    if (!out) return E_POINTER;
    *out = ToBstr(Upper(OwnerOf<ElementObject>(self).element_.tag));
    return S_OK;
  }

  static HRESULT STDMETHODCALLTYPE get_parentElement(IHTMLElement* self, IHTMLElement** out) {
    if (!out) return E_POINTER;
    ElementObject& element = OwnerOf<ElementObject>(self);
    Element* parent = element.element_.parent;
    *out = parent ? NewElementObject(element.document_, *parent) : nullptr;
    return S_OK;
  }

  // A property this kind of element does not have is unknown, as late binding finds it.
  static HRESULT STDMETHODCALLTYPE GetIDsOfNames(IHTMLElement* self, REFIID, LPOLESTR* names,
                                                 UINT count, LCID, DISPID* ids) {
    if (!names || !ids || count != 1) return E_INVALIDARG;
    ElementObject& element = OwnerOf<ElementObject>(self);
    const int length = static_cast<int>(wcslen(names[0]));
    std::string name(static_cast<std::size_t>(length), '\0');
    for (int i = 0; i < length; ++i)
      name[i] = static_cast<char>(std::tolower(names[0][i] & 0x7F));
    const auto& own = DomProperties(element.element_.tag);
    const auto known = std::find(kNamedProperties.begin(), kNamedProperties.end(), name);
    if (known == kNamedProperties.end() || std::find(own.begin(), own.end(), name) == own.end()) {
      ids[0] = DISPID_UNKNOWN;
      return DISP_E_UNKNOWNNAME;
    }
    ids[0] = kFirstProperty + static_cast<DISPID>(known - kNamedProperties.begin());
    return S_OK;
  }

  static HRESULT STDMETHODCALLTYPE Invoke(IHTMLElement* self, DISPID id, REFIID, LCID, WORD flags,
                                          DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) {
    const int index = static_cast<int>(id - kFirstProperty);
    if (index < 0 || index >= static_cast<int>(kNamedProperties.size()) ||
        !(flags & DISPATCH_PROPERTYGET)) {
      return DISP_E_MEMBERNOTFOUND;
    }
    if (!result) return E_POINTER;
    VariantInit(result);
    result->vt = VT_BSTR;
    result->bstrVal =
        ToBstr(OwnerOf<ElementObject>(self).element_.Attribute(kNamedProperties[index]));
    return S_OK;
  }

  static HRESULT STDMETHODCALLTYPE blur(IHTMLElement2* self) {
    ElementObject& element = OwnerOf<ElementObject>(self);
    Record("blur " + element.document_.WindowId() + " " + element.element_.Attribute("id"));
    element.document_.Blur();
    return S_OK;
  }

  Document& document_;
  Element& element_;
  Face<IHTMLElement> face_;
  Face<IHTMLElement2> face2_;
};

// A frame's window: its name and the page it shows.
class FrameWindow : public Object {
 public:
  explicit FrameWindow(const Document::Frame& frame)
      : name_(frame.name), document_(*frame.document) {
    document_.AddRef();
    static const IHTMLWindow2Vtbl table = [] {
      auto t = DispatchTable<IHTMLWindow2Vtbl, IHTMLWindow2>();
      t.get_name = &get_name;
      t.get_document = &get_document;
      return t;
    }();
    face_ = {&table, this};
  }
  HRESULT QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, IID_IHTMLFramesCollection2) || IsEqualIID(iid, IID_IHTMLWindow2)) {
      return face_.HandOut(out);
    }
    return E_NOINTERFACE;
  }
  IHTMLWindow2* Get() { return face_.Get(); }

 private:
  ~FrameWindow() override { document_.Release(); }

  static HRESULT STDMETHODCALLTYPE get_name(IHTMLWindow2* self, BSTR* out) {
    if (!out) return E_POINTER;
    *out = ToBstr(OwnerOf<FrameWindow>(self).name_);
    return S_OK;
  }
  static HRESULT STDMETHODCALLTYPE get_document(IHTMLWindow2* self, IHTMLDocument2** out) {
    if (!out) return E_POINTER;
    Document& document = OwnerOf<FrameWindow>(self).document_;
    document.AddRef();
    *out = document.Get();
    return S_OK;
  }

  std::string name_;
  Document& document_;
  Face<IHTMLWindow2> face_;
};

// document.frames: the count of frames and each frame's window by its index.
class FramesObject : public Object {
 public:
  explicit FramesObject(Document& document) : document_(document) {
    document_.AddRef();
    static const IHTMLFramesCollection2Vtbl table = [] {
      auto t = DispatchTable<IHTMLFramesCollection2Vtbl, IHTMLFramesCollection2>();
      t.get_length = &get_length;
      t.item = &item;
      return t;
    }();
    face_ = {&table, this};
  }
  HRESULT QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, IID_IHTMLFramesCollection2)) {
      return face_.HandOut(out);
    }
    return E_NOINTERFACE;
  }
  IHTMLFramesCollection2* Get() { return face_.Get(); }

 private:
  ~FramesObject() override { document_.Release(); }

  static HRESULT STDMETHODCALLTYPE get_length(IHTMLFramesCollection2* self, LONG* out) {
    if (!out) return E_POINTER;
    *out = static_cast<LONG>(OwnerOf<FramesObject>(self).document_.Frames().size());
    return S_OK;
  }
  static HRESULT STDMETHODCALLTYPE item(IHTMLFramesCollection2* self, VARIANT* index,
                                        VARIANT* result) {
    if (!index || !result) return E_POINTER;
    VARIANT number;
    VariantInit(&number);
    if (FAILED(VariantChangeType(&number, index, 0, VT_I4))) return DISP_E_TYPEMISMATCH;
    const auto& frames = OwnerOf<FramesObject>(self).document_.Frames();
    if (number.lVal < 0 || number.lVal >= static_cast<LONG>(frames.size())) return E_INVALIDARG;
    VariantInit(result);
    result->vt = VT_DISPATCH;
    result->pdispVal = reinterpret_cast<IDispatch*>(
        (new FrameWindow(frames[static_cast<std::size_t>(number.lVal)]))->Get());
    return S_OK;
  }

  Document& document_;
  Face<IHTMLFramesCollection2> face_;
};

}  // namespace

IHTMLElement* NewElementObject(Document& document, Element& element) {
  return (new ElementObject(document, element))->Get();
}

Document::Document(std::string windowId, std::unique_ptr<Element> root)
    : windowId_(std::move(windowId)), root_(std::move(root)), active_(root_.get()) {
  static const IHTMLDocument2Vtbl table = [] {
    auto t = DispatchTable<IHTMLDocument2Vtbl, IHTMLDocument2>();
    t.get_activeElement = &get_activeElement;
    t.get_frames = &get_frames;
    return t;
  }();
  face_ = {&table, this};
}

Document::~Document() {
  for (Frame& frame : frames_)
    frame.document->Release();
}

HRESULT Document::QueryInterface(REFIID iid, void** out) {
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
      IsEqualIID(iid, IID_IHTMLDocument) || IsEqualIID(iid, IID_IHTMLDocument2)) {
    return face_.HandOut(out);
  }
  return E_NOINTERFACE;
}

void Document::AddFrame(Element& element, Document& document) {
  document.AddRef();
  frames_.push_back(Frame{element.Attribute("name"), &element, &document});
}

Element* Document::Find(const std::string& id, Document*& holder) {
  if (Element* found = FindById(*root_, id)) {
    holder = this;
    return found;
  }
  for (Frame& frame : frames_) {
    if (Element* found = frame.document->Find(id, holder)) return found;
  }
  return nullptr;
}

void Document::Focus(Document& holder, Element& element) {
  holder.active_ = &element;
  for (Frame& frame : frames_) {
    if (frame.document == &holder) active_ = frame.element;
  }
}

HRESULT STDMETHODCALLTYPE Document::get_activeElement(IHTMLDocument2* self, IHTMLElement** out) {
  if (!out) return E_POINTER;
  Document& document = OwnerOf<Document>(self);
  *out = document.active_ ? NewElementObject(document, *document.active_) : nullptr;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Document::get_frames(IHTMLDocument2* self, IHTMLFramesCollection2** out) {
  if (!out) return E_POINTER;
  *out = (new FramesObject(OwnerOf<Document>(self)))->Get();
  return S_OK;
}

}  // namespace standin
