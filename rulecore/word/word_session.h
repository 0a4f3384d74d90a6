#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "rulecore/rules/text.h"
#include "rulecore/word/automation.h"

namespace rulecore::word {

// The system's only road to Word: every operation is one short, fixed sequence of
// late-bound automation calls made through the dispatcher. Between operations a
// session keeps only the application, the current table, the remembered find text
// and the current Find object; everything else is fetched, used and released
// within the operation. Failed calls are quiet (see AutomationDispatcher), so every
// operation simply runs its remaining steps with empty values and returns its
// empty result.
//
// A session belongs to the thread that constructed it: construction begins COM for
// that thread and the end of life ends it, after every reference has been released.
// The end of life does not ask Word to quit; call quitWord first for that.
//
// Copies. A copy holds new references to the same application, current table and
// Find object and its own copy of the remembered find text, and it begins COM
// again on its thread. Each value's end of life therefore balances its own begin,
// and COM is never ended more often than it was begun. A copy must live on the
// same thread as the original. Sessions are not assignable, and moving one copies
// it, since a moved-from value would still end its begin.
//
// Long replacements. Word refuses Find and Replacement texts of more than 255
// characters (characters of code page 936, a double-byte character counting once).
// replaceText therefore writes a longer replacement into the found ranges itself
// instead of setting it on the Replacement object. With content the range read
// from "Content" of the active document and find its "Find" object (which becomes
// currentFind), replace-all does:
//
//   call "ClearFormatting" on find
//   repeat:
//     call "Execute" on find, asking for a boolean, all by reference:
//       1 FindText := findText (text), 2-6 missing, 7 Forward := true (boolean),
//       8 Wrap := 0 (integer, stop at the end), 9 Format := false (boolean),
//       10 missing, 11 Replace := 0 (integer, replace nothing); 12-15 not passed
//     stop unless it returned true; the found text is now the extent of content
//     read "Start" of content as a number; stop if it lies before the floor
//     write "Text" of content := replacement (text)
//     call "Collapse" on content with the integer 0 (to its end), no result
//     read "Start" of content as a number; this is the new floor; stop unless it
//       lies after the found start
//
// The floor starts at 0. So every occurrence is replaced, left to right, none
// overlapping, the inserted text is never searched again, and the loop ends even
// when the engine misbehaves (every failed step stops it too). The result is 1
// when at least one occurrence was replaced, else 0, as for the single Execute.
// One-at-a-time runs with a long replacement make the same calls in each pass,
// from reading the active document afresh to the first "write Text"; each pass
// that replaced counts once.
// Replacements of up to 255 characters, and any replacement of an empty find
// text, keep the single Execute with Replace.
//
// What an engine needs for this: Execute on the Find object of a range searches
// forward from that range and, on a find, moves the range onto the found text;
// writing "Text" of a range replaces its text and leaves the range over the new
// text; "Collapse" with 0 moves the range's start to its end; "Start" is the
// range's start as a character position.
class WordSession {
public:
    explicit WordSession(AutomationDispatcher& dispatcher);
    WordSession(const WordSession& other);
    WordSession& operator=(const WordSession&) = delete;
    ~WordSession();

    // A second session sharing the same Word objects (see Copies above).
    WordSession copy() const;

