#include "tests/fillrun/process.h"

namespace fillrun::test {

std::string joinCommandLine(const rulecore::TextList& arguments) {
    std::string line;
    for (const rulecore::Text& argument : arguments) {
        bool quote = argument.empty();
        for (char c : argument) quote = quote || static_cast<unsigned char>(c) < 0x21;
        if (!line.empty()) line.append(1, ' ');
        if (quote) line.append(1, '"');
        line.append(argument);
        if (quote) line.append(1, '"');
    }
    return line;
}

}  // namespace fillrun::test
