#include <com/sun/star/awt/Point.hpp>
#include <com/sun/star/awt/Size.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/drawing/PointSequenceSequence.hpp>
#include <com/sun/star/drawing/XDrawPageSupplier.hpp>
#include <com/sun/star/drawing/XShape.hpp>
#include <com/sun/star/drawing/XShapes.hpp>
#include <com/sun/star/graphic/GraphicProvider.hpp>
#include <com/sun/star/graphic/XGraphic.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/text/TextContentAnchorType.hpp>
#include <com/sun/star/text/VertOrientation.hpp>
#include <com/sun/star/text/XBookmarksSupplier.hpp>
#include <com/sun/star/text/XTextColumns.hpp>
#include <com/sun/star/text/XTextContent.hpp>
#include <com/sun/star/text/XTextGraphicObjectsSupplier.hpp>
#include <com/sun/star/text/XTextTableCursor.hpp>
#include <com/sun/star/text/XTextTablesSupplier.hpp>
#include <osl/file.hxx>

#include "rulecore/word/uno/uno_model.h"

namespace rulecore::word::uno {

namespace {

using css::uno::Any;

// Cell names run A1, B1, ..., A2: letters for the column, digits for the row.
struct CellPlace {
    OUString column;
    OUString row;
};

CellPlace placeOf(const OUString& name) {
    sal_Int32 digits = 0;
    while (digits < name.getLength() && !(name[digits] >= '0' && name[digits] <= '9')) ++digits;
    return {name.copy(0, digits), name.copy(digits)};
}

std::vector<OUString> cellsWhere(const Reference<css::text::XTextTable>& table, bool row, const OUString& key) {
    std::vector<OUString> out;
    for (const OUString& name : table->getCellNames()) {
        const CellPlace place = placeOf(name);
        if ((row ? place.row : place.column) == key) out.push_back(name);
    }
    return out;
}

// Rows and columns are counted from 1, in the order of the cell names.
std::vector<OUString> lineKeys(const Reference<css::text::XTextTable>& table, bool row) {
    std::vector<OUString> keys;
    for (const OUString& name : table->getCellNames()) {
        const CellPlace place = placeOf(name);
        const OUString& key = row ? place.row : place.column;
        if (std::find(keys.begin(), keys.end(), key) == keys.end()) keys.push_back(key);
    }
    return keys;
}

void selectCells(Office& office, const Reference<css::text::XTextDocument>& document,
                 const Reference<css::text::XTextTable>& table, std::vector<OUString> cells) {
    if (cells.empty()) refuse();
    Reference<css::text::XTextTableCursor> span = table->createCursorByCellName(cells.front());
    if (!span.is()) refuse();
    span->gotoCellByName(cells.back(), true);
    selectInView(document, Any(span));
    office.tableSelection = {table, std::move(cells)};
}

TextSpan wholeText(const Reference<css::text::XTextDocument>& document, const Reference<css::text::XText>& text) {
    Reference<css::text::XTextCursor> cursor = text->createTextCursor();
    cursor->gotoStart(false);
    cursor->gotoEnd(true);
    return {document, cursor};
}

class TableObject {
public:
    TableObject(Reference<css::text::XTextDocument> document, Reference<css::text::XTextTable> table)
        : document_(std::move(document)), table_(std::move(table)) {}

protected:
    Reference<css::text::XTextDocument> document_;
    Reference<css::text::XTextTable> table_;
};

// ---- Cell

class Cell final : public Model<Cell>, TableObject {
public:
    Cell(OfficePtr office, Reference<css::text::XTextDocument> document, Reference<css::text::XTextTable> table,
         OUString name)
        : Model(std::move(office)), TableObject(std::move(document), std::move(table)), name_(std::move(name)) {}
    static std::span<const Member<Cell>> members() {
        using K = MemberKind;
        static const Member<Cell> members[] = {
            {"Range", K::Get, [](Cell& c, Args&) { return makeRange(c.officePtr(), wholeText(c.document_, c.text())); }},
            {"Select", K::Method,
             [](Cell& c, Args&) {
                 selectCells(c.office(), c.document_, c.table_, {c.name_});
                 return nothing();
             }},
            {"VerticalAlignment", K::Put,
             [](Cell& c, Args& a) {
                 Reference<css::beans::XPropertySet> p(c.table_->getCellByName(c.name_), UNO_QUERY_THROW);
                 p->setPropertyValue("VertOrient", Any(verticalOrientation(integerOf(a.assigned()))));
                 return nothing();
             }},
        };
        return members;
    }

