#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "rulecore/word/automation.h"

// The LibreOffice engine behind the automation call contract on Linux. Creating
// "WORD.Application" starts a private headless office; the objects it hands out
// model the part of Word's object model that WordSession uses.
namespace rulecore::word::uno {

struct EngineOptions {
    // The office program; a bare name is looked up on PATH.
    std::string officeProgram = "soffice";
    // How long the office may take to start and accept the connection.
    std::chrono::milliseconds startDeadline{90000};
    // A single call that takes longer than this ends the office; every later call
    // then fails quietly.
    std::chrono::milliseconds callBound{120000};
};

std::unique_ptr<AutomationDispatcher> makeEngineDispatcher(EngineOptions options = {});

}  // namespace rulecore::word::uno
