#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "rulecore/rules/text.h"

namespace rulecore {

// Constant keys and their raw values, in the order of the rules text. Keys may
// repeat; lookups take the first match, which the index answers without a scan.
class RulesTable {
public:
    const TextList& keys() const { return keys_; }
    const TextList& values() const { return values_; }
    std::size_t size() const { return keys_.size(); }
    bool empty() const { return keys_.empty(); }

    void append(Text key, Text value);
    void clear();

    // Position of the first key equal to name, byte for byte.
    std::optional<std::size_t> firstIndexOf(std::string_view name) const;

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const noexcept {
            return std::hash<std::string_view>{}(s);
        }
    };
    TextList keys_;
    TextList values_;
    std::unordered_map<Text, std::size_t, Hash, std::equal_to<>> firstIndex_;
};

// Targets and texts of the last[target+text] groups, in text order.
struct LatePairs {
    TextList targets;
    TextList texts;
    std::size_t size() const { return targets.size(); }
    void clear() {
        targets.clear();
        texts.clear();
    }
};

// A program's rules state: created empty, replaced as a whole by every load.
struct RulesState {
    RulesTable table;
    LatePairs late;
};

}  // namespace rulecore
