// The engine against a real office, through WordSession as the programs use it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "rulecore/word/uno/uno_engine.h"
#include "rulecore/word/word_session.h"
#include "tests/support/cp936.h"
#include "tests/uno/office_files.h"

namespace rulecore {
namespace {

using test::cp;
using uno_test::TempDirectory;

std::string longValue() {
    std::string value;
    for (int i = 0; i < 40; ++i) value += "长值abcde" + std::to_string(i % 10);
    return value;  // 280 characters, over Word's 255
}

// Keys in the body (one split across a bold run, one in lower case, one in a
// table), and the same key in the header and the footer.
const char* const templateBody = R"(
<text:p>Name: KEY1 and key1 and KE<text:span text:style-name="Strong">Y1</text:span>.</text:p>
<text:p>Long: LONGKEY</text:p>
<text:p>Lines: MULTIKEY end</text:p>
<table:table table:name="T1"><table:table-column table:number-columns-repeated="2"/>
<table:table-row><table:table-cell><text:p>cell KEY1 LONGKEY</text:p></table:table-cell>
<table:table-cell><text:p>中文键</text:p></table:table-cell></table:table-row></table:table>
<text:p>Codes: CARET</text:p>
<text:p>After: LONGKEY</text:p>
)";

class FillTemplate : public ::testing::TestWithParam<std::string> {};

TEST_P(FillTemplate, ReplacesTheMainTextOnlyAndSavesInTheTemplateFormat) {
    TempDirectory dir;
    const std::string format = GetParam();
    uno_test::writeFile(dir.file("template.fodt"),
                        uno_test::flatDocument(templateBody, "Header KEY1", "Footer KEY1"));
    const std::string templatePath = uno_test::convert(dir.file("template.fodt"), format);
    ASSERT_FALSE(templatePath.empty());
    const std::string output = dir.file("filled." + format);

    auto dispatcher = word::uno::makeEngineDispatcher();
    {
        word::WordSession session(*dispatcher);
        session.startWord();
        ASSERT_TRUE(session.application());
        EXPECT_TRUE(session.openDocument(cp(u8"") + templatePath));
        EXPECT_EQ(session.replaceText("KEY1", "Alice", 0, false), 1);
        EXPECT_EQ(session.replaceText("LONGKEY", cp(reinterpret_cast<const char8_t*>(longValue().c_str())), 0, false), 1);
        EXPECT_EQ(session.replaceText("MULTIKEY", "line one\r\nline two\ttabbed\rthree", 0, false), 1);
        EXPECT_EQ(session.replaceText(cp(u8"中文键"), cp(u8"中文值"), 0, false), 1);
        EXPECT_EQ(session.replaceText("CARET", "a^pb^tc^^d", 0, false), 1);
        EXPECT_EQ(session.replaceText("ABSENT", "x", 0, false), 0);
        EXPECT_TRUE(session.saveAs(output));
        session.quitWord();
    }

    EXPECT_EQ(uno_test::bodyText(output),
              "Name: Alice and Alice and Alice.\n"
              "Long: " + longValue() + "\n"
              "Lines: line one\nline two\ttabbed\nthree end\n"
              "cell Alice " + longValue() + "\n"
              "中文值\n"
              "Codes: a\nb\tc^d\n"
              "After: " + longValue() + "\n");
    const std::string xml = uno_test::flatXml(output);
    EXPECT_NE(xml.find("Header KEY1"), std::string::npos);
    EXPECT_NE(xml.find("Footer KEY1"), std::string::npos);
    // The saved file keeps the template's format.
    const std::string bytes = uno_test::readFile(output);
    EXPECT_EQ(bytes.substr(0, 2), format == "doc" ? std::string("\xD0\xCF") : std::string("PK"));
}

INSTANTIATE_TEST_SUITE_P(Formats, FillTemplate, ::testing::Values("doc", "docx"));

// With nothing outside the main story the office's own replace-all serves; it
// must behave the same: split runs, tables, case, and values with line breaks.
TEST(FillPlainTemplate, ReplacesLikeTheTemplateWithHeaders) {
    TempDirectory dir;
    uno_test::writeFile(dir.file("plain.fodt"), uno_test::flatDocument(R"(
<text:p>A KEY1, key1 and KE<text:span text:style-name="Strong">Y1</text:span>; B KEY2</text:p>
<table:table table:name="T1"><table:table-column/>
<table:table-row><table:table-cell><text:p>KEY1 KEY2</text:p></table:table-cell></table:table-row></table:table>)",
                                                                       "", ""));
    const std::string templatePath = uno_test::convert(dir.file("plain.fodt"), "doc");
    ASSERT_FALSE(templatePath.empty());
    auto dispatcher = word::uno::makeEngineDispatcher();
    {
        word::WordSession session(*dispatcher);
        session.startWord();
        EXPECT_TRUE(session.openDocument(templatePath));
        EXPECT_EQ(session.replaceText("KEY1", "one", 0, false), 1);
        EXPECT_EQ(session.replaceText("KEY2", "two\r\nlines", 0, false), 1);
        EXPECT_TRUE(session.saveAs(dir.file("filled.doc")));
        session.quitWord();
    }
    EXPECT_EQ(uno_test::bodyText(dir.file("filled.doc")), "A one, one and one; B two\nlines\none two\nlines\n\n");  // .doc ends a table with a paragraph
}

