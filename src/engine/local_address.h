#pragma once

#include <string>
#include <string_view>

namespace velmox {

// A local page has two spellings: the browser reports a navigation to it as a path
// ("C:\dir\page.html", "\\server\share\page.html") while the page's links hold a file: address
// ("file:///C:/dir/page.html"). Both give the path here, with "\" for "/" and escapes such as
// "%20" decoded in a file: address; any other address is returned as it is.
std::string LocalAddressForm(std::string_view address);

}  // namespace velmox
