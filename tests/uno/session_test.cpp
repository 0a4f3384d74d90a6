// The rest of WordSession's operations on a real office: selection, find,
// tables, bookmarks, formatting, page layout, pictures and shapes. Each step
// checks that the office took the call, and the document's text where it shows.
#include <gtest/gtest.h>

#include "rulecore/word/uno/uno_engine.h"
#include "rulecore/word/word_session.h"
#include "tests/support/cp936.h"
#include "tests/uno/office_files.h"

namespace rulecore {
namespace {

using test::cp;

// A 1x1 PNG picture.
const unsigned char pixel[] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48,
                               0x44, 0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00,
                               0x00, 0x1F, 0x15, 0xC4, 0x89, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x44, 0x41, 0x54, 0x78,
                               0x9C, 0x63, 0xF8, 0xCF, 0xC0, 0xF0, 0x1F, 0x00, 0x05, 0x00, 0x01, 0xFF, 0x89, 0x99,
                               0x3D, 0x1D, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};

class SessionOperations : public ::testing::Test {
protected:
    void SetUp() override {
        session.startWord();
        ASSERT_TRUE(session.application());
    }
    void TearDown() override { session.quitWord(); }
    void expectTaken(const char* step) { EXPECT_TRUE(word::lastCallSucceeded()) << step; }

    uno_test::TempDirectory dir;
    std::unique_ptr<word::AutomationDispatcher> dispatcher = word::uno::makeEngineDispatcher();
    word::WordSession session{*dispatcher};
};

TEST_F(SessionOperations, TypingFindingAndSelection) {
    ASSERT_TRUE(session.newDocument());
    session.typeText(cp(u8"第一段 apple"));
    session.typeText({}, 1);
    session.typeText("apple pie");
    session.typeText({}, 2);
    EXPECT_EQ(session.documentText(), cp(u8"第一段 apple\rapple pi\r"));
    EXPECT_EQ(session.documentLength(), 19);

    session.selectWholeStory();
    session.moveLeft(1, 1);  // to the start
    EXPECT_TRUE(session.findInSelection("APPLE"));
    EXPECT_TRUE(session.findNext());
    session.typeText("pear");
    EXPECT_EQ(session.documentText(), cp(u8"第一段 apple\rpear pi\r"));
    EXPECT_FALSE(session.findNext());

    session.moveDown(5, 1);
    session.moveUp(5, 1);
    session.moveRight(1, 2);
    expectTaken("moves");
    session.insertPageBreak();
    EXPECT_EQ(session.computeStatistics(2, false), 2);
    EXPECT_EQ(session.computeStatistics(4, false), 3);

    session.setDocumentText("replaced\r\nwhole");
    EXPECT_EQ(session.documentText(), "replaced\rwhole\r");
    session.setBold(true);
    session.setItalic(true);
    session.setFontSize(14);
    session.setFontColor(0x0000FF);
    session.setUnderline(1);
    session.setCharacterSpacing(2);
    session.setShadow(true);
    session.setFontName(cp(u8"宋体"));
    session.setAlignment(1);
    expectTaken("formatting");
    session.applyStyle("Heading 1");
    expectTaken("style");
    session.applyStyle("No Such Style");
    EXPECT_FALSE(word::lastCallSucceeded());
}

TEST_F(SessionOperations, TablesPicturesShapesAndColumns) {
    ASSERT_TRUE(session.newDocument());
    EXPECT_TRUE(session.addTable(2, 3, false));
    EXPECT_EQ(session.tableCount(), 1);
    EXPECT_EQ(session.rowCount(), 2);
    EXPECT_EQ(session.columnCount(), 3);
    session.setCellText(2, 3, cp(u8"右下"));
    EXPECT_EQ(session.cellText(2, 3), cp(u8"右下\r\x07"));
    session.addTableRow();
    EXPECT_EQ(session.rowCount(), 3);
    session.setCellText(9, 9, "outside");
    EXPECT_FALSE(word::lastCallSucceeded());

    EXPECT_TRUE(session.useTable(1));
    session.setCellFont(1, 1, "Arial", 12, true);
    expectTaken("cell font");
    session.formatTableCells(1, 2, 1, cp(u8"２,３"));
    expectTaken("row format");
    session.formatTableCells(0, 1, 3, {});
    expectTaken("table format");
    session.selectTableRowOrColumn(2, 1, 2);
    expectTaken("column");
    session.selectCell(1, 1);
    session.setTableAutoFit(2);
    expectTaken("auto fit");
    // The grid style of Chinese Word is not a style of the office.
    session.addTable(1, 1);
    EXPECT_FALSE(word::lastCallSucceeded());

    const std::string picture = dir.file("pixel.png");
    uno_test::writeFile(picture, std::string(reinterpret_cast<const char*>(pixel), sizeof pixel));
    session.selectWholeStory();
    session.moveRight(1, 1);
    session.insertPicture(picture);
    expectTaken("picture");
    session.insertPicture(dir.file("absent.png"));
    EXPECT_FALSE(word::lastCallSucceeded());
    session.addLine(10, 10, 200, 10);
    expectTaken("line");
    session.setTextColumns(3, true, true, 12);
    expectTaken("columns");
    EXPECT_TRUE(session.saveAs(dir.file("built.odt")));
    const std::string xml = uno_test::flatXml(dir.file("built.odt"));
    EXPECT_NE(xml.find("fo:column-count=\"3\""), std::string::npos);
    EXPECT_NE(xml.find("<draw:line"), std::string::npos);
    EXPECT_NE(xml.find("<draw:image"), std::string::npos);
    EXPECT_NE(xml.find("右下"), std::string::npos);
}

TEST_F(SessionOperations, BookmarksUndoAndDocuments) {
    uno_test::writeFile(dir.file("marks.fodt"), uno_test::flatDocument(
        R"(<text:p>Dear <text:bookmark text:name="Name"/>, signed <text:bookmark text:name="Date"/>.</text:p>)", "", ""));
    const std::string marks = uno_test::convert(dir.file("marks.fodt"), "doc");
    ASSERT_FALSE(marks.empty());
    word::AutomationObject document = session.openDocument(marks);
    ASSERT_TRUE(document);
    session.fillBookmarks(document, {"name", "Missing", "Date"}, {cp(u8"李四"), "never", "today"});
    EXPECT_EQ(session.documentText(), cp(u8"Dear 李四, signed today.\r"));
    session.undo(document, 1);
    EXPECT_EQ(session.documentText(), cp(u8"Dear 李四, signed .\r"));
    session.redo(document, 1);
    EXPECT_EQ(session.documentText(), cp(u8"Dear 李四, signed today.\r"));

    word::AutomationObject second = session.newDocument();
    ASSERT_TRUE(second);
    EXPECT_EQ(session.documentText(), "\r");
    session.activateDocument(document);
    EXPECT_EQ(session.documentText(), cp(u8"Dear 李四, signed today.\r"));
    session.saveDocument();
    expectTaken("save");
    session.closeDocument(1);
    EXPECT_EQ(session.documentText(), "\r");
    session.closeDocument(5);
    EXPECT_FALSE(word::lastCallSucceeded());
    EXPECT_EQ(uno_test::bodyText(marks), "Dear 李四, signed today.\n");
}

}  // namespace
}  // namespace rulecore