    // Word's cell alignments: top 0, centre 1, bottom 3.
    static sal_Int16 verticalOrientation(std::int32_t word) {
        switch (word) {
            case 0: return css::text::VertOrientation::TOP;
            case 1: return css::text::VertOrientation::CENTER;
            case 3: return css::text::VertOrientation::BOTTOM;
            default: refuse();
        }
    }

private:
    Reference<css::text::XText> text() {
        Reference<css::text::XText> t(table_->getCellByName(name_), UNO_QUERY);
        if (!t.is()) refuse();
        return t;
    }
    OUString name_;
};

// The cells of the selection: those our last table selection covers, else the
// cell the selection is in.
class Cells final : public Model<Cells> {
public:
    Cells(OfficePtr office, Reference<css::text::XTextDocument> document)
        : Model(std::move(office)), document_(std::move(document)) {}
    static std::span<const Member<Cells>> members() {
        using K = MemberKind;
        static const Member<Cells> members[] = {
            {"VerticalAlignment", K::Put,
             [](Cells& c, Args& a) {
                 const sal_Int16 orientation = Cell::verticalOrientation(integerOf(a.assigned()));
                 for (const auto& cell : c.cells()) cell->setPropertyValue("VertOrient", Any(orientation));
                 return nothing();
             }},
            {"Count", K::Get, [](Cells& c, Args&) { return integerValue(static_cast<std::int32_t>(c.cells().size())); }},
        };
        return members;
    }

private:
    PropertyTargets cells() {
        PropertyTargets out;
        const Office::TableSelection& chosen = office().tableSelection;
        if (chosen.table.is()) {
            for (const OUString& name : chosen.cells) out.emplace_back(chosen.table->getCellByName(name), UNO_QUERY);
            return out;
        }
        Reference<css::beans::XPropertySet> view(viewCursor(document_), UNO_QUERY_THROW);
        Reference<css::beans::XPropertySet> cell;
        view->getPropertyValue("Cell") >>= cell;
        if (!cell.is()) refuse();
        out.push_back(cell);
        return out;
    }
    Reference<css::text::XTextDocument> document_;
};

// ---- Rows and Columns

class Line final : public Model<Line>, TableObject {
public:
    Line(OfficePtr office, Reference<css::text::XTextDocument> document, Reference<css::text::XTextTable> table,
         bool row, OUString key)
        : Model(std::move(office)), TableObject(std::move(document), std::move(table)), row_(row), key_(std::move(key)) {}
    static std::span<const Member<Line>> members() {
        using K = MemberKind;
        static const Member<Line> members[] = {
            {"Select", K::Method,
             [](Line& l, Args&) {
                 selectCells(l.office(), l.document_, l.table_, cellsWhere(l.table_, l.row_, l.key_));
                 return nothing();
             }},
        };
        return members;
    }

private:
    bool row_;
    OUString key_;
};

class Lines final : public Model<Lines>, TableObject {
public:
    Lines(OfficePtr office, Reference<css::text::XTextDocument> document, Reference<css::text::XTextTable> table,
          bool rows)
        : Model(std::move(office)), TableObject(std::move(document), std::move(table)), rows_(rows) {}
    static std::span<const Member<Lines>> members() {
        using K = MemberKind;
        static const Member<Lines> members[] = {
            {"Count", K::Get,
             [](Lines& l, Args&) {
                 return integerValue(l.rows_ ? l.table_->getRows()->getCount() : l.table_->getColumns()->getCount());
             }},
            {"Item", K::Method,
             [](Lines& l, Args& a) {
                 const std::int32_t index = a.integer(0);
                 const std::vector<OUString> keys = lineKeys(l.table_, l.rows_);
                 if (index < 1 || static_cast<std::size_t>(index) > keys.size()) refuse();
                 return objectValue(new Line(l.officePtr(), l.document_, l.table_, l.rows_,
                                             keys[static_cast<std::size_t>(index - 1)]));
             }},
            {"Add", K::Method,
             [](Lines& l, Args&) {
                 if (l.rows_) {
                     auto rows = l.table_->getRows();
                     rows->insertByIndex(rows->getCount(), 1);
                 } else {
                     auto columns = l.table_->getColumns();
                     columns->insertByIndex(columns->getCount(), 1);
                 }
                 return nothing();
             }},
        };
        return members;
    }

private:
    bool rows_;
};

// ---- Table

class Table final : public Model<Table>, TableObject {
public:
    Table(OfficePtr office, Reference<css::text::XTextDocument> document, Reference<css::text::XTextTable> table)
        : Model(std::move(office)), TableObject(std::move(document), std::move(table)) {}
    static std::span<const Member<Table>> members();

private:
    AutomationValue cell(Args& a) {
        const std::int32_t row = a.integer(0);
        const std::int32_t column = a.integer(1);
        const std::vector<OUString> rows = lineKeys(table_, true);
        if (row < 1 || static_cast<std::size_t>(row) > rows.size()) refuse();
        const std::vector<OUString> cells = cellsWhere(table_, true, rows[static_cast<std::size_t>(row - 1)]);
        if (column < 1 || static_cast<std::size_t>(column) > cells.size()) refuse();
        return objectValue(new Cell(officePtr(), document_, table_, cells[static_cast<std::size_t>(column - 1)]));
    }

