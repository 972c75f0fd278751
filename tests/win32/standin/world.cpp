#include "world.h"

#include <exdispid.h>

#include <algorithm>

#include "driver.h"
#include "html_objects.h"
#include "record.h"

namespace standin {
namespace {

// The page's frames in document order.
void CollectFrames(Element& element, std::vector<Element*>& frames) {
  if (element.tag == "frame" || element.tag == "iframe") frames.push_back(&element);
  for (auto& child : element.children)
    CollectFrames(*child, frames);
}

}  // namespace

World& World::Instance() {
  static World& world = *[] {
    World* made = new World;
    made->Commands().RunStartFile();
    return made;
  }();
  return world;
}

World::World() : collection_(new Collection(*this)), driver_(std::make_unique<Driver>(*this)) {}

Window* World::Find(const std::string& id) const {
  for (Window* window : listed_) {
    if (window->Id() == id) return window;
  }
  return nullptr;
}

Window& World::Create(const std::string& id, WindowFeatures features) {
  std::string next = std::to_string(created_ + 1);
  next.insert(next.begin(), 'w');
  if (id.empty()) ++created_;
  return *new Window(*this, id.empty() ? next : id, std::move(features));
}

void World::Register(Window& window, bool fromVelmoxCall) {
  window.AddRef();
  listed_.push_back(&window);
  const long cookie = ++lastCookie_;
  cookies_[window.Id()] = cookie;
  const std::string id = window.Id();
  auto raise = [this, id, cookie] {
    Record("registered " + id);
    collection_->Raise(DISPID_WINDOWREGISTERED, cookie);
  };
  if (fromVelmoxCall) {
    Later(raise);
  } else {
    raise();
  }
}

void World::Revoke(Window& window) {
  const auto listed = std::find(listed_.begin(), listed_.end(), &window);
  if (listed == listed_.end()) return;
  listed_.erase(listed);
  window.Close();
  Record("revoked " + window.Id());
  collection_->Raise(DISPID_WINDOWREVOKED, cookies_[window.Id()]);
  window.Release();
}

void World::SetPage(const std::string& address, std::string description) {
  std::string error;
  if (!ParsePage(description, error)) {
    Record("error: the page " + address + ": " + error);
    return;
  }
  pages_[address] = std::move(description);
}

Document* World::LoadDocument(const std::string& windowId, const std::string& address) {
  return LoadPage(windowId, address, true);
}

Document* World::LoadPage(const std::string& windowId, const std::string& address,
                          bool withFrames) {
  const auto described = pages_.find(address);
  std::string error;
  std::unique_ptr<Element> root =
      ParsePage(described == pages_.end() ? "body" : described->second, error);
  Document* document = new Document(windowId, std::move(root));
  if (document->Root().Attribute("focus") == "none") document->LoseFocus();
  if (!withFrames) return document;
  std::vector<Element*> frames;
  CollectFrames(document->Root(), frames);
  for (Element* element : frames) {
    Document* frame = LoadPage(windowId, element->Attribute("src"), false);
    document->AddFrame(*element, *frame);
    frame->Release();
  }
  return document;
}

HRESULT World::Enter(const std::string& owner, const std::string& member) {
  const auto armed = std::find_if(armed_.begin(), armed_.end(), [&](const Armed& each) {
    return each.owner == owner && each.member == member;
  });
  if (armed == armed_.end()) return S_OK;
  const std::string command = armed->command;
  armed_.erase(armed);
  Record("armed " + owner + " " + member + ": " + command);
  if (command == "fail") return HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE);
  driver_->RunNow(command);
  return S_OK;
}

void World::Arm(std::string owner, std::string member, std::string command) {
  armed_.push_back(Armed{std::move(owner), std::move(member), std::move(command)});
}

void World::Later(std::function<void()> task) {
  driver_->Later(std::move(task));
}

}  // namespace standin
