#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/frame/DispatchHelper.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDispatchProvider.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/lang/IllegalArgumentException.hpp>
#include <com/sun/star/text/XTextContent.hpp>
#include <com/sun/star/text/XTextRangeCompare.hpp>
#include <com/sun/star/text/XTextViewCursorSupplier.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>
#include <osl/file.hxx>
#include <osl/process.h>
#include <rtl/strbuf.hxx>
#include <rtl/ustrbuf.hxx>

#include "rulecore/platform/os.h"
#include "rulecore/word/uno/uno_model.h"

namespace rulecore::word::uno {

void refuse() { throw CallRefused{}; }

// ---- texts

OUString toOffice(std::string_view cp936) {
    const std::string utf8 = os::toUtf8(cp936);
    return OUString(utf8.data(), static_cast<sal_Int32>(utf8.size()), RTL_TEXTENCODING_UTF8);
}

Text fromOffice(const OUString& text) {
    const rtl::OString utf8 = rtl::OUStringToOString(text, RTL_TEXTENCODING_UTF8);
    return os::fromUtf8(std::string_view(utf8.getStr(), static_cast<std::size_t>(utf8.getLength())));
}

namespace {

// Line ends become Word's single CR; Word's vertical tab (a manual line break) is
// kept as LibreOffice's line break only on the way in.
OUString normaliseLineEnds(const OUString& text, bool lineBreakToOffice) {
    rtl::OUStringBuffer out(text.getLength());
    for (sal_Int32 i = 0; i < text.getLength(); ++i) {
        const sal_Unicode c = text[i];
        if (c == '\r') {
            if (i + 1 < text.getLength() && text[i + 1] == '\n') ++i;
            out.append(sal_Unicode('\r'));
        } else if (c == '\n') {
            out.append(sal_Unicode('\r'));
        } else if (c == 0x0B && lineBreakToOffice) {
            out.append(sal_Unicode('\n'));
        } else {
            out.append(c);
        }
    }
    return out.makeStringAndClear();
}

}  // namespace

OUString wordTextToOffice(const OUString& text) { return normaliseLineEnds(text, true); }

OUString officeTextToWord(const OUString& text) { return normaliseLineEnds(text, false); }

OUString expandCaretCodes(const OUString& text) {
    rtl::OUStringBuffer out(text.getLength());
    for (sal_Int32 i = 0; i < text.getLength(); ++i) {
        const sal_Unicode c = text[i];
        if (c == '^' && i + 1 < text.getLength()) {
            const sal_Unicode code = text[i + 1];
            if (code == 'p' || code == 'P') {
                out.append(sal_Unicode('\r'));
                ++i;
                continue;
            }
            if (code == 't' || code == 'T') {
                out.append(sal_Unicode('\t'));
                ++i;
                continue;
            }
            if (code == 'l' || code == 'L') {
                out.append(sal_Unicode(0x0B));
                ++i;
                continue;
            }
            if (code == '^') {
                out.append(sal_Unicode('^'));
                ++i;
                continue;
            }
            // ^nnn: the character of that code; 13 ends a paragraph, 11 breaks a line.
            sal_Int32 digits = 0;
            sal_Int32 number = 0;
            while (digits < 3 && i + 1 + digits < text.getLength() && text[i + 1 + digits] >= '0' &&
                   text[i + 1 + digits] <= '9') {
                number = number * 10 + (text[i + 1 + digits] - '0');
                ++digits;
            }
            if (digits > 0 && number > 0 && number < 256) {
                out.append(static_cast<sal_Unicode>(number));
                i += digits;
                continue;
            }
        }
        out.append(c);
    }
    return out.makeStringAndClear();
}

OUString fileUrl(const OUString& systemPath) {
    OUString url;
    if (osl::FileBase::getFileURLFromSystemPath(systemPath, url) != osl::FileBase::E_None) refuse();
    OUString working;
    if (osl_getProcessWorkingDir(&working.pData) == osl_Process_E_None) {
        OUString absolute;
        if (osl::FileBase::getAbsoluteFileURL(working, url, absolute) == osl::FileBase::E_None) return absolute;
    }
    return url;
}

// ---- values

std::int32_t integerOf(const AutomationValue& value) {
    switch (value.kind) {
        case ValueKind::Integer: return value.integer;
        case ValueKind::Boolean: return value.boolean ? -1 : 0;
        case ValueKind::Double: {
            if (!std::isfinite(value.number) || std::fabs(value.number) > 2147483647.0) refuse();
            return static_cast<std::int32_t>(std::lround(value.number));
        }
        case ValueKind::Text: {
            const OUString text = toOffice(value.text).trim();
            if (text.isEmpty()) refuse();
            const sal_Int64 number = text.toInt64();
            if (number > std::numeric_limits<std::int32_t>::max() || number < std::numeric_limits<std::int32_t>::min())
                refuse();
            return static_cast<std::int32_t>(number);
        }
        default: refuse();
    }
}

bool booleanOf(const AutomationValue& value) {
    switch (value.kind) {
        case ValueKind::Boolean: return value.boolean;
        case ValueKind::Integer: return value.integer != 0;
        case ValueKind::Double: return value.number != 0.0;
        default: refuse();
    }
}

OUString textOf(const AutomationValue& value) {
    switch (value.kind) {
        case ValueKind::Text: return toOffice(value.text);
        case ValueKind::Integer: return OUString::number(value.integer);
        case ValueKind::Double: return OUString::number(value.number);
        case ValueKind::Boolean: return value.boolean ? OUString("True") : OUString("False");
        case ValueKind::Empty: return OUString();
        default: refuse();
    }
}

bool Args::given(std::size_t index) const {
    return index < values_.size() && values_[index].kind != ValueKind::Missing;
}

AutomationValue& Args::value(std::size_t index) {
    if (index >= values_.size()) refuse();
    return values_[index];
}

AutomationValue& Args::assigned() {
    if (values_.empty()) refuse();
    return values_.back();
}

std::int32_t Args::integer(std::size_t index) const {
    if (!given(index)) refuse();
    return integerOf(values_[index]);
}

std::int32_t Args::integer(std::size_t index, std::int32_t fallback) const {
    return given(index) ? integerOf(values_[index]) : fallback;
}

double Args::number(std::size_t index) const {
    if (!given(index)) refuse();
    const AutomationValue& v = values_[index];
    return v.kind == ValueKind::Double ? v.number : static_cast<double>(integerOf(v));
}

bool Args::boolean(std::size_t index) const {
    if (!given(index)) refuse();
    return booleanOf(values_[index]);
}

bool Args::boolean(std::size_t index, bool fallback) const {
    return given(index) ? booleanOf(values_[index]) : fallback;
}

OUString Args::text(std::size_t index) const {
    if (!given(index)) refuse();
    return textOf(values_[index]);
}

OUString Args::text(std::size_t index, const OUString& fallback) const {
    return given(index) ? textOf(values_[index]) : fallback;
}

AutomationValue integerValue(std::int32_t value) { return AutomationValue::fromInteger(value); }
AutomationValue numberValue(double value) { return AutomationValue::fromDouble(value); }
AutomationValue booleanValue(bool value) { return AutomationValue::fromBoolean(value); }
AutomationValue textValue(const OUString& value) { return AutomationValue::fromText(fromOffice(value)); }
AutomationValue nothing() { return AutomationValue::empty(); }

AutomationValue objectValue(ModelObject* object) {
    return AutomationValue::fromObject(AutomationObject::adopt(object));
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// ---- documents and the view

namespace {

Reference<css::frame::XController> controllerOf(const Reference<css::text::XTextDocument>& document) {
    Reference<css::frame::XModel> model(document, UNO_QUERY_THROW);
    Reference<css::frame::XController> controller = model->getCurrentController();
    if (!controller.is()) refuse();
    return controller;
}

OUString implementationOf(const Reference<css::uno::XInterface>& object) {
    Reference<css::lang::XServiceInfo> info(object, UNO_QUERY);
    return info.is() ? info->getImplementationName() : OUString();
}

}  // namespace

Reference<css::text::XTextViewCursor> viewCursor(const Reference<css::text::XTextDocument>& document) {
    Reference<css::text::XTextViewCursorSupplier> supplier(controllerOf(document), UNO_QUERY_THROW);
    Reference<css::text::XTextViewCursor> cursor = supplier->getViewCursor();
    if (!cursor.is()) refuse();
    return cursor;
}

void selectInView(const Reference<css::text::XTextDocument>& document, const css::uno::Any& what) {
    Reference<css::view::XSelectionSupplier> supplier(controllerOf(document), UNO_QUERY_THROW);
    if (!supplier->select(what)) refuse();
}

void dispatchCommand(Office& office, const Reference<css::text::XTextDocument>& document, const OUString& command) {
    Reference<css::frame::XDispatchProvider> frame(controllerOf(document)->getFrame(), UNO_QUERY_THROW);
    Reference<css::frame::XDispatchHelper> helper = css::frame::DispatchHelper::create(office.context());
    helper->executeDispatch(frame, command, OUString(), 0, {});
}

Reference<css::text::XTextCursor> cursorOver(const Reference<css::text::XTextRange>& range) {
    Reference<css::text::XText> text = range->getText();
    if (!text.is()) refuse();
    Reference<css::text::XTextCursor> cursor = text->createTextCursorByRange(range);
    if (!cursor.is()) refuse();
    return cursor;
}

namespace {

Reference<css::text::XTextTable> tableOf(const Reference<css::text::XTextRange>& range) {
    Reference<css::beans::XPropertySet> properties(range, UNO_QUERY);
    Reference<css::text::XTextTable> table;
    if (properties.is()) properties->getPropertyValue("TextTable") >>= table;
    return table;
}

}  // namespace

bool inMainText(const Reference<css::text::XTextDocument>& document, const Reference<css::text::XTextRange>& range) {
    Reference<css::text::XTextRange> at = range;
    for (int depth = 0; depth < 8 && at.is(); ++depth) {
        const OUString kind = implementationOf(at->getText());
        if (kind == "SwXBodyText") return true;
        if (kind != "SwXCell") return false;
        Reference<css::text::XTextTable> table = tableOf(at);
        if (!table.is()) return false;
        at = table->getAnchor();
        if (!at.is()) return false;
        // A table's anchor does not name its text; the body knows its own ranges.
        Reference<css::text::XText> body = document->getText();
        Reference<css::text::XTextRangeCompare> compare(body, UNO_QUERY_THROW);
        try {
            compare->compareRegionStarts(at, body->getStart());
            return true;
        } catch (const css::lang::IllegalArgumentException&) {
        }
    }
    return false;
}

namespace {

OUString tableName(const Reference<css::text::XTextTable>& table) {
    Reference<css::container::XNamed> named(table, UNO_QUERY);
    return named.is() ? named->getName() : OUString();
}

sal_Int32 wordLength(const OUString& officeText) { return officeTextToWord(officeText).getLength(); }

}  // namespace

// Walks the body in order, counting paragraphs with their marks and table cells
// with their end marks, as Word numbers the main story.
std::int32_t mainTextOffset(const Reference<css::text::XTextDocument>& document,
                            const Reference<css::text::XTextRange>& position) {
    Reference<css::text::XText> body = document->getText();
    Reference<css::text::XTextRange> at = position->getStart();
    const OUString kind = implementationOf(at->getText());
    Reference<css::text::XTextTable> inTable;
    OUString cellName;
    if (kind == "SwXCell") {
        inTable = tableOf(at);
        Reference<css::beans::XPropertySet> properties(at, UNO_QUERY_THROW);
        Reference<css::beans::XPropertySet> cell;
        properties->getPropertyValue("Cell") >>= cell;
        if (!inTable.is() || !cell.is()) refuse();
        cell->getPropertyValue("CellName") >>= cellName;
    } else if (kind != "SwXBodyText") {
        refuse();
    }
    const OUString wantedTable = inTable.is() ? tableName(inTable) : OUString();
    Reference<css::text::XTextRangeCompare> compare(body, UNO_QUERY_THROW);
    Reference<css::container::XEnumerationAccess> access(body, UNO_QUERY_THROW);
    Reference<css::container::XEnumeration> parts = access->createEnumeration();
    std::int32_t offset = 0;
    while (parts->hasMoreElements()) {
        const css::uno::Any part = parts->nextElement();
        Reference<css::text::XTextTable> table(part, UNO_QUERY);
        if (table.is()) {
            const bool here = inTable.is() && tableName(table) == wantedTable;
            for (const OUString& name : table->getCellNames()) {
                Reference<css::text::XText> text(table->getCellByName(name), UNO_QUERY);
                if (here && name == cellName) {
                    Reference<css::text::XTextCursor> cursor = text->createTextCursor();
                    cursor->gotoStart(false);
                    cursor->gotoRange(at, true);
                    return offset + wordLength(cursor->getString());
                }
                if (text.is()) offset += wordLength(text->getString()) + 1;
            }
            offset += table->getRows()->getCount();
            continue;
        }
        Reference<css::text::XTextRange> paragraph(part, UNO_QUERY);
        if (!paragraph.is()) continue;
        if (!inTable.is() && compare->compareRegionStarts(at, paragraph->getEnd()) >= 0) {
            Reference<css::text::XTextCursor> cursor = body->createTextCursorByRange(paragraph->getStart());
            cursor->gotoRange(at, true);
            return offset + wordLength(cursor->getString());
        }
        offset += wordLength(paragraph->getString()) + 1;
    }
    return offset;
}

void writeText(const Reference<css::text::XTextCursor>& cursor, const OUString& wordText) {
    Reference<css::text::XText> text = cursor->getText();
    const OUString officeText = wordTextToOffice(wordText);
    text->insertString(Reference<css::text::XTextRange>(cursor.get()), officeText, true);
    // Leave the cursor over the new text, as Word leaves a range after writing
    // its Text: back from the end by as many characters (a paragraph break is one).
    cursor->collapseToEnd();
    sal_Int32 back = officeText.getLength();
    while (back > 0) {
        const auto step = static_cast<sal_Int16>(std::min<sal_Int32>(back, 32000));
        if (!cursor->goLeft(step, true)) break;
        back -= step;
    }
}

std::int32_t pointsToHundredthMillimetres(double points) {
    return static_cast<std::int32_t>(std::lround(points * 2540.0 / 72.0));
}

double hundredthMillimetresToPoints(std::int32_t value) { return static_cast<double>(value) * 72.0 / 2540.0; }

// Word keeps colours as 0x00BBGGRR, the office as 0x00RRGGBB; Word's automatic
// colour is the office's automatic colour.
std::int32_t wordColorToOffice(std::int32_t color) {
    if (color < 0) return -1;
    const auto c = static_cast<std::uint32_t>(color);
    return static_cast<std::int32_t>(((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu));
}

std::int32_t officeColorToWord(std::int32_t color) {
    if (color < 0) return -16777216;
    return wordColorToOffice(color);
}

}  // namespace rulecore::word::uno