    AutomationValue setStyle(Args& a) {
        // Only a table style the document has; Word's built-in names are not the office's.
        OUString name;
        OUString family;
        if (!styleName(a.assigned(), name, family)) refuse();
        Reference<css::style::XStyleFamiliesSupplier> supplier(document_, UNO_QUERY_THROW);
        Reference<css::container::XNameAccess> all = supplier->getStyleFamilies();
        if (!all->hasByName("TableStyles")) refuse();
        Reference<css::container::XNameAccess> styles(all->getByName("TableStyles"), UNO_QUERY_THROW);
        if (!styles->hasByName(name)) refuse();
        Reference<css::beans::XPropertySet> p(table_, UNO_QUERY_THROW);
        p->setPropertyValue("TableTemplateName", Any(name));
        return nothing();
    }

    // Word's AutoFitBehavior: fixed 0, to the content 1, to the window 2.
    AutomationValue autoFit(Args& a) {
        const std::int32_t behaviour = a.integer(0);
        Reference<css::beans::XPropertySet> p(table_, UNO_QUERY_THROW);
        if (behaviour == 2) {
            p->setPropertyValue("HoriOrient", Any(sal_Int16(2 /* FULL */)));
        } else if (behaviour == 1) {
            const auto names = table_->getCellNames();
            if (!names.hasElements()) refuse();
            selectCells(office(), document_, table_, {names[0], names[names.getLength() - 1]});
            dispatchCommand(office(), document_, ".uno:SetOptimalColumnWidth");
        } else if (behaviour != 0) {
            refuse();
        }
        return nothing();
    }
};

std::span<const Member<Table>> Table::members() {
    using K = MemberKind;
    static const Member<Table> members[] = {
        {"Cell", K::Method, [](Table& t, Args& a) { return t.cell(a); }},
        {"Select", K::Method,
         [](Table& t, Args&) {
             const auto names = t.table_->getCellNames();
             selectCells(t.office(), t.document_, t.table_,
                         std::vector<OUString>(names.begin(), names.end()));
             return nothing();
         }},
        {"Range", K::Get,
         [](Table& t, Args&) {
             // The table's own anchor is no place a cursor can take; its first cell is.
             const auto names = t.table_->getCellNames();
             if (!names.hasElements()) refuse();
             Reference<css::text::XText> first(t.table_->getCellByName(names[0]), UNO_QUERY_THROW);
             return makeRange(t.officePtr(), {t.document_, cursorOver(first->getStart())}, t.table_);
         }},
        {"Rows", K::Get, [](Table& t, Args&) { return objectValue(new Lines(t.officePtr(), t.document_, t.table_, true)); }},
        {"Columns", K::Get,
         [](Table& t, Args&) { return objectValue(new Lines(t.officePtr(), t.document_, t.table_, false)); }},
        {"Style", K::Put, [](Table& t, Args& a) { return t.setStyle(a); }},
        {"AutoFitBehavior", K::Method, [](Table& t, Args& a) { return t.autoFit(a); }},
    };
    return members;
}

// ---- Tables

class Tables final : public Model<Tables> {
public:
    Tables(OfficePtr office, Reference<css::text::XTextDocument> document, std::vector<Reference<css::text::XTextTable>> only,
           bool limited)
        : Model(std::move(office)), document_(std::move(document)), only_(std::move(only)), limited_(limited) {}
    static std::span<const Member<Tables>> members();

private:
    std::vector<Reference<css::text::XTextTable>> all() {
        if (limited_) return only_;
        Reference<css::text::XTextTablesSupplier> supplier(document_, UNO_QUERY_THROW);
        Reference<css::container::XIndexAccess> tables(supplier->getTextTables(), UNO_QUERY_THROW);
        std::vector<Reference<css::text::XTextTable>> out;
        for (sal_Int32 i = 0; i < tables->getCount(); ++i) out.emplace_back(tables->getByIndex(i), UNO_QUERY);
        return out;
    }