// Saving picks the office's filter by extension; export writes a PDF.
TEST(EngineSave, ChoosesTheFormatByExtension) {
    TempDirectory dir;
    auto dispatcher = word::uno::makeEngineDispatcher();
    word::WordSession session(*dispatcher);
    session.startWord();
    ASSERT_TRUE(session.newDocument());
    session.typeText("Saved text");
    const struct {
        const char* name;
        std::string magic;
    } cases[] = {{"a.doc", "\xD0\xCF\x11\xE0"}, {"a.docx", "PK"}, {"a.odt", "PK"}, {"a.rtf", "{\\rtf"}, {"a.pdf", "%PDF"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(session.saveAs(dir.file(c.name)));
        EXPECT_EQ(uno_test::readFile(dir.file(c.name)).substr(0, c.magic.size()), c.magic);
    }
    EXPECT_TRUE(session.exportPdf(dir.file("export.pdf")));
    EXPECT_EQ(uno_test::readFile(dir.file("export.pdf")).substr(0, 4), "%PDF");
    EXPECT_NE(uno_test::readFile(dir.file("a.odt")).find("application/vnd.oasis.opendocument.text"), std::string::npos);
    EXPECT_FALSE(session.saveAs(dir.file("missing-folder/a.doc")));
    session.quitWord();
}

// Failures stay quiet: every later operation returns its empty result.
TEST(EngineFailures, MissingTemplateAndAnOfficeThatCannotStart) {
    TempDirectory dir;
    struct Case {
        const char* what;
        word::uno::EngineOptions options;
        std::string templatePath;
    };
    word::uno::EngineOptions missingOffice;
    missingOffice.officeProgram = dir.file("no-such-office");
    const Case cases[] = {{"missing template", {}, dir.file("absent.doc")},
                          {"directory as template", {}, dir.path()},
                          {"office cannot start", missingOffice, dir.file("absent.doc")}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto dispatcher = word::uno::makeEngineDispatcher(c.options);
        word::WordSession session(*dispatcher);
        session.startWord();
        EXPECT_FALSE(session.openDocument(c.templatePath));
        EXPECT_EQ(session.replaceText("KEY", "value", 0, false), 0);
        EXPECT_EQ(session.replaceText("KEY", std::string(300, 'x'), 0, false), 0);
        EXPECT_FALSE(session.saveAs(dir.file("out.doc")));
        EXPECT_FALSE(session.exportPdf(dir.file("out.pdf")));
        EXPECT_EQ(session.documentText(), "");
        session.printOut();
        session.quitWord();
        session.quitWord();
        EXPECT_FALSE(word::lastCallSucceeded());
        EXPECT_FALSE(std::filesystem::exists(dir.file("out.doc")));
    }
}

}  // namespace
}  // namespace rulecore
