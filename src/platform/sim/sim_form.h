#pragma once

#include <optional>
#include <string>

#include "platform/sim/sim_document.h"

namespace velmox::sim {

// What a browser sends when a form is submitted.
struct FormSubmission {
  std::string address;                  // GET: the action with the query; POST: the action
  std::optional<std::string> postData;  // POST only
  std::string headers;
  std::string target;  // the form's target, else the page's base target
};

// A button that submits its form when clicked: INPUT of type submit or image, or a BUTTON of
// type submit.
bool IsSubmitButton(const HtmlNode& node);

// The FORM element around `element`, or nullptr.
HtmlNode* EnclosingForm(HtmlNode& element);

// The submission of `form`, a FORM element of `document`, by the button `submitter`: its
// successful controls encoded as application/x-www-form-urlencoded. A method other than "post"
// (in any case) submits as GET; an empty action submits to the page's own address.
FormSubmission SubmitForm(SimDocument& document, HtmlNode& form, const HtmlNode& submitter);

}  // namespace velmox::sim