    AutomationValue add(Args& a) {
        const std::int32_t rows = a.integer(1);
        const std::int32_t columns = a.integer(2);
        if (rows < 1 || columns < 1 || rows > 32767 || columns > 63) refuse();
        Reference<css::text::XTextRange> at = anchorOf(a.value(0));
        Reference<css::lang::XMultiServiceFactory> factory(document_, UNO_QUERY_THROW);
        Reference<css::text::XTextTable> table(factory->createInstance("com.sun.star.text.TextTable"), UNO_QUERY_THROW);
        table->initialize(rows, columns);
        at->getText()->insertTextContent(at, Reference<css::text::XTextContent>(table.get()), true);
        return makeTable(officePtr(), document_, table);
    }

    static Reference<css::text::XTextRange> anchorOf(AutomationValue& range);

    Reference<css::text::XTextDocument> document_;
    std::vector<Reference<css::text::XTextTable>> only_;
    bool limited_;
};

Reference<css::text::XTextRange> Tables::anchorOf(AutomationValue& range) {
    auto* object = objectArgument<ModelObject>(range);
    if (!object) refuse();
    return object->textRange();
}

std::span<const Member<Tables>> Tables::members() {
    using K = MemberKind;
    static const Member<Tables> members[] = {
        {"Count", K::Get, [](Tables& t, Args&) { return integerValue(static_cast<std::int32_t>(t.all().size())); }},
        {"Item", K::Method,
         [](Tables& t, Args& a) {
             const std::int32_t index = a.integer(0);
             const auto tables = t.all();
             if (index < 1 || static_cast<std::size_t>(index) > tables.size()) refuse();
             return makeTable(t.officePtr(), t.document_, tables[static_cast<std::size_t>(index - 1)]);
         }},
        {"Add", K::Method, [](Tables& t, Args& a) { return t.add(a); }},
    };
    return members;
}

// ---- Bookmarks

class Bookmark final : public Model<Bookmark> {
public:
    Bookmark(OfficePtr office, Reference<css::text::XTextDocument> document, Reference<css::text::XTextContent> mark)
        : Model(std::move(office)), document_(std::move(document)), mark_(std::move(mark)) {}
    static std::span<const Member<Bookmark>> members() {
        using K = MemberKind;
        static const Member<Bookmark> members[] = {
            {"Select", K::Method,
             [](Bookmark& b, Args&) {
                 Reference<css::text::XTextRange> anchor = b.mark_->getAnchor();
                 Reference<css::text::XTextViewCursor> view = viewCursor(b.document_);
                 view->gotoRange(anchor->getStart(), false);
                 view->gotoRange(anchor->getEnd(), true);
                 b.office().tableSelection = {};
                 return nothing();
             }},
            {"Range", K::Get,
             [](Bookmark& b, Args&) { return makeRange(b.officePtr(), {b.document_, cursorOver(b.mark_->getAnchor())}); }},
            {"Name", K::Get,
             [](Bookmark& b, Args&) {
                 Reference<css::container::XNamed> named(b.mark_, UNO_QUERY_THROW);
                 return textValue(named->getName());
             }},
        };
        return members;
    }

private:
    Reference<css::text::XTextDocument> document_;
    Reference<css::text::XTextContent> mark_;
};

class Bookmarks final : public Model<Bookmarks> {
public:
    Bookmarks(OfficePtr office, Reference<css::text::XTextDocument> document)
        : Model(std::move(office)), document_(std::move(document)) {}
    static std::span<const Member<Bookmarks>> members() {
        using K = MemberKind;
        static const Member<Bookmarks> members[] = {
            {"Exists", K::Method, [](Bookmarks& b, Args& a) { return booleanValue(!b.named(a.text(0)).isEmpty()); }},
            {"Item", K::Method, [](Bookmarks& b, Args& a) { return b.item(a); }},
            {"Count", K::Get,
             [](Bookmarks& b, Args&) { return integerValue(b.marks()->getElementNames().getLength()); }},
        };
        return members;
    }

private:
    Reference<css::container::XNameAccess> marks() {
        Reference<css::text::XBookmarksSupplier> supplier(document_, UNO_QUERY_THROW);
        return supplier->getBookmarks();
    }

