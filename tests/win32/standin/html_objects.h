#pragma once

#include "com_faces.h"
#include "page.h"

#include <mshtml.h>

#include <memory>
#include <string>
#include <vector>

namespace standin {

// The document model of one loaded page, through the HTML interfaces Velmox reads: the focused
// element, the frames, and each element's tag, parent, properties by name and blur.
class Document : public Object {
 public:
  struct Frame {
    std::string name;
    Element* element;    // the FRAME element in this document
    Document* document;  // the page the frame shows; a reference held
  };

  // `windowId` names the browser window in the record.
  Document(std::string windowId, std::unique_ptr<Element> root);

  HRESULT QueryInterface(REFIID iid, void** out) override;
  IHTMLDocument2* Get() { return face_.Get(); }

  Element& Root() { return *root_; }
  const std::string& WindowId() const { return windowId_; }
  void AddFrame(Element& element, Document& document);
  const std::vector<Frame>& Frames() const { return frames_; }

  // The element with this id, here or in a frame's page, and the document that holds it.
  Element* Find(const std::string& id, Document*& holder);
  // The user puts the focus on an element of this page or of one of its frames' pages; in a
  // frame, this page's focus is on the FRAME element.
  void Focus(Document& holder, Element& element);
  // A page that is still loading has no focused element to give.
  void LoseFocus() { active_ = nullptr; }
  void Blur() { active_ = root_.get(); }

 private:
  ~Document() override;

  static HRESULT STDMETHODCALLTYPE get_activeElement(IHTMLDocument2* self, IHTMLElement** out);
  static HRESULT STDMETHODCALLTYPE get_frames(IHTMLDocument2* self, IHTMLFramesCollection2** out);

  std::string windowId_;
  std::unique_ptr<Element> root_;
  Element* active_;
  std::vector<Frame> frames_;
  Face<IHTMLDocument2> face_;
};

// An element of a loaded page, as the document model hands it out.
IHTMLElement* NewElementObject(Document& document, Element& element);

}  // namespace standin
