#include "rulecore/word/word_session.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <utility>

#include "rulecore/texts/system_texts.h"

namespace rulecore::word {

namespace {

// Word refuses Find and Replacement texts longer than this many characters.
constexpr std::size_t longestWordFindText = 255;

constexpr std::int32_t wdFindStop = 0;
constexpr std::int32_t wdFindContinue = 1;
constexpr std::int32_t wdReplaceNone = 0;
constexpr std::int32_t wdReplaceAll = 2;
constexpr std::int32_t wdCollapseEnd = 0;
constexpr std::int32_t wdFormatPdf = 17;
constexpr std::int32_t wdPageBreak = 7;

AutomationValue text(std::string_view value) { return AutomationValue::fromText(Text(value)); }
AutomationValue integer(std::int32_t value) { return AutomationValue::fromInteger(value); }
AutomationValue boolean(bool value) { return AutomationValue::fromBoolean(value); }
AutomationValue missing() { return AutomationValue::missing(); }
AutomationValue byReference(AutomationValue value) { return std::move(value).passedByReference(); }

std::int32_t truncateToInteger(double number) {
    if (std::isnan(number)) return 0;
    if (number >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (number <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(number);  // truncates toward zero
}

// A number result as an integer, whatever numeric kind the engine gave.
std::int32_t integerOf(const AutomationValue& value) {
    switch (value.kind) {
        case ValueKind::Integer: return value.integer;
        case ValueKind::Double: return truncateToInteger(value.number);
        case ValueKind::Boolean: return value.boolean ? -1 : 0;
        default: return 0;
    }
}

bool truthOf(const AutomationValue& value) {
    switch (value.kind) {
        case ValueKind::Boolean: return value.boolean;
        case ValueKind::Integer: return value.integer != 0;
        case ValueKind::Double: return value.number != 0.0;
        default: return false;
    }
}

std::size_t characterCount(std::string_view value) {
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < value.size(); pos += charLength(value, pos)) ++count;
    return count;
}

// Full-width ASCII forms (lead byte 0xA3) and the full-width space become ASCII.
Text asciiForms(std::string_view value) {
    Text out;
    for (std::size_t pos = 0; pos < value.size();) {
        const std::size_t length = charLength(value, pos);
        const auto lead = static_cast<unsigned char>(value[pos]);
        const auto trail = length == 2 ? static_cast<unsigned char>(value[pos + 1]) : 0u;
        if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
            out.push_back(static_cast<char>(trail - 0x80));
        } else if (lead == 0xA1 && trail == 0xA1) {
            out.push_back(' ');
        } else {
            out.append(value.substr(pos, length));
        }
        pos += length;
    }
    return out;
}

bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Optional white space and sign, then decimal digits up to the first other
// character; no digits give 0, and values beyond the integer range are clamped.
std::int32_t leadingInteger(std::string_view value) {
    std::size_t pos = 0;
    while (pos < value.size() && isSpace(value[pos])) ++pos;
    bool negative = false;
    if (pos < value.size() && (value[pos] == '+' || value[pos] == '-')) negative = value[pos++] == '-';
    std::int64_t magnitude = 0;
    for (; pos < value.size() && value[pos] >= '0' && value[pos] <= '9'; ++pos) {
        magnitude = std::min<std::int64_t>(magnitude * 10 + (value[pos] - '0'), std::int64_t{1} << 31);
    }
    const std::int64_t signedValue = negative ? -magnitude : magnitude;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(signedValue, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

// "row,column": the first piece ends at the first comma, the second at the next
// comma or the end.
std::pair<std::int32_t, std::int32_t> cellPosition(std::string_view cell) {
    const std::size_t comma = findText(cell, ",");
    if (comma == std::string_view::npos) return {leadingInteger(asciiForms(cell)), 0};
    std::string_view rest = cell.substr(comma + 1);
    const std::size_t second = findText(rest, ",");
    if (second != std::string_view::npos) rest = rest.substr(0, second);
    return {leadingInteger(asciiForms(cell.substr(0, comma))), leadingInteger(asciiForms(rest))};
}

}  // namespace

WordSession::WordSession(AutomationDispatcher& dispatcher) : dispatcher_(dispatcher) { dispatcher_.beginThread(); }

WordSession::WordSession(const WordSession& other)
    : dispatcher_(other.dispatcher_),
      wordApplication(other.wordApplication),
      currentTable(other.currentTable),
      savedFindText(other.savedFindText),
      currentFind(other.currentFind) {
    dispatcher_.beginThread();
}

WordSession::~WordSession() {
    currentTable.release();
    wordApplication.release();
    savedFindText = AutomationValue::empty();
    currentFind.release();
    dispatcher_.endThread();
}

WordSession WordSession::copy() const { return WordSession(*this); }

// ---- call helpers

AutomationValue WordSession::invoke(const AutomationObject& target, Access access, std::string_view member,
                                    std::span<AutomationValue> arguments, ResultKind want) {
    return dispatcher_.invoke(target, access, member, arguments, want);
}

AutomationObject WordSession::readObject(const AutomationObject& target, std::string_view member) {
    return std::move(invoke(target, Access::Read, member, {}, ResultKind::Object).object);
}

AutomationObject WordSession::callObject(const AutomationObject& target, std::string_view member,
                                         std::span<AutomationValue> arguments) {
    return std::move(invoke(target, Access::Call, member, arguments, ResultKind::Object).object);
}

void WordSession::write(const AutomationObject& target, std::string_view member, AutomationValue value) {
    std::array<AutomationValue, 1> arguments{std::move(value)};
    invoke(target, Access::Write, member, arguments, ResultKind::Nothing);
}

void WordSession::callPlain(const AutomationObject& target, std::string_view member,
                            std::span<AutomationValue> arguments) {
    invoke(target, Access::Call, member, arguments, ResultKind::Nothing);
}

// For methods that may hand something back: whatever comes is dropped at once.
void WordSession::callAndDrop(const AutomationObject& target, std::string_view member) {
    invoke(target, Access::Call, member, {}, ResultKind::Value);
}

std::int32_t WordSession::readInteger(const AutomationObject& target, std::string_view member) {
    return integerOf(invoke(target, Access::Read, member, {}, ResultKind::Number));
}

AutomationObject WordSession::activeDocument() { return readObject(wordApplication, "ActiveDocument"); }

AutomationObject WordSession::selection(std::string_view member) { return readObject(wordApplication, member); }

AutomationObject WordSession::cell(std::int32_t row, std::int32_t column) {
    std::array arguments{integer(row), integer(column)};
    return callObject(currentTable, "cell", arguments);
}

// ---- the application

void WordSession::startWord() {
    AutomationObject created = dispatcher_.createObject("WORD.Application");
    if (created) wordApplication = std::move(created);
}

AutomationObject WordSession::application() const { return wordApplication; }

bool WordSession::attachApplication(const AutomationObject& app) {
    wordApplication = app;
    return lastCallSucceeded();
}

void WordSession::quitWord() { callPlain(wordApplication, "Quit"); }

bool WordSession::printPreview(const AutomationObject& document) {
    callPlain(document, "PrintPreview");
    return lastCallSucceeded();
}

void WordSession::setVisible(bool visible) { write(wordApplication, "Visible", boolean(visible)); }

bool WordSession::isVisible() { return truthOf(invoke(wordApplication, Access::Read, "Visible", {}, ResultKind::Value)); }

// ---- documents

AutomationObject WordSession::openDocument(std::string_view path) {
    AutomationObject documents = readObject(wordApplication, "Documents");
    std::array arguments{text(path)};
    return callObject(documents, "Open", arguments);
}

AutomationObject WordSession::newDocument() {
    AutomationObject documents = readObject(wordApplication, "Documents");
    return callObject(documents, "Add");
}

void WordSession::closeDocument(std::int32_t index) {
    AutomationObject documents = readObject(wordApplication, "Documents");
    std::array arguments{integer(index)};
    AutomationObject document = callObject(documents, "Item", arguments);
    documents.release();
    callAndDrop(document, "Close");
}

bool WordSession::saveAs(std::string_view path) {
    AutomationObject document = activeDocument();
    std::array arguments{text(path)};
    callPlain(document, "SaveAs", arguments);
    return lastCallSucceeded();
}

void WordSession::noOperation() {}

bool WordSession::exportPdf(std::string_view path) {
    AutomationObject document = activeDocument();
    std::array arguments{text(path),       integer(wdFormatPdf), boolean(false), integer(0), integer(0),
                         integer(1),       integer(1),           integer(0),     boolean(true), boolean(true),
                         integer(1),       boolean(true),        boolean(true),  boolean(true)};
    callPlain(document, "ExportAsFixedFormat", arguments);
    return lastCallSucceeded();
}

void WordSession::activateDocument(const AutomationObject& document) { callAndDrop(document, "Activate"); }

void WordSession::undo(const AutomationObject& document, std::int32_t times) {
    std::array arguments{integer(times)};
    callPlain(document, "Undo", arguments);
}

void WordSession::redo(const AutomationObject& document, std::int32_t times) {
    std::array arguments{integer(times)};
    callPlain(document, "Redo", arguments);
}

void WordSession::fillBookmarks(const AutomationObject& document, const TextList& names, const TextList& texts) {
    AutomationObject bookmarks = readObject(document, "bookmarks");
    // A name without a text is never typed, so a short texts list cannot be overrun.
    const std::size_t count = std::min(names.size(), texts.size());
    for (std::size_t i = 0; i < count; ++i) {
        std::array query{text(names[i])};
        if (!invoke(bookmarks, Access::Call, "exists", query, ResultKind::Boolean).boolean) continue;
        {
            std::array item{text(names[i])};
            AutomationObject bookmark = callObject(bookmarks, "item", item);
            callPlain(bookmark, "select");
        }
        AutomationObject current = selection("selection");
        std::array typed{text(texts[i])};
        callPlain(current, "typetext", typed);
    }
}

void WordSession::saveDocument() {
    AutomationObject document = activeDocument();
    callAndDrop(document, "Save");
}

void WordSession::setScreenUpdating(bool on) { write(wordApplication, "ScreenUpdating", boolean(on)); }

void WordSession::setDisplayAlerts(std::int32_t level) { write(wordApplication, "DisplayAlerts", integer(level)); }

std::int32_t WordSession::backgroundPrintingStatus() {
    return readInteger(wordApplication, "BackgroundPrintingStatus");
}

void WordSession::printOut(std::string_view fileName, std::string_view pages) {
    std::array<AutomationValue, 13> arguments{};
    for (AutomationValue& argument : arguments) argument = missing();
    arguments[8] = text(pages);
    arguments[12] = text(fileName);
    callPlain(wordApplication, "PrintOut", arguments);
}

// ---- find and replace over the whole document

std::int32_t WordSession::replaceText(std::string_view findText, std::string_view replacement, std::int32_t times,
                                      bool oneAtATime) {
    if (findText.empty() || characterCount(replacement) <= longestWordFindText) {
        return replaceShort(findText, replacement, times, oneAtATime);
    }
    if (!oneAtATime) return replaceLong(findText, replacement, std::numeric_limits<std::int32_t>::max()) > 0 ? 1 : 0;
    std::int32_t count = 0;
    for (std::int32_t pass = 0; pass < times; ++pass) count += replaceLong(findText, replacement, 1);
    return count;
}

std::int32_t WordSession::replaceShort(std::string_view findText, std::string_view replacement, std::int32_t times,
                                       bool oneAtATime) {
    if (!oneAtATime) times = 1;
    std::int32_t count = 0;
    AutomationObject replacementObject;
    for (std::int32_t pass = 0; pass < times; ++pass) {
        {
            AutomationObject document = activeDocument();
            AutomationObject content = readObject(document, "Content");
            document.release();
            currentFind = readObject(content, "Find");
        }
        callPlain(currentFind, "ClearFormatting");
        replacementObject = readObject(currentFind, "Replacement");
        callPlain(replacementObject, "ClearFormatting");
        write(replacementObject, "Text", text(replacement));
        std::array arguments{byReference(text(findText)),
                             missing(),
                             missing(),
                             missing(),
                             missing(),
                             missing(),
                             missing(),
                             byReference(integer(wdFindContinue)),
                             byReference(boolean(false)),
                             missing(),
                             oneAtATime ? byReference(boolean(true)) : byReference(integer(wdReplaceAll))};
        if (invoke(currentFind, Access::Call, "Execute", arguments, ResultKind::Boolean).boolean) ++count;
    }
    return count;
}

// Replaces up to limit occurrences by writing the found ranges (see the header).
std::int32_t WordSession::replaceLong(std::string_view findText, std::string_view replacement, std::int32_t limit) {
    AutomationObject content;
    {
        AutomationObject document = activeDocument();
        content = readObject(document, "Content");
    }
    currentFind = readObject(content, "Find");
    callPlain(currentFind, "ClearFormatting");
    std::int32_t replaced = 0;
    std::int32_t floor = 0;
    while (replaced < limit) {
        std::array arguments{byReference(text(findText)),   missing(), missing(), missing(), missing(), missing(),
                             byReference(boolean(true)),    byReference(integer(wdFindStop)),
                             byReference(boolean(false)),   missing(),
                             byReference(integer(wdReplaceNone))};
        if (!invoke(currentFind, Access::Call, "Execute", arguments, ResultKind::Boolean).boolean) break;
        const std::int32_t start = readInteger(content, "Start");
        if (!lastCallSucceeded() || start < floor) break;
        write(content, "Text", text(replacement));
        if (!lastCallSucceeded()) break;
        if (++replaced == limit) break;
        std::array collapse{integer(wdCollapseEnd)};
        callPlain(content, "Collapse", collapse);
        const std::int32_t next = readInteger(content, "Start");
        if (!lastCallSucceeded() || next <= start) break;
        floor = next;
    }
    return replaced;
}

// ---- find from the selection

bool WordSession::findInSelection(std::string_view findText, bool forward, bool highlight) {
    {
        AutomationObject current = selection();
        const Text selected = invoke(current, Access::Read, "Text", {}, ResultKind::Text).text;
        current.release();
        if (!selected.empty()) moveRight(1, 1);
    }
    {
        AutomationObject current = selection();
        currentFind = readObject(current, "Find");
    }
    callPlain(currentFind, "ClearFormatting");
    write(currentFind, "Highlight", integer(highlight ? 1 : 0));
    AutomationObject replacementObject = readObject(currentFind, "Replacement");
    callPlain(replacementObject, "ClearFormatting");
    write(replacementObject, "Text", text({}));
    AutomationValue findValue = text(findText);
    savedFindText = findValue;
    std::array arguments{byReference(std::move(findValue)),
                         missing(),
                         missing(),
                         missing(),
                         missing(),
                         missing(),
                         byReference(boolean(forward)),
                         missing(),
                         byReference(boolean(false))};
    return invoke(currentFind, Access::Call, "Execute", arguments, ResultKind::Boolean).boolean;
}

bool WordSession::findNext() {
    AutomationValue findValue = savedFindText;
    findValue.byReference = false;
    std::array arguments{std::move(findValue), missing(), missing(), missing(), missing(), missing(),
                         byReference(boolean(true))};
    return invoke(currentFind, Access::Call, "Execute", arguments, ResultKind::Boolean).boolean;
}

// ---- typing, moving and the clipboard

void WordSession::typeText(std::string_view typed, std::int32_t kind) {
    if (kind < 0 || kind > 2) return;
    AutomationObject current = selection();
    if (kind == 0) {
        std::array arguments{text(typed)};
        callPlain(current, "TypeText", arguments);
    } else {
        callPlain(current, kind == 1 ? "TypeParagraph" : "TypeBackspace");
    }
}

void WordSession::moveSelection(std::string_view member, std::int32_t unit, std::int32_t count) {
    AutomationObject current = selection();
    std::array arguments{integer(unit), integer(count)};
    callPlain(current, member, arguments);
}

void WordSession::moveUp(std::int32_t unit, std::int32_t count) { moveSelection("MoveUp", unit, count); }
void WordSession::moveDown(std::int32_t unit, std::int32_t count) { moveSelection("MoveDown", unit, count); }
void WordSession::moveLeft(std::int32_t unit, std::int32_t count) { moveSelection("MoveLeft", unit, count); }
void WordSession::moveRight(std::int32_t unit, std::int32_t count) { moveSelection("MoveRight", unit, count); }

void WordSession::selectWholeStory() {
    AutomationObject current = selection();
    callPlain(current, "WholeStory");
}

void WordSession::goTo(const AutomationObject& target, std::int32_t what, std::int32_t which, std::int32_t count,
                       std::string_view name) {
    std::array arguments{integer(what), integer(which), integer(count), text(name)};
    callPlain(target, "goto", arguments);
}

void WordSession::copySelection() {
    AutomationObject current = selection();
    callPlain(current, "Copy");
}

void WordSession::paste() {
    AutomationObject current = selection();
    callPlain(current, "Paste");
}

void WordSession::insertPageBreak() {
    AutomationObject current = selection("selection");
    std::array arguments{integer(wdPageBreak)};
    callPlain(current, "InsertBreak", arguments);
}

// ---- whole text of the active document

Text WordSession::documentText() {
    AutomationObject document = activeDocument();
    AutomationObject content = readObject(document, "Content");
    document.release();
    return std::move(invoke(content, Access::Read, "Text", {}, ResultKind::Text).text);
}

std::int32_t WordSession::documentLength() {
    AutomationObject document = activeDocument();
    AutomationObject content = readObject(document, "Content");
    document.release();
    return readInteger(content, "StoryLength");
}

void WordSession::setDocumentText(std::string_view value) {
    AutomationObject document = activeDocument();
    AutomationObject content = readObject(document, "Content");
    document.release();
    write(content, "Text", text(value));
}

std::int32_t WordSession::computeStatistics(std::int32_t statistic, bool includeFootnotes) {
    AutomationObject document = activeDocument();
    std::array arguments{integer(statistic), boolean(includeFootnotes)};
    return integerOf(invoke(document, Access::Call, "ComputeStatistics", arguments, ResultKind::Number));
}

// ---- formatting of the selection

void WordSession::writeSelectionFormat(std::string_view middle, std::string_view property, AutomationValue value) {
    AutomationObject current = selection();
    AutomationObject format = readObject(current, middle);
    current.release();
    write(format, property, std::move(value));
}

void WordSession::setFontSize(std::int32_t size) { writeSelectionFormat("Font", "Size", integer(size)); }
void WordSession::setBold(bool on) { writeSelectionFormat("Font", "Bold", boolean(on)); }
void WordSession::setFontColor(std::int32_t color) { writeSelectionFormat("Font", "Color", integer(color)); }
void WordSession::setUnderline(std::int32_t style) { writeSelectionFormat("Font", "UnderLine", integer(style)); }
void WordSession::setItalic(bool on) { writeSelectionFormat("Font", "Italic", boolean(on)); }
void WordSession::setCharacterSpacing(std::int32_t spacing) {
    writeSelectionFormat("Font", "Spacing", integer(spacing));
}
void WordSession::setShadow(bool on) { writeSelectionFormat("Font", "Shadow", boolean(on)); }
void WordSession::setFontName(std::string_view name) { writeSelectionFormat("Font", "Name", text(name)); }
void WordSession::setAlignment(std::int32_t alignment) {
    writeSelectionFormat("ParagraphFormat", "Alignment", integer(alignment));
}

void WordSession::applyStyle(std::string_view name) {
    AutomationObject styles;
    {
        AutomationObject document = activeDocument();
        styles = readObject(document, "Styles");
    }
    std::array query{text(name)};
    AutomationValue style = invoke(styles, Access::Read, "Item", query, ResultKind::Value);
    styles.release();
    AutomationObject current = selection("selection");
    write(current, "Style", byReference(std::move(style)));
}

// ---- tables

AutomationObject WordSession::addTable(std::int32_t rows, std::int32_t columns, bool gridStyle) {
    {
        AutomationObject current = selection();
        AutomationObject range = readObject(current, "Range");
        AutomationObject tables = readObject(current, "Tables");
        current.release();
        std::array arguments{AutomationValue::fromObject(std::move(range)), integer(rows), integer(columns)};
        currentTable = callObject(tables, "add", arguments);
    }
    if (gridStyle) write(currentTable, "Style", text(texts::tableGridStyle));
    return currentTable;
}

AutomationObject WordSession::useTable(std::int32_t index) {
    {
        AutomationObject document = activeDocument();
        AutomationObject tables = callObject(document, "Tables");
        document.release();
        std::array arguments{integer(index)};
        currentTable = callObject(tables, "Item", arguments);
    }
    return currentTable;
}

std::int32_t WordSession::tableCount() {
    AutomationObject document = activeDocument();
    AutomationObject tables = callObject(document, "Tables");
    document.release();
    return readInteger(tables, "Count");
}

void WordSession::selectTable() { callPlain(currentTable, "select"); }

void WordSession::selectCell(std::int32_t row, std::int32_t column) {
    AutomationObject found = cell(row, column);
    callPlain(found, "Select");
}

void WordSession::selectTableRowOrColumn(std::int32_t kind, std::int32_t row, std::int32_t column) {
    if (kind != 1 && kind != 2) return;
    AutomationObject lines;
    {
        AutomationObject range = readObject(currentTable, "Range");
        lines = readObject(range, kind == 1 ? "Rows" : "Columns");
    }
    std::array arguments{integer(kind == 1 ? row : column)};
    AutomationObject line = callObject(lines, "Item", arguments);
    lines.release();
    callPlain(line, "select");
}

void WordSession::selectCellSpan() {
    std::array<std::int32_t, 2> bounds{};
    const std::array<std::string_view, 2> edges{"Start", "End"};
    for (std::size_t corner = 0; corner < 2; ++corner) {
        const auto index = static_cast<std::int32_t>(corner + 1);
        AutomationObject found = cell(index, index);
        if (!found) return;
        AutomationObject range = readObject(found, "Range");
        found.release();
        bounds[corner] = readInteger(range, edges[corner]);
        if (!lastCallSucceeded()) return;
    }
    AutomationObject document = activeDocument();
    std::array arguments{integer(bounds[0]), integer(bounds[1])};
    AutomationObject span = callObject(document, "Range", arguments);
    document.release();
    callPlain(span, "Select");
}

void WordSession::setTableAutoFit(std::int32_t behavior) {
    AutomationObject tables;
    {
        AutomationObject current = selection("selection");
        tables = readObject(current, "tables");
    }
    std::array arguments{integer(1)};
    AutomationObject table = callObject(tables, "Item", arguments);
    tables.release();
    write(table, "AutoFitBehavior", integer(behavior));
}

void WordSession::addTableRow() {
    AutomationObject rows = readObject(currentTable, "Rows");
    callAndDrop(rows, "Add");
}

std::int32_t WordSession::columnCount() {
    AutomationObject columns = readObject(currentTable, "Columns");
    return readInteger(columns, "Count");
}

std::int32_t WordSession::rowCount() {
    AutomationObject rows = readObject(currentTable, "Rows");
    return readInteger(rows, "Count");
}

Text WordSession::cellText(std::int32_t row, std::int32_t column) {
    AutomationObject found = cell(row, column);
    AutomationObject range = readObject(found, "range");
    found.release();
    return std::move(invoke(range, Access::Read, "text", {}, ResultKind::Text).text);
}

void WordSession::setCellText(std::int32_t row, std::int32_t column, std::string_view value) {
    AutomationObject found = cell(row, column);
    AutomationObject range = readObject(found, "range");
    found.release();
    write(range, "text", text(value));
}

void WordSession::setCellFont(std::int32_t row, std::int32_t column, std::string_view name, std::int32_t size,
                              bool bold, bool italic, std::int32_t color) {
    AutomationObject font;
    {
        AutomationObject found = cell(row, column);
        AutomationObject range = readObject(found, "Range");
        found.release();
        font = readObject(range, "Font");
    }
    write(font, "Bold", boolean(bold));
    write(font, "Size", integer(size));
    write(font, "Name", text(name));
    write(font, "Italic", boolean(italic));
    write(font, "Color", integer(color));
}

void WordSession::formatTableCells(std::int32_t mode, std::int32_t alignment, std::int32_t verticalAlignment,
                                   std::string_view cellName) {
    if (mode != 0) {
        const auto [row, column] = cellPosition(cellName);
        selectCell(row, column);
    }
    if (mode == 0) {
        selectTable();
    } else if (mode == 1 || mode == 2) {
        AutomationObject current = selection();
        callPlain(current, mode == 2 ? "SelectColumn" : "SelectRow");
    }
    {
        AutomationObject current = selection();
        AutomationObject cells = readObject(current, "Cells");
        current.release();
        write(cells, "VerticalAlignment", integer(verticalAlignment));
    }
    AutomationObject current = selection();
    AutomationObject paragraphs = readObject(current, "ParagraphFormat");
    current.release();
    write(paragraphs, "Alignment", integer(alignment));
}

// ---- pictures, shapes and page layout

void WordSession::insertPicture(std::string_view path) {
    AutomationObject shapes;
    {
        AutomationObject current = selection();
        shapes = readObject(current, "InlineShapes");
    }
    std::array arguments{text(path)};
    callPlain(shapes, "AddPicture", arguments);
}

void WordSession::addLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    AutomationObject shapes;
    {
        AutomationObject document = activeDocument();
        shapes = readObject(document, "Shapes");
    }
    std::array arguments{integer(x1), integer(y1), integer(x2), integer(y2)};
    callPlain(shapes, "AddLine", arguments);
}

void WordSession::setTextColumns(std::int32_t count, bool lineBetween, bool evenlySpaced,
                                 std::optional<std::int32_t> spacing) {
    AutomationObject columns;
    {
        AutomationObject document = activeDocument();
        AutomationObject pageSetup = readObject(document, "PageSetup");
        document.release();
        columns = readObject(pageSetup, "TextColumns");
    }
    std::array arguments{integer(count)};
    callPlain(columns, "SetCount", arguments);
    write(columns, "EvenlySpaced", boolean(evenlySpaced));
    write(columns, "LineBetween", boolean(lineBetween));
    if (spacing) write(columns, "Spacing", integer(*spacing));
}

}  // namespace rulecore::word