    // Word's bookmark names do not tell case apart.
    OUString named(const OUString& wanted) {
        Reference<css::container::XNameAccess> all = marks();
        if (wanted.isEmpty()) return {};
        if (all->hasByName(wanted)) return wanted;
        for (const OUString& name : all->getElementNames()) {
            if (name.equalsIgnoreAsciiCase(wanted)) return name;
        }
        return {};
    }

    AutomationValue item(Args& a) {
        Reference<css::container::XNameAccess> all = marks();
        Reference<css::text::XTextContent> mark;
        const AutomationValue& key = a.value(0);
        if (key.kind == ValueKind::Integer || key.kind == ValueKind::Double) {
            Reference<css::container::XIndexAccess> indexed(all, UNO_QUERY_THROW);
            const std::int32_t index = integerOf(key);
            if (index < 1 || index > indexed->getCount()) refuse();
            indexed->getByIndex(index - 1) >>= mark;
        } else {
            const OUString name = named(a.text(0));
            if (name.isEmpty()) refuse();
            all->getByName(name) >>= mark;
        }
        if (!mark.is()) refuse();
        return objectValue(new Bookmark(officePtr(), document_, mark));
    }

    Reference<css::text::XTextDocument> document_;
};

// ---- PageSetup and TextColumns

Reference<css::beans::XPropertySet> pageStyleOf(const Reference<css::text::XTextDocument>& document) {
    Reference<css::beans::XPropertySet> start(document->getText()->createTextCursor(), UNO_QUERY_THROW);
    OUString name;
    start->getPropertyValue("PageStyleName") >>= name;
    Reference<css::style::XStyleFamiliesSupplier> supplier(document, UNO_QUERY_THROW);
    Reference<css::container::XNameAccess> pages(supplier->getStyleFamilies()->getByName("PageStyles"), UNO_QUERY_THROW);
    return Reference<css::beans::XPropertySet>(pages->getByName(name.isEmpty() ? OUString("Standard") : name),
                                               UNO_QUERY_THROW);
}

class TextColumns final : public Model<TextColumns> {
public:
    TextColumns(OfficePtr office, Reference<css::text::XTextDocument> document)
        : Model(std::move(office)), document_(std::move(document)) {}
    static std::span<const Member<TextColumns>> members();

private:
    template <class Change>
    void change(Change apply) {
        Reference<css::beans::XPropertySet> page = pageStyleOf(document_);
        Reference<css::text::XTextColumns> columns(page->getPropertyValue("TextColumns"), UNO_QUERY_THROW);
        apply(columns, Reference<css::beans::XPropertySet>(columns, UNO_QUERY_THROW));
        page->setPropertyValue("TextColumns", Any(columns));
    }
    Any read(const char* name) {
        Reference<css::beans::XPropertySet> columns(pageStyleOf(document_)->getPropertyValue("TextColumns"),
                                                    UNO_QUERY_THROW);
        return columns->getPropertyValue(OUString::createFromAscii(name));
    }
    Reference<css::text::XTextDocument> document_;
};

std::span<const Member<TextColumns>> TextColumns::members() {
    using K = MemberKind;
    using Columns = Reference<css::text::XTextColumns>;
    using Properties = Reference<css::beans::XPropertySet>;
    static const Member<TextColumns> members[] = {
        {"SetCount", K::Method,
         [](TextColumns& t, Args& a) {
             const std::int32_t count = a.integer(0);
             if (count < 1 || count > 45) refuse();
             t.change([&](const Columns& c, const Properties&) { c->setColumnCount(static_cast<sal_Int16>(count)); });
             return nothing();
         }},
        {"Count", K::Get,
         [](TextColumns& t, Args&) {
             Columns columns(pageStyleOf(t.document_)->getPropertyValue("TextColumns"), UNO_QUERY_THROW);
             return integerValue(columns->getColumnCount());
         }},
        {"EvenlySpaced", K::Get,
         [](TextColumns& t, Args&) {
             bool automatic = true;
             t.read("IsAutomatic") >>= automatic;
             return booleanValue(automatic);
         }},
        {"EvenlySpaced", K::Put,
         [](TextColumns& t, Args& a) {
             // Even spacing is the office's automatic widths; uneven widths stay as
             // they are until set one by one.
             if (booleanOf(a.assigned())) {
                 t.change([](const Columns& c, const Properties&) { c->setColumnCount(c->getColumnCount()); });
             }
             return nothing();
         }},
        {"LineBetween", K::Get,
         [](TextColumns& t, Args&) {
             bool on = false;
             t.read("SeparatorLineIsOn") >>= on;
             return booleanValue(on);
         }},
        {"LineBetween", K::Put,
         [](TextColumns& t, Args& a) {
             const bool on = booleanOf(a.assigned());
             t.change([&](const Columns&, const Properties& p) { p->setPropertyValue("SeparatorLineIsOn", Any(on)); });
             return nothing();
         }},
        {"Spacing", K::Get,
         [](TextColumns& t, Args&) {
             sal_Int32 distance = 0;
             t.read("AutomaticDistance") >>= distance;
             return numberValue(hundredthMillimetresToPoints(distance));
         }},
        {"Spacing", K::Put,
         [](TextColumns& t, Args& a) {
             const AutomationValue& v = a.assigned();
             const double points = v.kind == ValueKind::Double ? v.number : integerOf(v);
             if (points < 0 || points > 1584) refuse();
             t.change([&](const Columns&, const Properties& p) {
                 p->setPropertyValue("AutomaticDistance", Any(sal_Int32(pointsToHundredthMillimetres(points))));
             });
             return nothing();
         }},
    };
    return members;
}

class PageSetup final : public Model<PageSetup> {
public:
    PageSetup(OfficePtr office, Reference<css::text::XTextDocument> document)
        : Model(std::move(office)), document_(std::move(document)) {}
    static std::span<const Member<PageSetup>> members() {
        using K = MemberKind;
        static const Member<PageSetup> members[] = {
            {"TextColumns", K::Get,
             [](PageSetup& p, Args&) { return objectValue(new TextColumns(p.officePtr(), p.document_)); }},
        };
        return members;
    }

private:
    Reference<css::text::XTextDocument> document_;
};

// ---- InlineShapes and Shapes

class InlineShapes final : public Model<InlineShapes> {
public:
    InlineShapes(OfficePtr office, Reference<css::text::XTextDocument> document, Reference<css::text::XTextRange> at)
        : Model(std::move(office)), document_(std::move(document)), at_(std::move(at)) {}
    static std::span<const Member<InlineShapes>> members() {
        using K = MemberKind;
        static const Member<InlineShapes> members[] = {
            {"AddPicture", K::Method, [](InlineShapes& s, Args& a) { return s.addPicture(a); }},
            {"Count", K::Get,
             [](InlineShapes& s, Args&) {
                 Reference<css::text::XTextGraphicObjectsSupplier> supplier(s.document_, UNO_QUERY_THROW);
                 Reference<css::container::XIndexAccess> all(supplier->getGraphicObjects(), UNO_QUERY_THROW);
                 return integerValue(all->getCount());
             }},
        };
        return members;
    }

private:
    AutomationValue addPicture(Args& a) {
        const OUString path = a.text(0);
        const OUString url = fileUrl(path);
        osl::DirectoryItem item;
        if (osl::DirectoryItem::get(url, item) != osl::FileBase::E_None) refuse();
        // Embedded, not linked, as Word's default: the graphic is read now.
        Reference<css::graphic::XGraphicProvider> provider = css::graphic::GraphicProvider::create(office().context());
        css::beans::PropertyValue source;
        source.Name = "URL";
        source.Value <<= url;
        Reference<css::graphic::XGraphic> graphic = provider->queryGraphic(sequenceOf({source}));
        if (!graphic.is()) refuse();
        Reference<css::beans::XPropertySet> graphicProperties(graphic, UNO_QUERY_THROW);
        css::awt::Size size;
        graphicProperties->getPropertyValue("Size100thMM") >>= size;
        if (size.Width <= 0 || size.Height <= 0) {
            css::awt::Size pixels;
            graphicProperties->getPropertyValue("SizePixel") >>= pixels;
            size.Width = pixels.Width * 2540 / 96;
            size.Height = pixels.Height * 2540 / 96;
        }
        Reference<css::lang::XMultiServiceFactory> factory(document_, UNO_QUERY_THROW);
        Reference<css::text::XTextContent> picture(factory->createInstance("com.sun.star.text.TextGraphicObject"),
                                                   UNO_QUERY_THROW);
        Reference<css::beans::XPropertySet> p(picture, UNO_QUERY_THROW);
        p->setPropertyValue("Graphic", Any(graphic));
        p->setPropertyValue("AnchorType", Any(css::text::TextContentAnchorType_AS_CHARACTER));
        if (size.Width > 0 && size.Height > 0) p->setPropertyValue("Size", Any(size));
        Reference<css::text::XTextRange> at = at_.is() ? at_ : viewCursor(document_).get();
        at->getText()->insertTextContent(at, picture, false);
        return nothing();
    }

