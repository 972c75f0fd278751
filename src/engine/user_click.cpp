#include "engine/user_click.h"

#include "core/ascii_case.h"
#include "core/failure.h"
#include "core/form_fields.h"
#include "core/platform_error.h"
#include "engine/local_address.h"

namespace velmox {
namespace {

// A missing page object is a failure like any other call on it. The object must be held by a
// name while it is used: a desktop may hand out a fresh one on every call, which a temporary
// would free at once.
template <class T>
T& Require(const std::shared_ptr<T>& object) {
  if (!object) throw ObjectNotSet();
  return *object;
}
template <class T>
T& Require(std::shared_ptr<T>&& temporary) = delete;

struct Request {
  const OptionRecord& options;
  BrowserAutomation& browsers;
  BrowserWindow& Opener;
  const std::string& URL;
  std::optional<long> Flags;
  const std::optional<std::string>& PostData;
  const LetCapturedWindowGoOn& capturedWindow;
};

enum class Submitter {
  None,
  // An `input type=submit`: outside a form it is a page Velmox cannot make sense of.
  SubmitInput,
  // An image button, a `button`, a field Enter submits from: outside a form, a control like any
  // other (a `button` stands alone on many pages).
  OtherControl,
};

Submitter SubmitterKind(const std::string& tag, HtmlElement& element) {
  if (tag != "input" && tag != "button") return Submitter::None;
  const std::string type = ToLowerAscii(element.type());
  if (tag == "button") return type == "submit" ? Submitter::OtherControl : Submitter::None;
  if (type == "submit") return Submitter::SubmitInput;
  return type == "image" || SubmitsOnEnter(type) ? Submitter::OtherControl : Submitter::None;
}

// A form with no method written sends a GET.
std::string MethodOf(HtmlElement& form) {
  const std::string method = ToLowerAscii(form.method());
  return method.empty() ? "get" : method;
}

bool IsSchemeCharacter(char c) {
  return IsAsciiLetter(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

// "http:" or "http://" names no page: it occurs in every address of that scheme, so it would
// make every later pop-up of the page look like the user's submission.
bool IsSchemeAlone(std::string_view action) {
  while (!action.empty() && (action.back() == '/' || action.back() == '\\'))
    action.remove_suffix(1);
  if (action.size() < 2 || action.back() != ':') return false;
  action.remove_suffix(1);
  const char first = action.front();
  if (!IsAsciiLetter(first)) return false;
  for (char c : action) {
    if (!IsSchemeCharacter(c)) return false;
  }
  return true;
}

// A form submission counts when the reduced action is long enough to mean something, names more
// than a scheme, and occurs in the captured address.
bool ActionLeadsTo(HtmlElement& form, const std::string& URL) {
  const std::string action = GetURLFromAction(form.action());
  return action.size() > 4 && !IsSchemeAlone(action) && ContainsIgnoreCase(URL, action);
}

void OpenForUser(const Request& request, HtmlElement& element, RequestStyle style) {
  // Blurred first, so the focus no longer rests on it when the next captured window arrives.
  element.blur();
  OpenRequestedWindow(request.options, request.browsers, request.Opener, request.URL, style,
                      request.Flags, request.PostData, request.capturedWindow);
}

// The link test and the submit test; both are made, though their tags exclude each other.
bool ExamineElement(const Request& request, const std::shared_ptr<HtmlElement>& focused) {
  HtmlElement& element = Require(focused);
  bool handled = false;

  const std::string tag = ToLowerAscii(element.tagName());
  // A local link is reported as the path it names: both are compared in that one form.
  if ((tag == "a" || tag == "area") &&
      EqualsIgnoreCase(LocalAddressForm(element.href()), LocalAddressForm(request.URL))) {
    OpenForUser(request, element, RequestStyle::Link);
    handled = true;
  }

  const Submitter submitter = SubmitterKind(tag, element);
  if (submitter != Submitter::None) {
    const std::shared_ptr<HtmlElement> form = LocateParentForm(focused);
    if (!form && submitter == Submitter::OtherControl) return handled;
    // A post whose data is present but empty is not the form's own submission.
    const bool postDataFits = !request.PostData.has_value() || !request.PostData->empty();
    if (MethodOf(Require(form)) == "post" && postDataFits && ActionLeadsTo(*form, request.URL)) {
      OpenForUser(request, element, RequestStyle::Form);
      handled = true;
    }
    if (MethodOf(Require(form)) == "get" && request.URL.find('?') != std::string::npos &&
        ActionLeadsTo(*form, request.URL)) {
      OpenForUser(request, element, RequestStyle::Form);
      handled = true;
    }
  }
  return handled;
}

bool IsFrameHolder(const std::string& tag) {
  return tag == "frameset" || tag == "frame" || tag == "iframe";
}

// A link leads to the window that shows its address; a form's submission to the one that sends
// its request (a POST with the post data, a GET with the query in the address).
bool ActivationLeadsTo(const UserActivation& activation, const Request& request) {
  if (activation.secondsAgo < 0 || activation.secondsAgo > kActivationWindowSeconds) return false;
  const bool sameAddress =
      EqualsIgnoreCase(LocalAddressForm(activation.address), LocalAddressForm(request.URL));
  switch (activation.kind) {
    case UserActivation::Kind::Link:
      return sameAddress;
    case UserActivation::Kind::Form:
      if (activation.method == "post") return sameAddress && request.PostData.has_value();
      return sameAddress && !request.PostData.has_value();
    case UserActivation::Kind::None:
      return false;
  }
  return false;
}

bool ExamineActivation(const Request& request, const UserActivation& activation) {
  if (!ActivationLeadsTo(activation, request)) return false;
  // Used once, so that one click never lets a second window through.
  request.Opener.ConsumeUserActivation();
  const RequestStyle style =
      activation.kind == UserActivation::Kind::Form ? RequestStyle::Form : RequestStyle::Link;
  OpenRequestedWindow(request.options, request.browsers, request.Opener, request.URL, style,
                      request.Flags, request.PostData, request.capturedWindow);
  return true;
}

}  // namespace

bool OpenIfUserAction(const OptionRecord& options, BrowserAutomation& browsers,
                      BrowserWindow& Opener, const std::string& URL, std::optional<long> Flags,
                      const std::optional<std::string>& PostData, UserAction startedBy,
                      const LetCapturedWindowGoOn& capturedWindow) {
  const Request request{options, browsers, Opener, URL, Flags, PostData, capturedWindow};
  // Whatever holds the focus: the page's own script asked for this window.
  if (startedBy == UserAction::No) return false;
  if (const std::optional<UserActivation> activation = Opener.LastUserActivation()) {
    return ExamineActivation(request, *activation);
  }

  const std::shared_ptr<HtmlDocument> document = Opener.Document();
  HtmlDocument& D = Require(document);
  const std::shared_ptr<HtmlElement> focused = D.activeElement();

  const std::string focusedTag = ToLowerAscii(Require(focused).tagName());
  if (!IsFrameHolder(focusedTag) || D.framesLength() == 0) {
    return ExamineElement(request, focused);
  }

  // The focus is on a frame or an inline frame: look into every frame of that name (all of them
  // when the frames are unnamed). One level only, and no early stop.
  bool Handled = false;
  const int frameCount = D.framesLength();
  for (int i = 0; i < frameCount; ++i) {
    const std::shared_ptr<HtmlFrame> item = D.frameItem(i);
    HtmlFrame& frame = Require(item);
    const std::shared_ptr<HtmlElement> frameElement = D.activeElement();
    if (frame.name() != Require(frameElement).name()) continue;
    const std::shared_ptr<HtmlDocument> shown = frame.document();
    if (ExamineElement(request, Require(shown).activeElement())) Handled = true;
  }
  return Handled;
}

std::shared_ptr<HtmlElement> ParentElement(const std::shared_ptr<HtmlElement>& HTMLElement) {
  if (!HTMLElement) return nullptr;
  return TrapOr<std::shared_ptr<HtmlElement>>(nullptr,
                                              [&] { return HTMLElement->parentElement(); });
}

std::shared_ptr<HtmlElement> LocateParentForm(std::shared_ptr<HtmlElement> FormChildElement) {
  return TrapOr<std::shared_ptr<HtmlElement>>(nullptr, [&]() -> std::shared_ptr<HtmlElement> {
    std::shared_ptr<HtmlElement> element = std::move(FormChildElement);
    std::string tag;
    do {
      element = ParentElement(element);
      tag = ToLowerAscii(Require(element).tagName());
    } while (tag != "form" && tag != "body");
    if (tag == "body") return nullptr;
    return element;
  });
}

std::string GetURLFromAction(std::string_view Action) {
  while (!Action.empty() &&
         (Action.front() == '/' || Action.front() == '\\' || Action.front() == '.')) {
    Action.remove_prefix(1);
  }
  if (!Action.empty() && (Action.back() == '/' || Action.back() == '\\')) Action.remove_suffix(1);
  return std::string(Action);
}

void OpenRequestedWindow(const OptionRecord& options, BrowserAutomation& browsers,
                         BrowserWindow& Opener, const std::string& URL, RequestStyle Style,
                         std::optional<long> Flags, const std::optional<std::string>& PostData,
                         const LetCapturedWindowGoOn& capturedWindow) {
  NavigateArgs navigation;
  navigation.url = URL;
  if (Style == RequestStyle::Form) {
    navigation.flags = Flags;
    navigation.postData = PostData;
  }

  if (options.LinkTarget == "_top") {
    navigation.targetFrameName = options.LinkTarget;
    Opener.Navigate(navigation);
    return;
  }
  // The window the page asked for, where the browser still holds it, keeps what the page gave
  // it: its name, its size and the page's handle to it.
  if (capturedWindow && capturedWindow(navigation)) return;

  std::shared_ptr<BrowserWindow> window = browsers.CreateInternetExplorer();
  navigation.targetFrameName = "_top";
  Require(window).Navigate(navigation);
  window->SetVisible(true);
}

}  // namespace velmox
