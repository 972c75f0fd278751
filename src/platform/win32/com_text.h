#pragma once

#include "platform/win32/win_api.h"

#include <oleauto.h>

#include <string>

#include "platform/win32/scoped_win.h"
#include "platform/win32/win_error.h"

namespace velmox::win32 {

// Velmox's text is ANSI; the browser's is UTF-16. These convert through the system's code page.
std::string ToAnsi(const wchar_t* text, int length);
inline std::string ToAnsi(BSTR text) {
  return ToAnsi(text, static_cast<int>(SysStringLen(text)));
}
ScopedBstr ToBstr(const std::string& text);

// The text a COM getter returns as a BSTR, e.g. ReadText([&](BSTR* out) { return x->get_name(out);
// }).
template <class Getter>
std::string ReadText(Getter getter) {
  BSTR raw = nullptr;
  CheckHr(getter(&raw));
  ScopedBstr text(raw);
  return ToAnsi(text.Get());
}

// The value behind every level of by-reference variants: the browser wraps some event arguments
// more than once (BeforeNavigate2's PostData twice). A chain that refers back to itself ends
// after a few levels.
const VARIANT& Unwrapped(const VARIANT& value);

// The text of a variant (followed through by-reference variants), as the browser's own
// conversion gives it. Fails for a value that has no text, such as Null.
std::string VariantText(const VARIANT& value);

}  // namespace velmox::win32