    Reference<css::text::XTextDocument> document_;
    Reference<css::text::XTextRange> at_;
};

class Shapes final : public Model<Shapes> {
public:
    Shapes(OfficePtr office, Reference<css::text::XTextDocument> document)
        : Model(std::move(office)), document_(std::move(document)) {}
    static std::span<const Member<Shapes>> members() {
        using K = MemberKind;
        static const Member<Shapes> members[] = {
            {"AddLine", K::Method, [](Shapes& s, Args& a) { return s.addLine(a); }},
            {"Count", K::Get, [](Shapes& s, Args&) { return integerValue(s.page()->getCount()); }},
        };
        return members;
    }

private:
    Reference<css::drawing::XShapes> page() {
        Reference<css::drawing::XDrawPageSupplier> supplier(document_, UNO_QUERY_THROW);
        // A text document has exactly one draw page; this is its only way in.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        return Reference<css::drawing::XShapes>(supplier->getDrawPage(), UNO_QUERY_THROW);
#pragma GCC diagnostic pop
    }

    // Word's points from the page's corner; the office's hundredths of a millimetre.
    AutomationValue addLine(Args& a) {
        const css::awt::Point from{pointsToHundredthMillimetres(a.number(0)), pointsToHundredthMillimetres(a.number(1))};
        const css::awt::Point to{pointsToHundredthMillimetres(a.number(2)), pointsToHundredthMillimetres(a.number(3))};
        Reference<css::lang::XMultiServiceFactory> factory(document_, UNO_QUERY_THROW);
        Reference<css::drawing::XShape> line(factory->createInstance("com.sun.star.drawing.LineShape"), UNO_QUERY_THROW);
        Reference<css::beans::XPropertySet> p(line, UNO_QUERY_THROW);
        p->setPropertyValue("AnchorType", Any(css::text::TextContentAnchorType_AT_PARAGRAPH));
        page()->add(line);
        p->setPropertyValue("HoriOrientRelation", Any(sal_Int16(7 /* PAGE_FRAME */)));
        p->setPropertyValue("VertOrientRelation", Any(sal_Int16(7 /* PAGE_FRAME */)));
        const css::drawing::PointSequenceSequence points = sequenceOf({sequenceOf({from, to})});
        p->setPropertyValue("PolyPolygon", Any(points));
        return nothing();
    }

