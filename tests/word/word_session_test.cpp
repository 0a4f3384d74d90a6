#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "rulecore/texts/system_texts.h"
#include "rulecore/word/word_session.h"
#include "tests/support/cp936.h"
#include "tests/support/recording_dispatcher.h"

namespace rulecore::word {
namespace {

using test::booleanValue;
using test::numberValue;
using test::objectValue;
using test::RecordedCall;
using test::RecordingDispatcher;
using test::textValue;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAreArray;

using Lines = std::vector<std::string>;

struct Fixture {
    RecordingDispatcher& rec;
    WordSession& session;
    AutomationObject document;  // a document the caller holds, "Doc"
};

std::string show(bool value) { return value ? "true" : "false"; }
std::string show(std::int32_t value) { return std::to_string(value); }
std::string show(const Text& value) { return '"' + value + '"'; }
std::string show(const RecordingDispatcher& rec, const AutomationObject& object) {
    return "object " + rec.labelOf(object);
}
std::string inQuotes(std::string_view value) { return '"' + std::string(value) + '"'; }

struct Case {
    using Script = std::function<void(RecordingDispatcher&)>;
    using Run = std::function<std::string(Fixture&)>;
    Case(std::string name_, bool table_, Script script_, Run run_, Lines calls_, std::string result_,
         std::optional<Lines> held_ = std::nullopt)
        : name(std::move(name_)),
          table(table_),
          script(std::move(script_)),
          run(std::move(run_)),
          calls(std::move(calls_)),
          result(std::move(result_)),
          held(std::move(held_)) {}

