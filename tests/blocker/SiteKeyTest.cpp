#include "blocker/SiteKey.h"

#include <gtest/gtest.h>

namespace quell {
namespace {

struct KeyCase {
    const char* address;
    const char* key;
};

void PrintTo(const KeyCase& c, std::ostream* os) {
    *os << c.address;
}

class SiteKeyTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(SiteKeyTest, DerivesKey) {
    EXPECT_EQ(SiteKey(GetParam().address), GetParam().key);
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, SiteKeyTest,
    ::testing::Values(KeyCase{"http://www.example.com/index.html", "www.example.com"},
                      KeyCase{"https://shop.example.org:8443/cart?x=1", "shop.example.org:8443"},
                      KeyCase{"HTTP://Www.Example.COM/Path", "Www.Example.COM"},  // case kept
                      KeyCase{"hTtPs://A.example.net", "A.example.net"},
                      KeyCase{"http://a.example/redirect?to=http://b.example/x", "a.example"},
                      KeyCase{"http://a.example?to=http://b.example/x", "a.example?to=b.example"},
                      KeyCase{"about:blank", "about:blank"},
                      KeyCase{"file:///C:/pages/index.html", "file:"}, KeyCase{"", ""},
                      KeyCase{"http://", ""},
                      KeyCase{"http://user:pw@host.example/", "user:pw@host.example"},
                      KeyCase{"https://http://x.example/", "x.example"},  // both schemes go
                      // One pass, as a text replace: what a removal joins is not searched again.
                      KeyCase{"hthttp://tp://x.example/", "http:"},
                      KeyCase{"javascript:void(0)", "javascript:void(0)"},
                      KeyCase{"//host/path", ""}));

}  // namespace
}  // namespace quell
