// Windows entry: the raw ANSI command line, split the way fillrun always has.
#include <windows.h>

#include "fillrun/command_line.h"
#include "fillrun/fillrun_app.h"
#include "rulecore/platform/os.h"
#include "rulecore/rules/report.h"

int main() {
    try {
        const char* raw = GetCommandLineA();
        fillrun::FillRunApp app(rulecore::os::runDirectory());
        app.run(fillrun::splitCommandLine(raw ? raw : ""));
    } catch (const rulecore::ProgramEnd&) {
        // A rules error ended the program after its message; the owners are gone.
    } catch (...) {
        // Every end of the program is a normal end.
    }
    return 0;
}
