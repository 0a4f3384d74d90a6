// Linux entry: arguments as the shell split them, UTF-8 turned into code page 936.
#include "fillrun/fillrun_app.h"
#include "rulecore/platform/os.h"
#include "rulecore/rules/report.h"

int main(int argc, char** argv) {
    try {
        rulecore::TextList arguments;
        for (int i = 1; i < argc; ++i) arguments.push_back(rulecore::os::fromUtf8(argv[i]));
        fillrun::FillRunApp app(rulecore::os::runDirectory());
        app.run(arguments);
    } catch (const rulecore::ProgramEnd&) {
        // A rules error ended the program after its message; the owners are gone.
    } catch (...) {
        // Every end of the program is a normal end.
    }
    return 0;
}
