#include "rulecore/rules/rules_table.h"

namespace rulecore {

void RulesTable::append(Text key, Text value) {
    firstIndex_.try_emplace(key, keys_.size());
    keys_.push_back(std::move(key));
    values_.push_back(std::move(value));
}

void RulesTable::clear() {
    keys_.clear();
    values_.clear();
    firstIndex_.clear();
}

std::optional<std::size_t> RulesTable::firstIndexOf(std::string_view name) const {
    auto it = firstIndex_.find(name);
    if (it == firstIndex_.end()) return std::nullopt;
    return it->second;
}

}  // namespace rulecore
