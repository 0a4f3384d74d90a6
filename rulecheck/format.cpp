#include "rulecheck/format.h"

#include <initializer_list>
#include <nlohmann/json.hpp>
#include <utility>

#include "rulecore/platform/os.h"

namespace rulecheck {

using rulecore::Text;
using rulecore::Variant;

namespace {

// An empty text would vanish from the line.
Text shown(std::string_view text) {
    return text.empty() ? Text("(empty)") : escapeControls(text);
}

std::string dump(const nlohmann::json& value) {
    return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string utf8(std::string_view cp936) { return dump(rulecore::os::toUtf8(cp936)); }

std::string boolean(bool value) { return value ? "true" : "false"; }

// Lists and records are spaced like ["a", "b"] and {"a": 1, "b": 2}; the library
// writes every scalar, so all escaping is its own.
std::string utf8List(const rulecore::TextList& texts) {
    std::string list = "[";
    for (const Text& text : texts) {
        if (list.size() > 1) list += ", ";
        list += utf8(text);
    }
    return list + "]";
}

std::string record(std::initializer_list<std::pair<std::string_view, std::string>> members) {
    std::string line = "{";
    for (const auto& [name, value] : members) {
        if (line.size() > 1) line += ", ";
        line += dump(std::string(name));
        line += ": ";
        line += value;
    }
    return line + "}";
}

bool validPair(unsigned char lead, unsigned char trail) {
    return lead >= 0x81 && lead <= 0xFE && trail >= 0x40 && trail <= 0xFE && trail != 0x7F;
}

}  // namespace

Text escapeControls(std::string_view text) {
    static constexpr char hex[] = "0123456789ABCDEF";
    Text out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t length = rulecore::charLength(text, pos);
        auto byte = static_cast<unsigned char>(text[pos]);
        // A lead byte whose next byte cannot follow it is shown on its own, so a
        // control byte after it is escaped rather than written raw.
        if (length == 2 && !validPair(byte, static_cast<unsigned char>(text[pos + 1]))) length = 1;
        if (length == 2) {
            out.append(text.substr(pos, 2));
        } else if (byte == '\r') {
            out += "\\r";
        } else if (byte == '\n') {
            out += "\\n";
        } else if (byte == '\t') {
            out += "\\t";
        } else if (byte == '\\') {
            out += "\\\\";
        } else if (byte < 0x20 || byte == 0x7F || byte >= 0x80) {
            // A lone lead byte is shown as a number rather than left dangling.
            out += "\\x";
            out += hex[byte >> 4];
            out += hex[byte & 0x0F];
        } else {
            out += static_cast<char>(byte);
        }
        pos += length;
    }
    return out;
}

Text humanResult(const KeyResult& result, Variant variant) {
    Text out = escapeControls(result.key);
    if (result.key.empty()) out = "(empty key)";
    if (variant == Variant::PickPaste) {
        if (!result.shown) {
            out += result.ends ? ": nothing shown" : ": not found, nothing shown";
        } else if (result.items.empty()) {
            out += " => (empty list)";
        } else if (result.items.size() == 1) {
            out += " => " + shown(result.items.front());
        } else {
            out += " =>";
            for (std::size_t i = 0; i < result.items.size(); ++i) {
                out += " [" + std::to_string(i + 1) + "] " + shown(result.items[i]);
            }
        }
    } else if (!result.found) {
        out += ": not found";
    } else if (!result.ends) {
        out += " => " + shown(result.value);
    }
    out += '\n';
    for (const Text& report : result.reports) out += "  report: " + escapeControls(report) + '\n';
    if (result.ends) out += "  the program would end here\n";
    return out;
}

Text humanLate(const Text& target, const Text& text) {
    return "late: " + shown(target) + " -> " + shown(text) + '\n';
}

std::string jsonResult(const KeyResult& result, Variant variant) {
    if (variant == Variant::PickPaste) {
        return record({{"key", utf8(result.key)},
                       {"shown", boolean(result.shown)},
                       {"items", utf8List(result.items)},
                       {"reports", utf8List(result.reports)},
                       {"ends", boolean(result.ends)}}) +
               '\n';
    }
    return record({{"key", utf8(result.key)},
                   {"value", utf8(result.value)},
                   {"reports", utf8List(result.reports)},
                   {"ends", boolean(result.ends)}}) +
           '\n';
}

std::string jsonLate(const Text& target, const Text& text) {
    return "{\"late\": " + record({{"target", utf8(target)}, {"text", utf8(text)}}) + "}\n";
}

}  // namespace rulecheck
