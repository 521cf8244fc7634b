#pragma once

#include <string>
#include <string_view>

namespace quell {

// The site key of a page address: every "http://" and "https://" removed (any case, any
// position), then the text up to the first "/" kept, then every "/" removed. Case is kept.
std::string SiteKey(std::string_view locationUrl);

}  // namespace quell