    std::string name;
    bool table;  // the session's current table is "Table"
    Script script;
    Run run;
    Lines calls;
    std::string result;  // empty for operations without a result
    // Objects the session holds afterwards; by default Word, and Table if set.
    std::optional<Lines> held;
};

// One pass of the find-and-replace over the content, fetched afresh.
Lines replacePass(const std::string& suffix, std::string_view replacement, const std::string& replace) {
    const std::string document = "Word.ActiveDocument" + suffix;
    const std::string find = document + ".Content.Find";
    return {"Word read ActiveDocument -> object",
            document + " read Content -> object",
            document + ".Content read Find -> object",
            find + " call ClearFormatting()",
            find + " read Replacement -> object",
            find + ".Replacement call ClearFormatting()",
            find + ".Replacement write Text = " + inQuotes(replacement),
            find + " call Execute(&\"key\", -, -, -, -, -, -, &1, &false, -, " + replace + ") -> boolean"};
}

Lines joined(std::vector<Lines> parts) {
    Lines out;
    for (const Lines& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

Lines selectionFormat(const std::string& middle, const std::string& write) {
    return {"Word read Selection -> object", "Word.Selection read " + middle + " -> object",
            "Word.Selection." + middle + " write " + write};
}

Lines tableCellsFormat(std::string_view selectStep, const Lines& cellSteps) {
    Lines out = cellSteps;
    if (!selectStep.empty()) {
        out.push_back("Word read Selection -> object");
        out.push_back("Word.Selection call " + std::string(selectStep) + "()");
    }
    const std::string cells = selectStep.empty() ? "Word.Selection" : "Word.Selection#2";
    const std::string paragraphs = selectStep.empty() ? "Word.Selection#2" : "Word.Selection#3";
    out.insert(out.end(), {"Word read Selection -> object", cells + " read Cells -> object",
                           cells + ".Cells write VerticalAlignment = 1", "Word read Selection -> object",
                           paragraphs + " read ParagraphFormat -> object",
                           paragraphs + ".ParagraphFormat write Alignment = 2"});
    return out;
}

std::vector<Case> operationCases() {
    const std::string grid = inQuotes(texts::tableGridStyle);
    const Lines cell23{"Table call cell(2, 3) -> object", "Table.cell call Select()"};
    return {
        {"application", false, {}, [](Fixture& f) { return show(f.rec, f.session.application()); }, {}, "object Word"},
        {"quitWord", false, {}, [](Fixture& f) { f.session.quitWord(); return ""; }, {"Word call Quit()"}, ""},
        {"printPreview", false, {},
         [](Fixture& f) { return show(f.session.printPreview(f.document)); }, {"Doc call PrintPreview()"}, "true"},
        {"setVisible", false, {}, [](Fixture& f) { f.session.setVisible(true); return ""; },
         {"Word write Visible = true"}, ""},
        {"isVisible reads a value", false, [](RecordingDispatcher& r) { r.answer("Visible", {test::integerValue(-1)}); },
         [](Fixture& f) { return show(f.session.isVisible()); }, {"Word read Visible -> value"}, "true"},
        {"openDocument", false, {}, [](Fixture& f) { return show(f.rec, f.session.openDocument("a.doc")); },
         {"Word read Documents -> object", "Word.Documents call Open(\"a.doc\") -> object"},
         "object Word.Documents.Open"},
        {"newDocument", false, {}, [](Fixture& f) { return show(f.rec, f.session.newDocument()); },
         {"Word read Documents -> object", "Word.Documents call Add() -> object"}, "object Word.Documents.Add"},
        {"closeDocument", false, {}, [](Fixture& f) { f.session.closeDocument(2); return ""; },
         {"Word read Documents -> object", "Word.Documents call Item(2) -> object",
          "Word.Documents.Item call Close() -> value"},
         ""},
        {"saveAs", false, {}, [](Fixture& f) { return show(f.session.saveAs("out.doc")); },
         {"Word read ActiveDocument -> object", "Word.ActiveDocument call SaveAs(\"out.doc\")"}, "true"},
        {"saveAs reports a refused save", false, [](RecordingDispatcher& r) { r.fail("SaveAs"); },
         [](Fixture& f) { return show(f.session.saveAs("out.doc")); },
         {"Word read ActiveDocument -> object", "Word.ActiveDocument call SaveAs(\"out.doc\")"}, "false"},
        {"noOperation", false, {}, [](Fixture& f) { f.session.noOperation(); return ""; }, {}, ""},
        {"exportPdf sends fourteen arguments", false, {}, [](Fixture& f) { return show(f.session.exportPdf("x.pdf")); },
         {"Word read ActiveDocument -> object",
          "Word.ActiveDocument call ExportAsFixedFormat(\"x.pdf\", 17, false, 0, 0, 1, 1, 0, true, true, 1, true, "
          "true, true)"},
         "true"},
        {"activateDocument", false, {}, [](Fixture& f) { f.session.activateDocument(f.document); return ""; },
         {"Doc call Activate() -> value"}, ""},
        {"undo", false, {}, [](Fixture& f) { f.session.undo(f.document, 3); return ""; }, {"Doc call Undo(3)"}, ""},
        {"redo", false, {}, [](Fixture& f) { f.session.redo(f.document, 2); return ""; }, {"Doc call Redo(2)"}, ""},
        {"fillBookmarks skips missing names and repeats twice-named ones", false,
         [](RecordingDispatcher& r) {
             r.answerWith("exists", [](const RecordedCall& call) {
                 return booleanValue(call.arguments.at(0).text != "gone");
             });
         },
         [](Fixture& f) {
             f.session.fillBookmarks(f.document, {"a", "gone", "a"}, {"1", "2", "3"});
             return "";
         },
         {"Doc read bookmarks -> object", "Doc.bookmarks call exists(\"a\") -> boolean",
          "Doc.bookmarks call item(\"a\") -> object", "Doc.bookmarks.item call select()",
          "Word read selection -> object", "Word.selection call typetext(\"1\")",
          "Doc.bookmarks call exists(\"gone\") -> boolean", "Doc.bookmarks call exists(\"a\") -> boolean",
          "Doc.bookmarks call item(\"a\") -> object", "Doc.bookmarks.item#2 call select()",
          "Word read selection -> object", "Word.selection#2 call typetext(\"3\")"},
         ""},
        {"fillBookmarks never reads past the last text", false, {},
         [](Fixture& f) {
             f.session.fillBookmarks(f.document, {"a", "b"}, {"1"});
             return "";
         },
         {"Doc read bookmarks -> object", "Doc.bookmarks call exists(\"a\") -> boolean"}, ""},
        {"fillBookmarks with no names reads the collection only", false, {},
         [](Fixture& f) { f.session.fillBookmarks(f.document, {}, {}); return ""; },
         {"Doc read bookmarks -> object"}, ""},
        {"selectCell", true, {}, [](Fixture& f) { f.session.selectCell(2, 3); return ""; }, cell23, ""},
        {"setTableAutoFit acts on the selection's first table", true, {},
         [](Fixture& f) { f.session.setTableAutoFit(1); return ""; },
         {"Word read selection -> object", "Word.selection read tables -> object",
          "Word.selection.tables call Item(1) -> object", "Word.selection.tables.Item write AutoFitBehavior = 1"},
         ""},
        {"selectTableRowOrColumn row", true, {},
         [](Fixture& f) { f.session.selectTableRowOrColumn(1, 2, 3); return ""; },
         {"Table read Range -> object", "Table.Range read Rows -> object", "Table.Range.Rows call Item(2) -> object",
          "Table.Range.Rows.Item call select()"},
         ""},
        {"selectTableRowOrColumn column", true, {},
         [](Fixture& f) { f.session.selectTableRowOrColumn(2, 2, 3); return ""; },
         {"Table read Range -> object", "Table.Range read Columns -> object",
          "Table.Range.Columns call Item(3) -> object", "Table.Range.Columns.Item call select()"},
         ""},
        {"selectTableRowOrColumn other kinds", true, {},
         [](Fixture& f) {
             f.session.selectTableRowOrColumn(0, 1, 1);
             f.session.selectTableRowOrColumn(3, 1, 1);
             return "";
         },
         {}, ""},
        {"selectCellSpan selects from cell (1,1) to cell (2,2)", true,
         [](RecordingDispatcher& r) {
             r.answer("Start", {numberValue(5.0)});
             r.answer("End", {numberValue(40.9)});
         },
         [](Fixture& f) { f.session.selectCellSpan(); return ""; },
         {"Table call cell(1, 1) -> object", "Table.cell read Range -> object", "Table.cell.Range read Start -> number",
          "Table call cell(2, 2) -> object", "Table.cell#2 read Range -> object",
          "Table.cell#2.Range read End -> number", "Word read ActiveDocument -> object",
          "Word.ActiveDocument call Range(5, 40) -> object", "Word.ActiveDocument.Range call Select()"},
         ""},
        {"selectCellSpan without a table leaves the selection alone", false, {},
         [](Fixture& f) { f.session.selectCellSpan(); return ""; }, {"<empty> call cell(1, 1) -> object"}, ""},
        {"applyStyle passes the style by reference", false,
         [](RecordingDispatcher& r) { r.answer("Item", {objectValue(r.makeObject("Style"))}); },
         [](Fixture& f) { f.session.applyStyle("Heading"); return ""; },
         {"Word read ActiveDocument -> object", "Word.ActiveDocument read Styles -> object",
          "Word.ActiveDocument.Styles read Item(\"Heading\") -> value", "Word read selection -> object",
          "Word.selection write Style = &<Style>"},
         ""},
        {"addTableRow", true, {}, [](Fixture& f) { f.session.addTableRow(); return ""; },
         {"Table read Rows -> object", "Table.Rows call Add() -> value"}, ""},
        {"saveDocument", false, {}, [](Fixture& f) { f.session.saveDocument(); return ""; },
         {"Word read ActiveDocument -> object", "Word.ActiveDocument call Save() -> value"}, ""},
        {"setScreenUpdating", false, {}, [](Fixture& f) { f.session.setScreenUpdating(false); return ""; },
         {"Word write ScreenUpdating = false"}, ""},
        {"addTable with the grid style", true, {},
         [](Fixture& f) { return show(f.rec, f.session.addTable(3, 4)); },
         {"Word read Selection -> object", "Word.Selection read Range -> object", "Word.Selection read Tables -> object",
          "Word.Selection.Tables call add(<Word.Selection.Range>, 3, 4) -> object",
          "Word.Selection.Tables.add write Style = " + grid},
         "object Word.Selection.Tables.add", Lines{"Word", "Word.Selection.Tables.add"}},
        {"addTable without the grid style", false, {},
         [](Fixture& f) { return show(f.rec, f.session.addTable(1, 2, false)); },
         {"Word read Selection -> object", "Word.Selection read Range -> object", "Word.Selection read Tables -> object",
          "Word.Selection.Tables call add(<Word.Selection.Range>, 1, 2) -> object"},
         "object Word.Selection.Tables.add", Lines{"Word", "Word.Selection.Tables.add"}},
        {"useTable", true, {}, [](Fixture& f) { return show(f.rec, f.session.useTable(2)); },
         {"Word read ActiveDocument -> object", "Word.ActiveDocument call Tables() -> object",
          "Word.ActiveDocument.Tables call Item(2) -> object"},
         "object Word.ActiveDocument.Tables.Item", Lines{"Word", "Word.ActiveDocument.Tables.Item"}},
        {"selectTable", true, {}, [](Fixture& f) { f.session.selectTable(); return ""; }, {"Table call select()"}, ""},
        {"setCellFont writes all five properties with defaults", true, {},
         [](Fixture& f) { f.session.setCellFont(1, 2, "SimSun", 12); return ""; },
         {"Table call cell(1, 2) -> object", "Table.cell read Range -> object", "Table.cell.Range read Font -> object",
          "Table.cell.Range.Font write Bold = false", "Table.cell.Range.Font write Size = 12",
          "Table.cell.Range.Font write Name = \"SimSun\"", "Table.cell.Range.Font write Italic = false",
          "Table.cell.Range.Font write Color = 0"},
         ""},
        {"setCellFont with every argument", true, {},
         [](Fixture& f) { f.session.setCellFont(1, 1, "Arial", 9, true, true, 255); return ""; },
         {"Table call cell(1, 1) -> object", "Table.cell read Range -> object", "Table.cell.Range read Font -> object",
          "Table.cell.Range.Font write Bold = true", "Table.cell.Range.Font write Size = 9",
          "Table.cell.Range.Font write Name = \"Arial\"", "Table.cell.Range.Font write Italic = true",
          "Table.cell.Range.Font write Color = 255"},
         ""},
        {"insertPicture", false, {}, [](Fixture& f) { f.session.insertPicture("p.png"); return ""; },
         {"Word read Selection -> object", "Word.Selection read InlineShapes -> object",
          "Word.Selection.InlineShapes call AddPicture(\"p.png\")"},
         ""},
        {"printOut with both texts left out", false, {}, [](Fixture& f) { f.session.printOut(); return ""; },
         {"Word call PrintOut(-, -, -, -, -, -, -, -, \"\", -, -, -, \"\")"}, ""},
        {"printOut with a file and pages", false, {},
         [](Fixture& f) { f.session.printOut("f.prn", "1-2"); return ""; },
         {"Word call PrintOut(-, -, -, -, -, -, -, -, \"1-2\", -, -, -, \"f.prn\")"}, ""},
        {"tableCount truncates", false, [](RecordingDispatcher& r) { r.answer("Count", {numberValue(3.7)}); },
         [](Fixture& f) { return show(f.session.tableCount()); },
         {"Word read ActiveDocument -> object", "Word.ActiveDocument call Tables() -> object",
          "Word.ActiveDocument.Tables read Count -> number"},
         "3"},
        {"columnCount", true, [](RecordingDispatcher& r) { r.answer("Count", {test::integerValue(4)}); },
         [](Fixture& f) { return show(f.session.columnCount()); },
         {"Table read Columns -> object", "Table.Columns read Count -> number"}, "4"},
        {"rowCount", true, [](RecordingDispatcher& r) { r.answer("Count", {numberValue(2.0)}); },
         [](Fixture& f) { return show(f.session.rowCount()); },
         {"Table read Rows -> object", "Table.Rows read Count -> number"}, "2"},
        {"cellText", true, [](RecordingDispatcher& r) { r.answer("text", {textValue("abc")}); },
         [](Fixture& f) { return show(f.session.cellText(1, 1)); },
         {"Table call cell(1, 1) -> object", "Table.cell read range -> object", "Table.cell.range read text -> text"},
         "\"abc\""},
        {"setCellText", true, {}, [](Fixture& f) { f.session.setCellText(2, 1, "x"); return ""; },
         {"Table call cell(2, 1) -> object", "Table.cell read range -> object", "Table.cell.range write text = \"x\""},
         ""},
        {"addLine", false, {}, [](Fixture& f) { f.session.addLine(1, 2, 3, 4); return ""; },
         {"Word read ActiveDocument -> object", "Word.ActiveDocument read Shapes -> object",
          "Word.ActiveDocument.Shapes call AddLine(1, 2, 3, 4)"},
         ""},
        {"replaceText replace-all ignores times", false, [](RecordingDispatcher& r) { r.answer("Execute", {booleanValue(true)}); },
         [](Fixture& f) { return show(f.session.replaceText("key", "value", 5, false)); },
         replacePass("", "value", "&2"), "1", Lines{"Word", "Word.ActiveDocument.Content.Find"}},
        {"replaceText replace-all that finds nothing", false, {},
         [](Fixture& f) { return show(f.session.replaceText("key", "value", 0, false)); },
         replacePass("", "value", "&2"), "0", Lines{"Word", "Word.ActiveDocument.Content.Find"}},
        {"replaceText one at a time, three passes", false,
         [](RecordingDispatcher& r) {
             r.answer("Execute", {booleanValue(true), booleanValue(false), booleanValue(true)});
         },
         [](Fixture& f) { return show(f.session.replaceText("key", "v", 3, true)); },
         joined({replacePass("", "v", "&true"), replacePass("#2", "v", "&true"), replacePass("#3", "v", "&true")}),
         "2", Lines{"Word", "Word.ActiveDocument#3.Content.Find"}},
        {"replaceText with empty texts sends them", false, {},
         [](Fixture& f) { return show(f.session.replaceText("", "", 1, false)); },
         {"Word read ActiveDocument -> object", "Word.ActiveDocument read Content -> object",
          "Word.ActiveDocument.Content read Find -> object", "Word.ActiveDocument.Content.Find call ClearFormatting()",
          "Word.ActiveDocument.Content.Find read Replacement -> object",
          "Word.ActiveDocument.Content.Find.Replacement call ClearFormatting()",
          "Word.ActiveDocument.Content.Find.Replacement write Text = \"\"",
          "Word.ActiveDocument.Content.Find call Execute(&\"\", -, -, -, -, -, -, &1, &false, -, &2) -> boolean"},
         "0", Lines{"Word", "Word.ActiveDocument.Content.Find"}},
        {"replaceText with times 0 makes no call and keeps the current find", false, {},
         [](Fixture& f) {
             f.session.findInSelection("x");
             f.rec.clearCalls();
             const std::string count = show(f.session.replaceText("key", "v", 0, true));
             f.session.findNext();
             return count;
         },
         {"Word.Selection#2.Find call Execute(\"x\", -, -, -, -, -, &true) -> boolean"}, "0",
         Lines{"Word", "Word.Selection#2.Find"}},
        {"findNext after replaceText searches the content with the saved find text", false, {},
         [](Fixture& f) {
             f.session.replaceText("key", "v", 0, false);
             f.rec.clearCalls();
             return show(f.session.findNext());
         },
         {"Word.ActiveDocument.Content.Find call Execute(0, -, -, -, -, -, &true) -> boolean"}, "false",
         Lines{"Word", "Word.ActiveDocument.Content.Find"}},
        {"findInSelection on an empty selection, defaults", false, {},
         [](Fixture& f) { return show(f.session.findInSelection("x")); },
         {"Word read Selection -> object", "Word.Selection read Text -> text", "Word read Selection -> object",
          "Word.Selection#2 read Find -> object", "Word.Selection#2.Find call ClearFormatting()",
          "Word.Selection#2.Find write Highlight = 0", "Word.Selection#2.Find read Replacement -> object",
          "Word.Selection#2.Find.Replacement call ClearFormatting()",
          "Word.Selection#2.Find.Replacement write Text = \"\"",
          "Word.Selection#2.Find call Execute(&\"x\", -, -, -, -, -, &true, -, &false) -> boolean"},
         "false", Lines{"Word", "Word.Selection#2.Find"}},
        {"findInSelection after selected text moves right first", false,
         [](RecordingDispatcher& r) {
             r.answer("Text", {textValue("sel")});
             r.answer("Execute", {booleanValue(true)});
         },
         [](Fixture& f) { return show(f.session.findInSelection("x", false, true)); },
         {"Word read Selection -> object", "Word.Selection read Text -> text", "Word read Selection -> object",
          "Word.Selection#2 call MoveRight(1, 1)", "Word read Selection -> object",
          "Word.Selection#3 read Find -> object", "Word.Selection#3.Find call ClearFormatting()",
          "Word.Selection#3.Find write Highlight = 1", "Word.Selection#3.Find read Replacement -> object",
          "Word.Selection#3.Find.Replacement call ClearFormatting()",
          "Word.Selection#3.Find.Replacement write Text = \"\"",
          "Word.Selection#3.Find call Execute(&\"x\", -, -, -, -, -, &false, -, &false) -> boolean"},
         "true", Lines{"Word", "Word.Selection#3.Find"}},
        {"findNext before any find fails on the empty find", false, {},
         [](Fixture& f) { return show(f.session.findNext()); },
         {"<empty> call Execute(0, -, -, -, -, -, &true) -> boolean"}, "false"},
        {"setTextColumns defaults write no spacing", false, {},
         [](Fixture& f) { f.session.setTextColumns(); return ""; },
         {"Word read ActiveDocument -> object", "Word.ActiveDocument read PageSetup -> object",
          "Word.ActiveDocument.PageSetup read TextColumns -> object",
          "Word.ActiveDocument.PageSetup.TextColumns call SetCount(2)",
          "Word.ActiveDocument.PageSetup.TextColumns write EvenlySpaced = true",
          "Word.ActiveDocument.PageSetup.TextColumns write LineBetween = false"},
         ""},
        {"setTextColumns with spacing", false, {},
         [](Fixture& f) { f.session.setTextColumns(3, true, false, 12); return ""; },
         {"Word read ActiveDocument -> object", "Word.ActiveDocument read PageSetup -> object",
          "Word.ActiveDocument.PageSetup read TextColumns -> object",
          "Word.ActiveDocument.PageSetup.TextColumns call SetCount(3)",
          "Word.ActiveDocument.PageSetup.TextColumns write EvenlySpaced = false",
          "Word.ActiveDocument.PageSetup.TextColumns write LineBetween = true",
          "Word.ActiveDocument.PageSetup.TextColumns write Spacing = 12"},
         ""},
        {"typeText defaults", false, {}, [](Fixture& f) { f.session.typeText(); return ""; },
         {"Word read Selection -> object", "Word.Selection call TypeText(\"\")"}, ""},
        {"typeText paragraph and backspace ignore the text", false, {},
         [](Fixture& f) {
             f.session.typeText("x", 1);
             f.session.typeText("x", 2);
             return "";
         },
         {"Word read Selection -> object", "Word.Selection call TypeParagraph()", "Word read Selection -> object",
          "Word.Selection#2 call TypeBackspace()"},
         ""},
        {"typeText other kinds make no call", false, {},
         [](Fixture& f) {
             f.session.typeText("x", 3);
             f.session.typeText("x", -1);
             return "";
         },
         {}, ""},
        {"moves send unit and count, count 0 by default", false, {},
         [](Fixture& f) {
             f.session.moveUp(5);
             f.session.moveDown(4, 2);
             f.session.moveLeft(1, 3);
             f.session.moveRight(1);
             return "";
         },
         {"Word read Selection -> object", "Word.Selection call MoveUp(5, 0)", "Word read Selection -> object",
          "Word.Selection#2 call MoveDown(4, 2)", "Word read Selection -> object", "Word.Selection#3 call MoveLeft(1, 3)",
          "Word read Selection -> object", "Word.Selection#4 call MoveRight(1, 0)"},
         ""},
        {"selectWholeStory", false, {}, [](Fixture& f) { f.session.selectWholeStory(); return ""; },
         {"Word read Selection -> object", "Word.Selection call WholeStory()"}, ""},
        {"goTo always sends four arguments", false, {},
         [](Fixture& f) {
             f.session.goTo(f.document, 1);
             f.session.goTo(f.document, 1, 2, 3, "b");
             return "";
         },
         {"Doc call goto(1, 0, 0, \"\")", "Doc call goto(1, 2, 3, \"b\")"}, ""},
        {"documentText", false, [](RecordingDispatcher& r) { r.answer("Text", {textValue("body")}); },
         [](Fixture& f) { return show(f.session.documentText()); },
         {"Word read ActiveDocument -> object", "Word.ActiveDocument read Content -> object",
          "Word.ActiveDocument.Content read Text -> text"},
         "\"body\""},
        {"documentLength", false, [](RecordingDispatcher& r) { r.answer("StoryLength", {numberValue(12.0)}); },
         [](Fixture& f) { return show(f.session.documentLength()); },
         {"Word read ActiveDocument -> object", "Word.ActiveDocument read Content -> object",
          "Word.ActiveDocument.Content read StoryLength -> number"},
         "12"},
        {"setDocumentText", false, {}, [](Fixture& f) { f.session.setDocumentText("new"); return ""; },
         {"Word read ActiveDocument -> object", "Word.ActiveDocument read Content -> object",
          "Word.ActiveDocument.Content write Text = \"new\""},
         ""},
        {"copySelection and paste", false, {},
         [](Fixture& f) {
             f.session.copySelection();
             f.session.paste();
             return "";
         },
         {"Word read Selection -> object", "Word.Selection call Copy()", "Word read Selection -> object",
          "Word.Selection#2 call Paste()"},
         ""},
        {"computeStatistics truncates toward zero", false,
         [](RecordingDispatcher& r) { r.answer("ComputeStatistics", {numberValue(-2.9)}); },
         [](Fixture& f) { return show(f.session.computeStatistics(2, true)); },
         {"Word read ActiveDocument -> object", "Word.ActiveDocument call ComputeStatistics(2, true) -> number"},
         "-2"},
        {"setFontSize", false, {}, [](Fixture& f) { f.session.setFontSize(14); return ""; },
         selectionFormat("Font", "Size = 14"), ""},
        {"setBold", false, {}, [](Fixture& f) { f.session.setBold(true); return ""; },
         selectionFormat("Font", "Bold = true"), ""},
        {"setFontColor", false, {}, [](Fixture& f) { f.session.setFontColor(255); return ""; },
         selectionFormat("Font", "Color = 255"), ""},
        {"setUnderline", false, {}, [](Fixture& f) { f.session.setUnderline(1); return ""; },
         selectionFormat("Font", "UnderLine = 1"), ""},
        {"setItalic", false, {}, [](Fixture& f) { f.session.setItalic(false); return ""; },
         selectionFormat("Font", "Italic = false"), ""},
        {"setCharacterSpacing", false, {}, [](Fixture& f) { f.session.setCharacterSpacing(-1); return ""; },
         selectionFormat("Font", "Spacing = -1"), ""},
        {"setShadow", false, {}, [](Fixture& f) { f.session.setShadow(true); return ""; },
         selectionFormat("Font", "Shadow = true"), ""},
        {"setFontName", false, {}, [](Fixture& f) { f.session.setFontName(test::cp(u8"宋体")); return ""; },
         selectionFormat("Font", "Name = " + inQuotes(test::cp(u8"宋体"))), ""},
        {"setAlignment", false, {}, [](Fixture& f) { f.session.setAlignment(1); return ""; },
         selectionFormat("ParagraphFormat", "Alignment = 1"), ""},
        {"formatTableCells mode 0 selects the table and ignores the cell", true, {},
         [](Fixture& f) { f.session.formatTableCells(0, 2, 1, "junk"); return ""; },
         tableCellsFormat("", {"Table call select()"}), ""},
        {"formatTableCells mode 1 selects the cell's row", true, {},
         [](Fixture& f) { f.session.formatTableCells(1, 2, 1, "2,3"); return ""; }, tableCellsFormat("SelectRow", cell23),
         ""},
        {"formatTableCells mode 2 selects the cell's column", true, {},
         [](Fixture& f) { f.session.formatTableCells(2, 2, 1, "2,3,4"); return ""; },
         tableCellsFormat("SelectColumn", cell23), ""},
        {"formatTableCells other modes keep the cell, full-width digits read", true, {},
         [](Fixture& f) { f.session.formatTableCells(5, 2, 1, test::cp(u8"　２,３")); return ""; },
         tableCellsFormat("", cell23), ""},
        {"insertPageBreak", false, {}, [](Fixture& f) { f.session.insertPageBreak(); return ""; },
         {"Word read selection -> object", "Word.selection call InsertBreak(7)"}, ""},
    };
}

// Runs one case on a session whose Word started, after the case's own set-up.
void runStarted(const Case& c) {
    SCOPED_TRACE(c.name);
    RecordingDispatcher rec;
    {
        WordSession session(rec);
        session.startWord();
        Fixture fixture{rec, session, rec.makeObject("Doc")};
        if (c.table) {
            rec.answer("Item", {objectValue(rec.makeObject("Table"))});
            session.useTable(1);
            rec.clearAnswers();
        }
        rec.clearCalls();
        rec.restartLabels();
        if (c.script) c.script(rec);

        EXPECT_EQ(c.run(fixture), c.result);
        EXPECT_EQ(rec.lines(), c.calls);

        rec.clearAnswers();
        fixture.document.release();
        const Lines held = c.held.value_or(c.table ? Lines{"Word", "Table"} : Lines{"Word"});
        EXPECT_THAT(rec.liveObjects(), UnorderedElementsAreArray(held)) << "intermediate objects left unreleased";
    }
    EXPECT_THAT(rec.liveObjects(), IsEmpty());
    EXPECT_THAT(rec.faults(), IsEmpty());
    EXPECT_EQ(rec.threadsBegun(), 1);
    EXPECT_EQ(rec.threadsEnded(), 1);
}

TEST(WordSessionCalls, EveryOperationMakesItsCallSequence) {
    for (const Case& c : operationCases()) runStarted(c);
}

// With no Word, every operation makes only calls on empty objects and returns its
// empty result; nothing is left held.
TEST(WordSessionCalls, EveryOperationIsQuietAndEmptyWhenWordDidNotStart) {
    const std::vector<std::string> emptyResults{"", "0", "false", "\"\"", "object <empty>"};
    for (const Case& c : operationCases()) {
        SCOPED_TRACE(c.name);
        RecordingDispatcher rec;
        rec.failCreation();
        {
            WordSession session(rec);
            session.startWord();
            rec.clearCalls();
            Fixture fixture{rec, session, {}};
            const std::string result = c.run(fixture);
            EXPECT_THAT(emptyResults, ::testing::Contains(result));
            for (const RecordedCall& call : rec.calls()) EXPECT_EQ(call.target, "<empty>") << call.line();
            if (!rec.calls().empty()) {
                EXPECT_FALSE(lastCallSucceeded());
            }
        }
        EXPECT_THAT(rec.liveObjects(), IsEmpty());
        EXPECT_THAT(rec.faults(), IsEmpty());
    }
}

TEST(WordSessionApplication, StartWordCreatesWordAndKeepsTheOldOneOnFailure) {
    RecordingDispatcher rec;
    WordSession session(rec);
    session.startWord();
    EXPECT_THAT(rec.lines(), ElementsAre("create WORD.Application"));
    EXPECT_EQ(rec.labelOf(session.application()), "Word");

    rec.failCreation();
    session.startWord();
    EXPECT_EQ(rec.labelOf(session.application()), "Word");
    session.quitWord();
    EXPECT_EQ(rec.lines().back(), "Word call Quit()");
}

TEST(WordSessionApplication, AttachTakesANewReferenceAndReportsTheLastCall) {
    RecordingDispatcher rec;
    AutomationObject first = rec.makeObject("First");
    AutomationObject second = rec.makeObject("Second");
    {
        WordSession session(rec);
        recordCallOutcome(false);
        EXPECT_FALSE(session.attachApplication(first));
        EXPECT_EQ(rec.referenceCount(first), 2);
        session.setVisible(true);  // a successful call
        EXPECT_TRUE(session.attachApplication(second));
        EXPECT_EQ(rec.referenceCount(first), 1);
        EXPECT_EQ(rec.referenceCount(second), 2);
        EXPECT_EQ(rec.labelOf(session.application()), "Second");
    }
    EXPECT_EQ(rec.referenceCount(second), 1);
    EXPECT_THAT(rec.faults(), IsEmpty());
}

TEST(WordSessionTables, ReturnedTableIsTheCurrentTable) {
    RecordingDispatcher rec;
    WordSession session(rec);
    session.startWord();
    AutomationObject table = session.addTable(2, 2);
    EXPECT_EQ(rec.referenceCount(table), 2);
    table.release();
    rec.clearCalls();
    session.selectTable();
    EXPECT_THAT(rec.lines(), ElementsAre("Word.Selection.Tables.add call select()"));

    // A failed useTable empties the current table and releases the old one.
    rec.fail("Item");
    AutomationObject none = session.useTable(9);
    EXPECT_TRUE(none.empty());
    EXPECT_THAT(rec.liveObjects(), ElementsAre("Word"));
}

TEST(WordSessionLifecycle, EndOfLifeReleasesTheFieldsInOrderThenEndsCom) {
    RecordingDispatcher rec;
    {
        WordSession session(rec);
        session.startWord();
        session.addTable(1, 1, false);
        session.findInSelection("x");
    }
    const Lines& log = rec.releaseLog();
    ASSERT_GE(log.size(), 4u);
    EXPECT_THAT(Lines(log.end() - 4, log.end()),
                ElementsAre("Word.Selection.Tables.add", "Word", "Word.Selection#3.Find", "end COM"));
    EXPECT_THAT(rec.faults(), IsEmpty());
}

TEST(WordSessionLifecycle, CopiesShareObjectsAndBalanceCom) {
    RecordingDispatcher rec;
    {
        WordSession original(rec);
        original.startWord();
        original.findInSelection("first");
        {
            WordSession copied = original.copy();
            WordSession constructed(original);
            EXPECT_EQ(rec.threadsBegun(), 3);
            EXPECT_EQ(rec.referenceCount(original.application()), 4);  // three sessions and this one

            // Each copy has its own remembered find text.
            original.findInSelection("second");
            rec.clearCalls();
            copied.findNext();
            EXPECT_THAT(rec.lines(), ElementsAre("Word.Selection#2.Find call Execute(\"first\", -, -, -, -, -, "
                                                 "&true) -> boolean"));
        }
        EXPECT_EQ(rec.threadsEnded(), 2);
        EXPECT_EQ(rec.referenceCount(original.application()), 2);
    }
    EXPECT_EQ(rec.threadsBegun(), 3);
    EXPECT_EQ(rec.threadsEnded(), 3);
    EXPECT_THAT(rec.liveObjects(), IsEmpty());
    EXPECT_THAT(rec.faults(), IsEmpty());
}

// Enough of one Word document behind its content range to show what a replace run
// leaves in the text: find from the range (selecting the match into it), replace
// one or all through the Replacement text, write the range's text, collapse it.
// Like Word, it refuses Replacement texts of more than 255 characters.
class ModelDocument {
public:
    ModelDocument(RecordingDispatcher& rec, Text text) : text_(std::move(text)) {
        rec.answerWith("Content", [this, &rec](const RecordedCall& call) -> std::optional<AutomationValue> {
            start_ = 0;
            end_ = text_.size();
            return objectValue(rec.makeObject(call.target + ".Content"));
        });
        rec.answerWith("Start", [this](const RecordedCall&) -> std::optional<AutomationValue> {
            return test::integerValue(static_cast<std::int32_t>(start_));
        });
        rec.answerWith("Collapse", [this](const RecordedCall& call) -> std::optional<AutomationValue> {
            if (call.arguments.at(0).integer == 0) start_ = end_;
            return AutomationValue::empty();
        });
        rec.answerWith("Text", [this](const RecordedCall& call) { return writeText(call); });
        rec.answerWith("Execute", [this](const RecordedCall& call) { return execute(call); });
    }
    const Text& text() const { return text_; }

private:
    std::optional<AutomationValue> writeText(const RecordedCall& call) {
        const Text& value = call.arguments.at(0).text;
        if (call.target.ends_with(".Replacement")) {
            std::size_t characters = 0;
            for (std::size_t pos = 0; pos < value.size(); pos += charLength(value, pos)) ++characters;
            if (characters > 255) return std::nullopt;
            replacement_ = value;
        } else {
            text_.replace(start_, end_ - start_, value);
            end_ = start_ + value.size();
        }
        return AutomationValue::empty();
    }

    std::optional<AutomationValue> execute(const RecordedCall& call) {
        const Text& what = call.arguments.at(0).text;
        const test::RecordedValue replace =
            call.arguments.size() > 10 ? call.arguments[10] : test::RecordedValue{};
        if (replace.kind == ValueKind::Integer && replace.integer == 2) {
            const bool found = findText(text_, what) != std::string_view::npos;
            text_ = replaceAll(text_, what, replacement_);
            return booleanValue(found);
        }
        const std::size_t at = findText(text_, what, replace.kind == ValueKind::Boolean ? 0 : start_);
        if (at == std::string_view::npos) return booleanValue(false);
        if (replace.kind == ValueKind::Boolean) {
            text_.replace(at, what.size(), replacement_);
        } else {
            start_ = at;
            end_ = at + what.size();
        }
        return booleanValue(true);
    }

    Text text_;
    Text replacement_;
    std::size_t start_ = 0;
    std::size_t end_ = 0;
};

struct ReplaceCase {
    std::string name;
    Text document;
    Text findText;
    Text replacement;
    std::int32_t times;
    bool oneAtATime;
    Text expected;
    std::int32_t count;
    bool throughReplacement;  // the short path, with the text on the Replacement object
};

TEST(WordSessionReplace, EveryOccurrenceIsReplacedWhateverTheReplacementLength) {
    const Text longWithKey = Text(250, 'x') + "k-end!";        // 256 characters, holds the key
    const Text longPlain = Text(256, 'y');
    Text wide255;
    for (int i = 0; i < 255; ++i) wide255 += test::cp(u8"中");
    const Text wide256 = wide255 + test::cp(u8"文");
    const std::vector<ReplaceCase> cases{
        {"short replace-all", "a k b k", "k", "v", 0, false, "a v b v", 1, true},
        {"short one at a time", "k k k", "k", "v", 2, true, "v v k", 2, true},
        {"long replace-all never searches the inserted text", "k1k2", "k", longWithKey, 0, false,
         replaceAll("k1k2", "k", longWithKey), 1, false},
        {"long replace-all, adjacent occurrences", "kk", "k", longPlain, 0, false, longPlain + longPlain, 1, false},
        {"long replace-all, key absent", "abc", "k", longPlain, 0, false, "abc", 0, false},
        {"long one at a time", "k k k", "k", longPlain, 2, true, longPlain + " " + longPlain + " k", 2, false},
        {"255 double-byte characters still fit Word's limit", "a k", "k", wide255, 0, false, "a " + wide255, 1, true},
        {"256 double-byte characters do not", "a k k", "k", wide256, 0, false, "a " + wide256 + " " + wide256, 1,
         false},
    };
    for (const ReplaceCase& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingDispatcher rec;
        {
            WordSession session(rec);
            session.startWord();
            ModelDocument document(rec, c.document);
            EXPECT_EQ(session.replaceText(c.findText, c.replacement, c.times, c.oneAtATime), c.count);
            EXPECT_EQ(test::utf8(document.text()), test::utf8(c.expected));
            bool throughReplacement = false;
            for (const std::string& line : rec.lines()) {
                throughReplacement = throughReplacement || line.find(".Replacement write Text") != std::string::npos;
            }
            EXPECT_EQ(throughReplacement, c.throughReplacement);
            rec.clearAnswers();
            EXPECT_EQ(rec.liveObjects().size(), 2u) << "only Word and the current find stay held";
        }
        EXPECT_THAT(rec.faults(), IsEmpty());
    }
}

TEST(WordSessionReplace, LongReplacementWritesTheFoundRanges) {
    const Text value(256, 'x');
    RecordingDispatcher rec;
    WordSession session(rec);
    session.startWord();
    rec.clearCalls();
    rec.answer("Execute", {booleanValue(true), booleanValue(false)});
    rec.answer("Start", {test::integerValue(1), test::integerValue(257)});
    EXPECT_EQ(session.replaceText("k", value, 0, false), 1);
    const std::string find = "Word.ActiveDocument.Content.Find call Execute(&\"k\", -, -, -, -, -, &true, &0, &false, "
                             "-, &0) -> boolean";
    EXPECT_EQ(rec.lines(), (Lines{"Word read ActiveDocument -> object",
                                  "Word.ActiveDocument read Content -> object",
                                  "Word.ActiveDocument.Content read Find -> object",
                                  "Word.ActiveDocument.Content.Find call ClearFormatting()",
                                  find,
                                  "Word.ActiveDocument.Content read Start -> number",
                                  "Word.ActiveDocument.Content write Text = " + inQuotes(value),
                                  "Word.ActiveDocument.Content call Collapse(0)",
                                  "Word.ActiveDocument.Content read Start -> number",
                                  find}));
    rec.clearAnswers();
    EXPECT_THAT(rec.liveObjects(), UnorderedElementsAreArray(Lines{"Word", "Word.ActiveDocument.Content.Find"}));
}

// An engine that keeps reporting finds must not keep the loop going: it stops when
// the range does not move on, or when a find lies before text already written.
TEST(WordSessionReplace, LongReplacementStopsWhenTheRangeDoesNotAdvance) {
    struct Bound {
        std::string name;
        std::vector<AutomationValue> starts;
        std::size_t writes;
    };
    const std::vector<Bound> bounds{
        {"range never moves", {test::integerValue(0)}, 1},
        {"find before the floor", {test::integerValue(0), test::integerValue(300), test::integerValue(100)}, 1},
        {"Start cannot be read", {}, 0},
    };
    for (const Bound& b : bounds) {
        SCOPED_TRACE(b.name);
        RecordingDispatcher rec;
        WordSession session(rec);
        session.startWord();
        rec.answer("Execute", {booleanValue(true)});
        if (b.starts.empty()) {
            rec.fail("Start");
        } else {
            rec.answer("Start", b.starts);
        }
        EXPECT_EQ(session.replaceText("k", Text(300, 'x'), 0, false), b.writes > 0 ? 1 : 0);
        std::size_t writes = 0;
        for (const std::string& line : rec.lines()) writes += line.find("write Text") != std::string::npos ? 1u : 0u;
        EXPECT_EQ(writes, b.writes);
    }
}

}  // namespace
}  // namespace rulecore::word
