#pragma once

#include <exception>

#include "rulecore/rules/text.h"

namespace rulecore {

enum class ReportKind {
    KeyNotFound,        // "没有找到关键字: " + key
    MissingConstant,    // "异常！无法取出常量值 " + name
    SelfReference,      // "常量 " + key + " " + item + "错误的引用自己！"
    Unexpandable,       // "常量 " + key + " 的引用无法展开！"
    MissingRulesFile,   // name + " 文件不存在！"
};

// Where the rules language reports. Texts come without a final line break; each
// program decides how to show them (console line, message box).
class Reporter {
public:
    virtual void report(ReportKind kind, const Text& text, bool endsProgram) = 0;

protected:
    ~Reporter() = default;
};

// Thrown after a report that ends the program. It travels up to main, which ends
// the program with exit code 0 once every owner on the way has cleaned up.
struct ProgramEnd : std::exception {
    const char* what() const noexcept override { return "program end"; }
};

}  // namespace rulecore
