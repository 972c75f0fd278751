#include "engine/local_address.h"

#include <gtest/gtest.h>

namespace velmox {
namespace {

// The spellings of one local page meet in one form; other addresses are not touched.
TEST(LocalAddressForm, GivesTheSameFormForAPathAndItsFileAddress) {
  const std::pair<const char*, const char*> same[] = {
      {"file:///C:/Program%20Files/Velmox/a%2bb.html", "C:\\Program Files\\Velmox\\a+b.html"},
      {"FILE://C:\\dir/page.html", "C:/dir\\page.html"},
      {"file://server/share/page.html", "\\\\server\\share\\page.html"},
      {"file:////server/share/page.html", "\\\\server\\share\\page.html"},
  };
  for (const auto& [address, path] : same)
    EXPECT_EQ(LocalAddressForm(address), LocalAddressForm(path)) << address;
  EXPECT_EQ(LocalAddressForm("file:///C:/dir/x.html"), "C:\\dir\\x.html");
  EXPECT_NE(LocalAddressForm("file://server/share/x.html"), LocalAddressForm("C:\\share\\x.html"));
  for (const char* other : {"http://ads.example/a%20b/", "about:blank", "C:", "x:y/z", "%41", ""})
    EXPECT_EQ(LocalAddressForm(other), other);
  EXPECT_EQ(LocalAddressForm("file:///C:/odd%2"), "C:\\odd%2");
}

}  // namespace
}  // namespace velmox
