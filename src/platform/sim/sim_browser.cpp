#include "platform/sim/sim_browser.h"

#include <algorithm>

#include "core/platform_error.h"
#include "platform/sim/page_map.h"
#include "platform/sim/sim_address.h"
#include "platform/sim/sim_process_end.h"
#include "platform/sim/snapshot_enumerator.h"

namespace velmox::sim {
namespace {

class SinkControl : public PageSinkControl {
 public:
  SinkControl(std::shared_ptr<SinkState> state,
              std::vector<std::weak_ptr<EventLink<BrowserEvents>>>& allLinks,
              std::function<void(SinkState&, const std::shared_ptr<Dispatch>&)> firstNavigation)
      : state_(std::move(state)),
        object_(std::make_shared<SinkObject>(state_)),
        allLinks_(allLinks),
        firstNavigation_(std::move(firstNavigation)) {}
  ~SinkControl() override { state_->alive = false; }

  std::shared_ptr<Dispatch> Object() override {
    if (!state_->alive) throw Disconnected();
    return object_;
  }
  std::unique_ptr<Connection> Connect(BrowserEvents& events) override {
    auto link = std::make_shared<EventLink<BrowserEvents>>();
    link->events = &events;
    state_->links.push_back(link);
    allLinks_.push_back(link);
    auto connection = std::make_unique<SimConnection<BrowserEvents>>(link);
    // The control's own navigation to its initial address comes once it is listened to.
    if (!state_->navigated) {
      state_->navigated = true;
      firstNavigation_(*state_, object_);
    }
    return connection;
  }

 private:
  std::shared_ptr<SinkState> state_;
  std::shared_ptr<SinkObject> object_;
  std::vector<std::weak_ptr<EventLink<BrowserEvents>>>& allLinks_;
  std::function<void(SinkState&, const std::shared_ptr<Dispatch>&)> firstNavigation_;
};

}  // namespace

std::vector<BrowserEvents*> SinkState::Handlers() const {
  std::vector<BrowserEvents*> out;
  for (const auto& link : links) {
    if (link->alive) out.push_back(link->events);
  }
  return out;
}

SimDocument* Place::Document() const {
  if (frame != nullptr) return frame->Shown().get();
  return window->document.get();
}

std::string Place::Label() const {
  std::string label;
  for (SimFrame* f = frame; f != nullptr; f = f->Parent().OwnerFrame()) {
    label = "/" + (f->Name().empty() ? std::string("(unnamed)") : f->Name()) + label;
  }
  return window->Label() + label;
}

// ---- The shell collection ----------------------------------------------------------------------

class SimBrowsers::Shell : public ShellWindows {
 public:
  Shell(SimBrowsers& browsers, std::string program)
      : browsers_(browsers), program_(std::move(program)) {}

  std::unique_ptr<WindowEnumerator> Enumerate() override {
    return std::make_unique<SnapshotEnumerator<SimWindow>>(browsers_.windows_, browsers_.failAt_,
                                                           browsers_.enumerationFailure_);
  }
  std::unique_ptr<Connection> Connect(ShellWindowsEvents& events) override {
    browsers_.Check("ShellWindows.Connect");
    auto link = std::make_shared<EventLink<ShellWindowsEvents>>();
    link->events = &events;
    browsers_.shellLinks_.push_back({link, program_, browsers_.nextEvent_});
    return std::make_unique<SimConnection<ShellWindowsEvents>>(link);
  }

