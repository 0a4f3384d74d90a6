#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "rulecore/rules/expander.h"
#include "rulecore/rules/report.h"
#include "rulecore/rules/rules_table.h"
#include "tests/support/cp936.h"

namespace rulecore::test {

struct Report {
    ReportKind kind;
    Text text;
    bool ends;
    bool operator==(const Report&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Report& r) {
    return out << "{kind " << static_cast<int>(r.kind) << ", " << utf8(r.text)
               << (r.ends ? ", ends}" : "}");
}

// Keeps every report so a test sees what each program would show.
class RecordingReporter final : public Reporter {
public:
    void report(ReportKind kind, const Text& text, bool endsProgram) override {
        reports.push_back({kind, text, endsProgram});
    }
    std::vector<Report> reports;
};

// A clock that always tells the same time and counts how often it was read.
class FakeClock final : public Clock {
public:
    explicit FakeClock(LocalTime fixed = {2018, 5, 3, 9, 5, 7}) : time(fixed) {}
    LocalTime now() override {
        ++reads;
        return time;
    }
    LocalTime time;
    int reads = 0;
};

using Pairs = std::vector<std::pair<Text, Text>>;

inline Pairs pairsOf(const RulesTable& table) {
    Pairs pairs;
    for (std::size_t i = 0; i < table.size(); ++i) {
        pairs.emplace_back(table.keys()[i], table.values()[i]);
    }
    return pairs;
}

inline Pairs pairsOf(const LatePairs& late) {
    Pairs pairs;
    for (std::size_t i = 0; i < late.size(); ++i) {
        pairs.emplace_back(late.targets[i], late.texts[i]);
    }
    return pairs;
}

// A fresh directory for one test, removed with everything in it afterwards.
class TempDirectory {
public:
    TempDirectory() {
        static int counter = 0;
        auto base = std::filesystem::temp_directory_path();
        for (;;) {
            path_ = base / ("rules_test_" +
                            std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                            "_" + std::to_string(++counter));
            if (std::filesystem::create_directory(path_)) break;
        }
    }
    ~TempDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    // The directory as the programs name it (ASCII, so the same in both code pages).
    Text text() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

}  // namespace rulecore::test
