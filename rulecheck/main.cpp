// rulecheck: previews and lints a rules file the way one of the programs reads it.
#include <string>
#include <vector>

#include "rulecheck/rulecheck_app.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    rulecheck::RulecheckApp app;
    return app.run(args);
}
