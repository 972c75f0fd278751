#pragma once

#include <string>

namespace velmox {

// Whether the browser says a user action started a new-window request. Unknown where the
// browser does not say.
enum class UserAction { Yes, No, Unknown };

// The user's own last click or key press in a window's pages, as a desktop that sees trusted
// input records it. The page's scripts cannot make one.
struct UserActivation {
  enum class Kind {
    None,  // the user's last press activated neither a link nor a form's submission
    Link,
    Form,
  };
  Kind kind = Kind::None;
  // A link's resolved address; for a form, the address its submission sends to (for GET with
  // the query of its fields).
  std::string address;
  std::string method;  // a form's, in lower case: "get" or "post"
  double secondsAgo = 0;
};

}  // namespace velmox
