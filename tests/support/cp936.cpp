#include "tests/support/cp936.h"

#include "rulecore/platform/os.h"

namespace rulecore::test {

Text cp(std::u8string_view utf8) {
    return os::fromUtf8(std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size()));
}

std::string utf8(std::string_view cp936) { return os::toUtf8(cp936); }

}  // namespace rulecore::test