    Reference<css::text::XTextDocument> document_;
};

}  // namespace

AutomationValue makeTables(const OfficePtr& office, const Reference<css::text::XTextDocument>& document,
                           const Reference<css::text::XTextTable>& only) {
    return objectValue(new Tables(office, document, only.is() ? std::vector{only} : std::vector<Reference<css::text::XTextTable>>{},
                                  only.is()));
}

AutomationValue makeTable(const OfficePtr& office, const Reference<css::text::XTextDocument>& document,
                          const Reference<css::text::XTextTable>& table) {
    return objectValue(new Table(office, document, table));
}

AutomationValue makeCells(const OfficePtr& office, const Reference<css::text::XTextDocument>& document) {
    return objectValue(new Cells(office, document));
}

AutomationValue makeBookmarks(const OfficePtr& office, const Reference<css::text::XTextDocument>& document) {
    return objectValue(new Bookmarks(office, document));
}

AutomationValue makePageSetup(const OfficePtr& office, const Reference<css::text::XTextDocument>& document) {
    return objectValue(new PageSetup(office, document));
}

AutomationValue makeInlineShapes(const OfficePtr& office, const Reference<css::text::XTextDocument>& document,
                                 const Reference<css::text::XTextRange>& at) {
    return objectValue(new InlineShapes(office, document, at));
}

AutomationValue makeShapes(const OfficePtr& office, const Reference<css::text::XTextDocument>& document) {
    return objectValue(new Shapes(office, document));
}

}  // namespace rulecore::word::uno
