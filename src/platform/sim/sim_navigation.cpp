// How the simulated browser navigates, opens new windows and answers the user's actions.

#include "core/ascii_case.h"
#include "core/form_fields.h"
#include "platform/sim/context_menu_script.h"
#include "platform/sim/sim_address.h"
#include "platform/sim/sim_browser.h"
#include "platform/sim/sim_form.h"
#include "platform/sim/sim_process_end.h"

namespace velmox::sim {
namespace {

// The flags the browser gives a navigation the user started with a link or a form.
constexpr long kUserNavigationFlags = 64;

long FlagsStartedBy(UserAction by) {
  return by == UserAction::Yes ? kUserNavigationFlags : 0;
}

bool IsLink(const HtmlNode& node) {
  return (node.tag == "A" || node.tag == "AREA") && node.Attribute("href");
}

// The place's page, which a click or key needs.
SimDocument& HtmlPage(Place place) {
  SimDocument* document = place.Document();
  if (document == nullptr) throw std::invalid_argument(place.Label() + " shows no HTML page");
  return *document;
}

std::string RequestText(const NavigationRequest& r) {
  std::string text = Quoted(r.address);
  if (r.flags) text += " flags " + std::to_string(*r.flags);
  if (r.postData) text += " post " + Quoted(*r.postData);
  return text;
}

// The features of window.open's third argument that the browser's own new window takes.
WindowFeatures OpenFeatures(const std::string& text) {
  WindowFeatures features;
  if (text.empty()) return features;
  // Naming any feature turns the others off, as browsers do.
  features.MenuBar = features.StatusBar = features.AddressBar = false;
  features.ToolBar = 0;
  std::size_t start = 0;
  while (start <= text.size()) {
    auto end = text.find(',', start);
    if (end == std::string::npos) end = text.size();
    std::string item = ToLowerAscii(text.substr(start, end - start));
    std::erase(item, ' ');
    const auto equals = item.find('=');
    const std::string key = item.substr(0, equals);
    const std::string value = equals == std::string::npos ? "yes" : item.substr(equals + 1);
    const bool on = value == "yes" || value == "1" || value == "true";
    if (key == "toolbar") features.ToolBar = on ? 1 : 0;
    if (key == "menubar") features.MenuBar = on;
    if (key == "status") features.StatusBar = on;
    if (key == "location") features.AddressBar = on;
    if (key == "fullscreen") features.FullScreen = on;
    if (key == "channelmode") features.TheaterMode = on;
    start = end + 1;
  }
  return features;
}

}  // namespace

bool SimBrowsers::Navigate(Place place, const NavigationRequest& request) {
  SimWindow& window = *place.window;
  const auto local = LocalPathOf(request.address);
  // The browser reports a local file by its path, not as a file: address.
  const std::string reported = local ? *local : request.address;
  BeforeNavigate2Args args;
  args.pDisp = place.frame != nullptr ? static_cast<Dispatch*>(place.frame) : &window;
  args.URL = reported;
  args.Flags = request.flags;
  args.TargetFrameName = request.targetFrameName;
  args.PostData = request.postData;
  args.Headers = request.headers;
  for (BrowserEvents* handler : window.Handlers()) {
    CallVelmox("BeforeNavigate2", [&] { handler->BeforeNavigate2(args); });
  }
  const std::string label = place.Label();
  lastNavigation[label] = {reported, args.Cancel};
  if (args.Cancel) {
    trace_.Line("browser", label + ": the navigation to " + Quoted(reported) + " is cancelled");
    return false;
  }
  const std::string address = local ? FileAddressOf(*local) : request.address;
  std::string type;
  auto document = LoadPage(address, window.Scope(), type);
  if (place.frame != nullptr) {
    if (!document) document = std::make_shared<SimDocument>(address, ParseHtml(""), window.Scope());
    place.frame->Show(std::move(document));
  } else {
    window.location = address;
    window.document = std::move(document);
    window.documentType = type;
  }
  trace_.Line("browser",
              label + " loads " + RequestText({address, request.flags, "", request.postData, ""}));
  return true;
}

void SimBrowsers::NavigateFromVelmox(SimWindow& window, const NavigateArgs& args) {
  NavigationRequest request{args.url,      args.flags, args.targetFrameName.value_or(""),
                            args.postData, "",         UserAction::Unknown};
  if (!window.firstNavigation) window.firstNavigation = request;
  trace_.Line("browser",
              window.Label() + ": Velmox navigates to " + RequestText(request) +
                  (args.targetFrameName ? " target " + Quoted(*args.targetFrameName) : ""));
  FollowTarget(Place{&window, nullptr}, request.targetFrameName, request);
}

void SimBrowsers::FollowTarget(Place from, const std::string& target,
                               const NavigationRequest& request, const std::string& features) {
  const std::string lower = ToLowerAscii(target);
  if (lower.empty() || lower == "_self") {
    Navigate(from, request);
  } else if (lower == "_top") {
    Navigate(Place{from.window, nullptr}, request);
  } else if (lower == "_parent") {
    Navigate(Parent(from), request);
  } else if (lower == "_blank") {
    RequestNewWindow(*from.window, request, features);
  } else if (SimFrame* frame =
                 from.window->document ? from.window->document->FindFrame(target) : nullptr) {
    Navigate(Place{from.window, frame}, request);
  } else {
    // A name no frame of the window has opens a new window under that name.
    RequestNewWindow(*from.window, request, features);
  }
}

Place SimBrowsers::Parent(Place place) {
  if (place.frame == nullptr) return place;
  return Place{place.window, place.frame->Parent().OwnerFrame()};
}

void SimBrowsers::RequestNewWindow(SimWindow& opener, const NavigationRequest& request,
                                   const std::string& features) {
  trace_.Line("browser", opener.Label() + " asks for a new window for " + RequestText(request));
  std::shared_ptr<Dispatch> ppDisp;
  bool cancel = false;
  for (BrowserEvents* handler : opener.Handlers()) {
    CallVelmox("NewWindow2", [&] { handler->NewWindow2(ppDisp, cancel, request.startedBy); });
  }
  if (cancel) {
    trace_.Line("browser", opener.Label() + ": the new window is cancelled");
    return;
  }
  if (ppDisp) {
    if (auto* sink = dynamic_cast<SinkObject*>(ppDisp.get())) {
      if (sink->state->alive) return NavigateSink(*sink->state, ppDisp, request);
    } else if (auto* window = dynamic_cast<SimWindow*>(ppDisp.get()); window && window->open) {
      if (!window->firstNavigation) window->firstNavigation = request;
      Navigate(Place{window, nullptr}, request);
      return;
    }
    trace_.Line("browser", opener.Label() +
                               ": the object handed back for the new window is no browser, "
                               "so no window opens");
    return;
  }
  auto window = AddWindow(NewLabel(), std::nullopt);
  window->features = OpenFeatures(features);
  window->firstNavigation = request;
  newWindows.push_back(window);
  trace_.Line("browser",
              "the browser opens " + window->Label() + " with " + FeaturesText(window->features));
  Post(true, window->Cookie());
  Navigate(Place{window.get(), nullptr}, request);
}

void SimBrowsers::NavigateSink(SinkState& sink, const std::shared_ptr<Dispatch>& object,
                               const NavigationRequest& request) {
  BeforeNavigate2Args args;
  args.pDisp = object.get();
  args.URL = LocalPathOf(request.address).value_or(request.address);
  args.Flags = request.flags;
  args.TargetFrameName = request.targetFrameName;
  args.PostData = request.postData;
  args.Headers = request.headers;
  const std::string name = "page sink " + std::to_string(sink.index);
  trace_.Line("browser",
              "the new window's navigation to " + RequestText(request) + " goes to " + name);
  const auto links = sink.links;
  for (const auto& link : links) {
    if (!link->alive) continue;
    CallVelmox("page sink BeforeNavigate2", [&] { link->events->BeforeNavigate2(args); });
  }
  sinkCatches.push_back({sink.index, args.URL, args.Cancel});
  if (args.Cancel) {
    trace_.Line("browser", name + ": the navigation is cancelled");
    return;
  }
  sink.location = request.address;
  trace_.Line("browser", name + " loads it, unseen");
}

void SimBrowsers::NavigateSinkHome(SinkState& sink, const std::shared_ptr<Dispatch>& object) {
  BeforeNavigate2Args args;
  args.pDisp = object.get();
  args.URL = sink.location;
  args.Flags = 0;
  const auto links = sink.links;
  for (const auto& link : links) {
    if (!link->alive) continue;
    CallVelmox("page sink BeforeNavigate2", [&] { link->events->BeforeNavigate2(args); });
  }
}

void SimBrowsers::Click(Place place, HtmlNode& element, UserAction by) {
  HtmlPage(place).Focus(element);
  const bool byUser = by == UserAction::Yes;
  trace_.Line("browser", place.Label() +
                             (byUser ? ": the user clicks " : ": the page's script clicks ") +
                             DescribeElement(element));
  if (IsLink(element)) return FollowLink(place, element, by);
  if (!IsSubmitButton(element)) return;
  HtmlNode* form = EnclosingForm(element);
  if (form == nullptr) return;  // a submit button outside any form submits nothing
  Submit(place, *form, element, by);
}

void SimBrowsers::FollowLink(Place place, HtmlNode& link, UserAction by) {
  SimDocument& document = *place.Document();
  NavigationRequest request;
  request.address = ResolveAddress(document.BaseAddress(), *link.Attribute("href"));
  request.flags = FlagsStartedBy(by);
  request.startedBy = by;
  const std::string target =
      link.Attribute("target") ? *link.Attribute("target") : document.BaseTarget();
  request.targetFrameName = target;
  FollowTarget(place, target, request);
}

void SimBrowsers::Submit(Place place, HtmlNode& form, const HtmlNode& submitter, UserAction by) {
  const FormSubmission submission = SubmitForm(*place.Document(), form, submitter);
  NavigationRequest request{submission.address,  FlagsStartedBy(by), submission.target,
                            submission.postData, submission.headers, by};
  FollowTarget(place, submission.target, request);
}

void SimBrowsers::PressEnter(Place place) {
  HtmlNode& focused = *HtmlPage(place).Focused();
  trace_.Line("browser", place.Label() + ": the user presses Enter on " + DescribeElement(focused));
  if (IsLink(focused)) return FollowLink(place, focused, UserAction::Yes);
  if (IsSubmitButton(focused)) return Click(place, focused);
  HtmlNode* form = EnclosingForm(focused);
  const std::optional<std::string> type = ElementType(focused);
  if (form == nullptr || focused.tag != "INPUT" || !SubmitsOnEnter(*type)) return;
  // Enter in a field submits the form as its first submit button would, or as it stands.
  HtmlNode* button = nullptr;
  for (HtmlNode* node : Elements(*form)) {
    if (IsSubmitButton(*node) && EnclosingForm(*node) == form) {
      button = node;
      break;
    }
  }
  Submit(place, *form, button ? *button : focused, UserAction::Yes);
}

void SimBrowsers::ScriptFocuses(Place place, HtmlNode& element) {
  HtmlPage(place).Focus(element);
  trace_.Line("browser", place.Label() + ": the page's script focuses " + DescribeElement(element));
}

void SimBrowsers::MiddleClick(Place place, HtmlNode& element) {
  SimDocument& document = HtmlPage(place);
  document.Focus(element);
  trace_.Line("browser", place.Label() + ": the user middle-clicks " + DescribeElement(element));
  if (!IsLink(element)) return;
  NavigationRequest request;
  request.address = ResolveAddress(document.BaseAddress(), *element.Attribute("href"));
  request.flags = kUserNavigationFlags;
  request.targetFrameName = "_blank";
  request.startedBy = UserAction::Yes;
  FollowTarget(place, "_blank", request);
}

void SimBrowsers::ScriptOpens(Place place, const std::string& address, const std::string& features,
                              UserAction startedBy) {
  SimDocument* document = place.Document();
  NavigationRequest request;
  request.address =
      ResolveAddress(document ? document->BaseAddress() : place.window->location, address);
  request.flags = FlagsStartedBy(startedBy);
  request.startedBy = startedBy;
  trace_.Line("browser",
              place.Label() + ": the page's script opens a window" +
                  (startedBy == UserAction::Yes ? " while it handles the user's action" : ""));
  RequestNewWindow(*place.window, request, features);
}

void SimBrowsers::ContextMenu(Place place, bool disallow) {
  const auto navigation =
      PickMenuEntry(files_, disallow, place.Label(),
                    [&](const std::string& line) { trace_.Line("browser", line); });
  if (!navigation) return;
  for (std::size_t levels = navigation->parentLevels; levels > 0; --levels)
    place = Parent(place);
  NavigationRequest request;
  request.address = navigation->address;
  Navigate(place, request);
}

}  // namespace velmox::sim