 private:
  SimBrowsers& browsers_;
  std::string program_;
};

void SimBrowsers::Check(std::string_view call) const {
  if (failCall && failCall(call)) throw PlatformError(429, "ActiveX component can't create object");
}

std::unique_ptr<ShellWindows> SimBrowsers::CreateShellWindows() {
  return CreateShellWindowsFor("velmox");
}

std::unique_ptr<ShellWindows> SimBrowsers::CreateShellWindowsFor(std::string program) {
  Check("CreateShellWindows");
  return std::make_unique<Shell>(*this, std::move(program));
}

std::shared_ptr<BrowserWindow> SimBrowsers::CreateInternetExplorer() {
  auto window = AddWindow(NewLabel(), std::nullopt);
  window->features.Visible = false;
  newWindows.push_back(window);
  trace_.Line("browser", window->Label() + " created by Velmox, invisible");
  Post(true, window->Cookie());
  return window;
}

std::unique_ptr<PageSinkControl> SimBrowsers::CreatePageSink(int index) {
  Check("CreatePageSink");
  auto state = std::make_shared<SinkState>();
  state->index = index;
  std::erase_if(sinks_, [](const auto& s) { return !s->alive; });
  sinks_.push_back(state);
  // A hidden control shows nothing: its creation leaves no trace line.
  return std::make_unique<SinkControl>(
      state, allLinks_, [this](SinkState& sink, const std::shared_ptr<Dispatch>& object) {
        NavigateSinkHome(sink, object);
      });
}

// ---- Pages -------------------------------------------------------------------------------------

void SimBrowsers::MapPage(const std::string& address, const std::filesystem::path& file,
                          const std::string& documentType) {
  pages_.Map(address, file, documentType);
}

std::optional<PageMap::Page> SimBrowsers::PageFor(const std::string& address) const {
  if (auto page = pages_.Find(address)) return page;
  if (const auto local = LocalPathOf(address)) {
    try {
      return PageMap::Page{files_.RealPath(*local), ""};
    } catch (const PlatformError&) {
    }
  }
  return std::nullopt;
}

std::shared_ptr<SimDocument> SimBrowsers::LoadPage(const std::string& address,
                                                   const std::shared_ptr<WindowScope>& scope,
                                                   std::string& documentType) {
  FrameBudget budget;
  auto document = LoadDocument(address, scope, documentType, 0, budget);
  if (budget.refused > 0) {
    trace_.Line("browser", scope->label + ": " + Quoted(address) + " has more than " +
                               std::to_string(kMaxFrameDocuments) + " frame documents; " +
                               std::to_string(budget.refused) + " more frames show empty pages");
  }
  return document;
}

std::shared_ptr<SimDocument> SimBrowsers::LoadDocument(const std::string& address,
                                                       const std::shared_ptr<WindowScope>& scope,
                                                       std::string& documentType, int depth,
                                                       FrameBudget& budget) {
  documentType.clear();
  std::string source;
  if (const auto mapping = PageFor(address)) {
    if (!mapping->documentType.empty()) {
      documentType = mapping->documentType;
      return nullptr;
    }
    if (auto text = ReadPageFile(mapping->file)) {
      source = std::move(*text);
    } else {
      trace_.Line("browser", scope->label + ": no page file " + Quoted(mapping->file.string()) +
                                 " for " + Quoted(address) + ", an empty page instead");
    }
  }
  bool flattened = false;
  auto document = std::make_shared<SimDocument>(address, ParseHtml(source, &flattened), scope);
  if (flattened) {
    trace_.Line("browser", scope->label + ": " + Quoted(address) + " nests elements deeper than " +
                               std::to_string(kMaxHtmlDepth) +
                               " levels; the deeper ones are placed at that depth");
  }
  LoadFrames(*document, scope, depth, budget);
  return document;
}

void SimBrowsers::LoadFrames(SimDocument& document, const std::shared_ptr<WindowScope>& scope,
                             int depth, FrameBudget& budget) {
  if (depth >= kMaxFrameDepth) return;
  for (const auto& frame : document.Frames()) {
    const std::string address =
        ResolveAddress(document.BaseAddress(), frame->Element().AttributeOr("src", "about:blank"));
    std::shared_ptr<SimDocument> shown;
    if (budget.left > 0) {
      --budget.left;
      std::string type;
      shown = LoadDocument(address, scope, type, depth + 1, budget);
    } else {
      ++budget.refused;
    }
    if (!shown) shown = std::make_shared<SimDocument>(address, ParseHtml(""), scope);
    frame->Show(std::move(shown));
  }
}

// ---- Windows -----------------------------------------------------------------------------------

std::string SimBrowsers::NewLabel() {
  std::string label;
  do {
    label = "new" + std::to_string(nextNewLabel_++);
  } while (Find(label) != nullptr);
  return label;
}

std::shared_ptr<SimWindow> SimBrowsers::AddWindow(const std::string& label,
                                                  std::optional<std::size_t> at) {
  auto window = std::make_shared<SimWindow>(*this, label, nextCookie_++, trace_);
  const std::size_t position = std::min(at.value_or(windows_.size()), windows_.size());
  windows_.insert(windows_.begin() + static_cast<std::ptrdiff_t>(position), window);
  return window;
}

SimWindow& SimBrowsers::Open(const std::string& label, const std::string& address,
                             const OpenOptions& options) {
  auto window = AddWindow(label, options.position);
  window->name = options.name;
  window->features = options.features;
  const auto local = LocalPathOf(address);
  window->location = local ? FileAddressOf(*local) : ResolveAddress(address, address);
  if (options.documentType.empty()) {
    window->document = LoadPage(window->location, window->Scope(), window->documentType);
  } else {
    window->documentType = options.documentType;
  }
  std::string what = window->Label() + " opens";
  if (window->name != BrowserWindow::kBrowserName) what += " as " + Quoted(window->name);
  trace_.Line("browser", what + " at " + Quoted(window->location) + ", " +
                             (window->document ? "an HTML page" : Quoted(window->documentType)));
  Post(true, window->Cookie());
  return *window;
}

void SimBrowsers::Close(SimWindow& window) {
  auto keep = std::find_if(windows_.begin(), windows_.end(),
                           [&](const auto& w) { return w.get() == &window; });
  if (keep == windows_.end()) return;
  const auto held = *keep;
  windows_.erase(keep);
  held->open = false;
  held->Scope()->failure = Disconnected();
  trace_.Line("browser", held->Label() + " closes");
  Post(false, held->Cookie());
}

SimWindow* SimBrowsers::Find(const std::string& label) {
  for (const auto& window : windows_) {
    if (window->Label() == label) return window.get();
  }
  return nullptr;
}

std::optional<Place> SimBrowsers::FindPlace(const std::string& path) {
  const auto slash = path.find('/');
  Place place{Find(path.substr(0, slash)), nullptr};
  if (place.window == nullptr) return std::nullopt;
  std::size_t start = slash;
  while (start != std::string::npos) {
    const auto end = path.find('/', start + 1);
    const std::string name =
        path.substr(start + 1, end == std::string::npos ? end : end - start - 1);
    SimDocument* document = place.Document();
    if (document == nullptr) return std::nullopt;
    SimFrame* found = nullptr;
    for (const auto& frame : document->Frames()) {
      if (frame->Name() == name) {
        found = frame.get();
        break;
      }
    }
    if (found == nullptr) return std::nullopt;
    place.frame = found;
    start = end;
  }
  return place;
}

void SimBrowsers::ChangeFeatures(SimWindow& window, const WindowFeatures& features) {
  window.features = features;
  trace_.Line("browser", window.Label() + ": the user sets " + FeaturesText(features));
}

void SimBrowsers::FailWindow(SimWindow& window, std::optional<PlatformError> failure) {
  window.Scope()->failure = std::move(failure);
  const auto& f = window.Scope()->failure;
  trace_.Line("browser",
              window.Label() + (f ? ": every call fails with #" + std::to_string(f->Number()) +
                                        " " + Quoted(f->Description())
                                  : ": calls work again"));
}

void SimBrowsers::FailEnumeration(std::optional<std::size_t> item, PlatformError failure) {
  failAt_ = item;
  enumerationFailure_ = std::move(failure);
  trace_.Line("browser", item ? "the shell's enumeration fails at item " + std::to_string(*item) +
                                    " with #" + std::to_string(enumerationFailure_->Number()) +
                                    " " + Quoted(enumerationFailure_->Description())
                              : "the shell's enumeration works again");
}

// ---- The event loop ----------------------------------------------------------------------------

void SimBrowsers::Post(bool registered, long cookie) {
  pending_.push_back({registered, cookie, nextEvent_++});
}

void SimBrowsers::CallVelmox(const std::string& handler, const std::function<void()>& call) {
  try {
    call();
  } catch (const ProcessEnded&) {
    throw;
  } catch (const std::exception& e) {
    ++escapedFailures;
    trace_.Line("browser", "a failure escaped Velmox's " + handler + " handler: " + e.what());
  }
}

void SimBrowsers::Settle() {
  while (!pending_.empty()) {
    const ShellEvent event = pending_.front();
    pending_.pop_front();
    std::erase_if(shellLinks_, [](const ShellLink& each) { return !each.link->alive; });
    const auto links = shellLinks_;
    for (const ShellLink& each : links) {
      if (!each.link->alive || event.number < each.firstEvent) continue;
      ShellWindowsEvents& events = *each.link->events;
      if (event.registered) {
        CallVelmox("WindowRegistered", [&] { events.WindowRegistered(event.cookie); });
      } else {
        CallVelmox("WindowRevoked", [&] { events.WindowRevoked(event.cookie); });
      }
    }
  }
}

SinkState* SimBrowsers::Sink(int index) {
  for (const auto& sink : sinks_) {
    if (sink->alive && sink->index == index) return sink.get();
  }
  return nullptr;
}

bool SimBrowsers::ShellEventsConnected() const {
  return std::any_of(shellLinks_.begin(), shellLinks_.end(),
                     [](const ShellLink& each) { return each.link->alive; });
}

void SimBrowsers::DisconnectAll() {
  for (const ShellLink& each : shellLinks_) {
    if (each.program == "velmox") each.link->alive = false;
  }
  std::erase_if(shellLinks_, [](const ShellLink& each) { return !each.link->alive; });
  for (const auto& weak : allLinks_) {
    if (auto link = weak.lock()) link->alive = false;
  }
  // Events still pending go to the other programs; a later run of Velmox connects after them.
  allLinks_.clear();
}

}  // namespace velmox::sim
