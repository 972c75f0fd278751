#pragma once

#include "platform/win32/win_api.h"

#include <mshtml.h>

#include <memory>

#include "core/browser_automation.h"
#include "platform/win32/scoped_win.h"

namespace velmox::win32 {

// The page document model through the browser's HTML interfaces. Element properties that only
// some elements have (href, type, name, method, action) are read by name, so an element without
// the member fails as late binding would.
std::shared_ptr<HtmlDocument> WrapDocument(ComPtr<IHTMLDocument2> document);
std::shared_ptr<HtmlElement> WrapElement(ComPtr<IHTMLElement> element);

// A property read by name through IDispatch, as text.
std::string PropertyText(IDispatch* object, const wchar_t* name);

}  // namespace velmox::win32
