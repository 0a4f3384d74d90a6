// Linux: arguments are UTF-8 and file names go through the UTF-8 form.
#include <fstream>

#include "rulecheck/rulecheck_app.h"
#include "rulecore/platform/os.h"

namespace rulecheck {

rulecore::Text argumentText(std::string_view argument) {
    return rulecore::os::fromUtf8(argument);
}

bool fileReadable(const rulecore::Text& path) {
    return std::ifstream(rulecore::os::toUtf8(path), std::ios::binary).is_open();
}

}  // namespace rulecheck