    // Creates Word from "WORD.Application"; on failure nothing changes.
    void startWord();
    // A new reference to the application (empty if there is none).
    AutomationObject application() const;
    // Adopts app as the application. Returns the current lastCallSucceeded record,
    // which reflects the most recent automation call, not app.
    bool attachApplication(const AutomationObject& app);
    // Asks Word to quit; the application reference is kept.
    void quitWord();
    bool printPreview(const AutomationObject& document);
    void setVisible(bool visible);
    bool isVisible();
    AutomationObject openDocument(std::string_view path);
    AutomationObject newDocument();
    void closeDocument(std::int32_t index);
    bool saveAs(std::string_view path);
    void noOperation();
    bool exportPdf(std::string_view path);
    void activateDocument(const AutomationObject& document);
    void undo(const AutomationObject& document, std::int32_t times);
    // Types texts[i] at bookmark names[i] where the document has it. Callers give
    // a text for every name; names beyond the last text are not handled.
    void fillBookmarks(const AutomationObject& document, const TextList& names, const TextList& texts);
    void selectCell(std::int32_t row, std::int32_t column);
    void setTableAutoFit(std::int32_t behavior);
    // kind 1 selects a row, kind 2 a column; any other kind does nothing.
    void selectTableRowOrColumn(std::int32_t kind, std::int32_t row, std::int32_t column);
    // Selects the block of the current table from the start of cell (1,1) to the
    // end of cell (2,2): call "cell" with 1, 1, read "Range", read "Start" as a
    // number; call "cell" with 2, 2, read "Range", read "End" as a number; then
    // read "ActiveDocument", call "Range" on it with the two numbers (integers),
    // asking for an object, and call "Select" on that range. When either cell or
    // its position cannot be read, nothing is selected, so the selection never
    // jumps to the start of the document.
    void selectCellSpan();
    void applyStyle(std::string_view name);
    void addTableRow();
    void redo(const AutomationObject& document, std::int32_t times);
    void saveDocument();
    void setScreenUpdating(bool on);
    // Word's alert level: write "DisplayAlerts" of application := level (integer);
    // 0 shows no alerts. The document run turns them off, since Word runs hidden.
    void setDisplayAlerts(std::int32_t level);
    // Read "BackgroundPrintingStatus" of application as a number: the print jobs
    // Word still spools; 0 when the read fails.
    std::int32_t backgroundPrintingStatus();
    AutomationObject addTable(std::int32_t rows, std::int32_t columns, bool gridStyle = true);
    AutomationObject useTable(std::int32_t index);
    void selectTable();
    void setCellFont(std::int32_t row, std::int32_t column, std::string_view name, std::int32_t size,
                     bool bold = false, bool italic = false, std::int32_t color = 0);
    void insertPicture(std::string_view path);
    // Both texts are always sent, as empty texts when left out.
    void printOut(std::string_view fileName = {}, std::string_view pages = {});
    std::int32_t tableCount();
    std::int32_t columnCount();
    std::int32_t rowCount();
    Text cellText(std::int32_t row, std::int32_t column);
    void setCellText(std::int32_t row, std::int32_t column, std::string_view text);
    void addLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
    // Replaces findText by replacement in the active document's content: one
    // replace-all when oneAtATime is false (times is ignored), else times passes of
    // one replacement each. Returns how many Execute calls reported a find.
    std::int32_t replaceText(std::string_view findText, std::string_view replacement, std::int32_t times,
                             bool oneAtATime);
    bool findInSelection(std::string_view text, bool forward = true, bool highlight = false);
    bool findNext();
    void setTextColumns(std::int32_t count = 2, bool lineBetween = false, bool evenlySpaced = true,
                        std::optional<std::int32_t> spacing = std::nullopt);
    // kind 0 types text, 1 a paragraph mark, 2 a backspace; any other kind nothing.
    void typeText(std::string_view text = {}, std::int32_t kind = 0);
    void moveUp(std::int32_t unit, std::int32_t count = 0);
    void moveDown(std::int32_t unit, std::int32_t count = 0);
    void moveLeft(std::int32_t unit, std::int32_t count = 0);
    void moveRight(std::int32_t unit, std::int32_t count = 0);
    void selectWholeStory();
    void goTo(const AutomationObject& target, std::int32_t what, std::int32_t which = 0, std::int32_t count = 0,
              std::string_view name = {});
    Text documentText();
    std::int32_t documentLength();
    void setDocumentText(std::string_view text);
    void copySelection();
    void paste();
    std::int32_t computeStatistics(std::int32_t statistic, bool includeFootnotes);
    void setFontSize(std::int32_t size);
    void setBold(bool on);
    void setFontColor(std::int32_t color);
    void setUnderline(std::int32_t style);
    void setItalic(bool on);
    void setCharacterSpacing(std::int32_t spacing);
    void setShadow(bool on);
    void setFontName(std::string_view name);
    void setAlignment(std::int32_t alignment);
    // mode 0 selects the table, 1 the row and 2 the column of the cell named by
    // cell ("row,column", full-width forms allowed); other modes keep that cell.
    void formatTableCells(std::int32_t mode, std::int32_t alignment, std::int32_t verticalAlignment,
                          std::string_view cell);
    void insertPageBreak();

private:
    AutomationDispatcher& dispatcher_;

    // Word's Application object, the root of every other call.
    AutomationObject wordApplication;
    // The table that the table operations act on (addTable, useTable).
    AutomationObject currentTable;
    // The find text that findNext repeats (findInSelection).
    AutomationValue savedFindText = AutomationValue::fromInteger(0);
    // The Find object of the most recent find (replaceText, findInSelection).
    AutomationObject currentFind;

    AutomationValue invoke(const AutomationObject& target, Access access, std::string_view member,
                           std::span<AutomationValue> arguments, ResultKind want);
    AutomationObject readObject(const AutomationObject& target, std::string_view member);
    AutomationObject callObject(const AutomationObject& target, std::string_view member,
                                std::span<AutomationValue> arguments = {});
    void write(const AutomationObject& target, std::string_view member, AutomationValue value);
    void callPlain(const AutomationObject& target, std::string_view member,
                   std::span<AutomationValue> arguments = {});
    void callAndDrop(const AutomationObject& target, std::string_view member);
    std::int32_t readInteger(const AutomationObject& target, std::string_view member);
    AutomationObject activeDocument();
    AutomationObject selection(std::string_view member = "Selection");
    AutomationObject cell(std::int32_t row, std::int32_t column);
    void writeSelectionFormat(std::string_view middle, std::string_view property, AutomationValue value);
    void moveSelection(std::string_view member, std::int32_t unit, std::int32_t count);
    std::int32_t replaceShort(std::string_view findText, std::string_view replacement, std::int32_t times,
                              bool oneAtATime);
    std::int32_t replaceLong(std::string_view findText, std::string_view replacement, std::int32_t limit);
};

}  // namespace rulecore::word
