#include <filesystem>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/document/XUndoManager.hpp>
#include <com/sun/star/document/XUndoManagerSupplier.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XModifiable.hpp>
#include <com/sun/star/view/XPrintable.hpp>
#include <osl/file.hxx>

#include "rulecore/word/uno/uno_model.h"

namespace rulecore::word::uno {

namespace {

using css::uno::Any;

css::beans::PropertyValue property(const char* name, const Any& value) {
    css::beans::PropertyValue p;
    p.Name = OUString::createFromAscii(name);
    p.Value = value;
    return p;
}

std::string systemPathOf(const OUString& path) {
    const rtl::OString utf8 = rtl::OUStringToOString(path, RTL_TEXTENCODING_UTF8);
    return std::string(utf8.getStr(), static_cast<std::size_t>(utf8.getLength()));
}

// The office's filter for a file name, chosen by its extension as Word chooses
// the format of a SaveAs without FileFormat. Export filters must be stored with
// storeToURL.
struct SaveFormat {
    OUString filter;
    bool exportOnly = false;
};

SaveFormat formatFor(const OUString& path) {
    const OUString lower = path.toAsciiLowerCase();
    if (lower.endsWith(".docx")) return {"MS Word 2007 XML"};
    if (lower.endsWith(".odt")) return {"writer8"};
    if (lower.endsWith(".pdf")) return {"writer_pdf_Export", true};
    if (lower.endsWith(".rtf")) return {"Rich Text Format"};
    if (lower.endsWith(".txt")) return {"Text"};
    if (lower.endsWith(".htm") || lower.endsWith(".html")) return {"HTML (StarWriter)"};
    return {"MS Word 97"};
}

void storeAs(const Reference<css::text::XTextDocument>& document, const OUString& path, const SaveFormat& format) {
    if (path.isEmpty()) refuse();
    // The office would make missing folders; Word refuses the name.
    std::error_code error;
    const std::filesystem::path local(systemPathOf(path));
    if (local.has_parent_path() && !std::filesystem::is_directory(local.parent_path(), error)) refuse();
    Reference<css::frame::XStorable> storable(document, UNO_QUERY_THROW);
    const auto arguments = sequenceOf<css::beans::PropertyValue>({
        property("FilterName", Any(format.filter)), property("Overwrite", Any(true))});
    if (format.exportOnly) {
        storable->storeToURL(fileUrl(path), arguments);
    } else {
        storable->storeAsURL(fileUrl(path), arguments);
    }
}

void printDocument(const Reference<css::text::XTextDocument>& document, const OUString& pages) {
    Reference<css::view::XPrintable> printable(document, UNO_QUERY_THROW);
    // Nothing prints where the office knows no printer.
    OUString printer;
    for (const css::beans::PropertyValue& p : printable->getPrinter()) {
        if (p.Name == "Name") p.Value >>= printer;
    }
    if (printer.isEmpty()) refuse();
    css::uno::Sequence<css::beans::PropertyValue> options = sequenceOf({property("Wait", Any(true))});
    if (!pages.isEmpty()) {
        options.realloc(2);
        options.getArray()[1] = property("Pages", Any(pages));
    }
    printable->print(options);
}

// ---- Document

class Document final : public Model<Document> {
public:
    Document(OfficePtr office, Reference<css::text::XTextDocument> document)
        : Model(std::move(office)), document_(std::move(document)) {}

    static std::span<const Member<Document>> members();

private:
    AutomationValue content() { return makeStoryRange(officePtr(), document_); }

    AutomationValue range(Args& args) {
        Reference<css::text::XText> body = document_->getText();
        Reference<css::text::XTextCursor> cursor = body->createTextCursor();
        cursor->gotoStart(false);
        const std::int32_t start = args.integer(0, 0);
        if (!args.given(0) && !args.given(1)) {
            cursor->gotoEnd(true);
            return makeRange(officePtr(), {document_, cursor});
        }
        if (start < 0) refuse();
        if (start > 0 && !cursor->goRight(static_cast<sal_Int16>(std::min(start, 32767)), false)) refuse();
        if (args.given(1)) {
            const std::int32_t end = args.integer(1);
            if (end < start) refuse();
            if (end > start) cursor->goRight(static_cast<sal_Int16>(std::min(end - start, 32767)), true);
        } else {
            cursor->gotoEnd(true);
        }
        return makeRange(officePtr(), {document_, cursor});
    }

    AutomationValue saveAs(Args& args) {
        const OUString path = args.text(0);
        storeAs(document_, path, formatFor(path));
        return nothing();
    }

    AutomationValue save() {
        Reference<css::frame::XStorable> storable(document_, UNO_QUERY_THROW);
        if (!storable->hasLocation() || storable->isReadonly()) refuse();
        storable->store();
        return nothing();
    }

    AutomationValue exportFixed(Args& args) {
        const OUString path = args.text(0);
        // Word's format 17 is PDF; the office cannot write its other fixed format.
        if (args.integer(1, 17) != 17) refuse();
        storeAs(document_, path, {"writer_pdf_Export", true});
        return nothing();
    }

    AutomationValue close(Args& args) {
        // SaveChanges: -1 saves first; no (0) and ask (-2) close without saving.
        if (args.integer(0, 0) == -1) save();
        Reference<css::util::XCloseable> closeable(document_, UNO_QUERY_THROW);
        office().forget(document_);
        closeable->close(true);
        return nothing();
    }

    AutomationValue undoRedo(Args& args, bool undo) {
        Reference<css::document::XUndoManagerSupplier> supplier(document_, UNO_QUERY_THROW);
        Reference<css::document::XUndoManager> manager = supplier->getUndoManager();
        const std::int32_t times = args.integer(0, 1);
        bool all = true;
        for (std::int32_t i = 0; i < times; ++i) {
            if (undo ? !manager->isUndoPossible() : !manager->isRedoPossible()) {
                all = false;
                break;
            }
            if (undo) {
                manager->undo();
            } else {
                manager->redo();
            }
        }
        return booleanValue(all);
    }

    AutomationValue statistic(Args& args) {
        // WdStatistic: words, lines, pages, characters, paragraphs, characters with spaces.
        const std::int32_t which = args.integer(0);
        Reference<css::beans::XPropertySet> model(document_, UNO_QUERY_THROW);
        Reference<css::frame::XModel> frameModel(document_, UNO_QUERY_THROW);
        Reference<css::beans::XPropertySet> view(frameModel->getCurrentController(), UNO_QUERY);
        sal_Int32 value = 0;
        switch (which) {
            case 0: model->getPropertyValue("WordCount") >>= value; break;
            case 1:
                if (!view.is()) refuse();
                view->getPropertyValue("LineCount") >>= value;
                break;
            case 2:
                if (!view.is()) refuse();
                view->getPropertyValue("PageCount") >>= value;
                break;
            case 3: {
                OUString text = document_->getText()->getString();
                for (sal_Int32 i = 0; i < text.getLength(); ++i) {
                    const sal_Unicode c = text[i];
                    if (c != ' ' && c != '\t' && c != '\n' && c != '\r' && c != 0x3000) ++value;
                }
                break;
            }
            case 4: model->getPropertyValue("ParagraphCount") >>= value; break;
            case 5: model->getPropertyValue("CharacterCount") >>= value; break;
            default: refuse();
        }
        return integerValue(value);
    }

    Reference<css::text::XTextDocument> document_;
};

std::span<const Member<Document>> Document::members() {
    using K = MemberKind;
    static const Member<Document> table[] = {
        {"Content", K::Get, [](Document& d, Args&) { return d.content(); }},
        {"Range", K::Method, [](Document& d, Args& a) { return d.range(a); }},
        {"SaveAs", K::Method, [](Document& d, Args& a) { return d.saveAs(a); }},
        {"SaveAs2", K::Method, [](Document& d, Args& a) { return d.saveAs(a); }},
        {"Save", K::Method, [](Document& d, Args&) { return d.save(); }},
        {"ExportAsFixedFormat", K::Method, [](Document& d, Args& a) { return d.exportFixed(a); }},
        {"Close", K::Method, [](Document& d, Args& a) { return d.close(a); }},
        {"Activate", K::Method,
         [](Document& d, Args&) {
             d.office().activate(d.document_);
             return nothing();
         }},
        {"Undo", K::Method, [](Document& d, Args& a) { return d.undoRedo(a, true); }},
        {"Redo", K::Method, [](Document& d, Args& a) { return d.undoRedo(a, false); }},
        {"PrintOut", K::Method,
         [](Document& d, Args& a) {
             printDocument(d.document_, a.text(8, OUString()));
             return nothing();
         }},
        {"ComputeStatistics", K::Method, [](Document& d, Args& a) { return d.statistic(a); }},
        {"Bookmarks", K::Get, [](Document& d, Args&) { return makeBookmarks(d.officePtr(), d.document_); }},
        {"Tables", K::Get, [](Document& d, Args&) { return makeTables(d.officePtr(), d.document_); }},
        {"Styles", K::Get, [](Document& d, Args&) { return makeStyles(d.officePtr(), d.document_); }},
        {"PageSetup", K::Get, [](Document& d, Args&) { return makePageSetup(d.officePtr(), d.document_); }},
        {"Shapes", K::Get, [](Document& d, Args&) { return makeShapes(d.officePtr(), d.document_); }},
        {"InlineShapes", K::Get,
         [](Document& d, Args&) { return makeInlineShapes(d.officePtr(), d.document_, {}); }},
        {"FullName", K::Get,
         [](Document& d, Args&) {
             Reference<css::frame::XModel> model(d.document_, UNO_QUERY_THROW);
             OUString path;
             osl::FileBase::getSystemPathFromFileURL(model->getURL(), path);
             return textValue(path);
         }},
        {"Saved", K::Get,
         [](Document& d, Args&) {
             Reference<css::util::XModifiable> modifiable(d.document_, UNO_QUERY_THROW);
             return booleanValue(!modifiable->isModified());
         }},
        {"GoTo", K::Method, [](Document& d, Args& a) { return goToFromDocument(d.officePtr(), d.document_, a); }},
        {"Application", K::Get, [](Document& d, Args&) { return makeApplication(d.officePtr()); }},
    };
    return table;
}

// ---- Documents

class Documents final : public Model<Documents> {
public:
    using Model::Model;
    static std::span<const Member<Documents>> members();

private:
    AutomationValue open(Args& args) {
        const OUString path = args.text(0);
        const std::string local = systemPathOf(path);
        std::error_code error;
        if (local.empty() || !std::filesystem::is_regular_file(local, error)) refuse();
        Reference<css::text::XTextDocument> document = office().load(fileUrl(path));
        return makeDocument(officePtr(), document);
    }

    AutomationValue add(Args& args) {
        Reference<css::text::XTextDocument> document;
        if (args.given(0) && !args.text(0).isEmpty()) {
            document = office().load(fileUrl(args.text(0)), true);
        } else {
            document = office().load("private:factory/swriter");
        }
        return makeDocument(officePtr(), document);
    }

    AutomationValue item(Args& args) {
        const std::int32_t index = args.integer(0);
        auto& all = office().documents;
        if (index < 1 || static_cast<std::size_t>(index) > all.size()) refuse();
        return makeDocument(officePtr(), all[static_cast<std::size_t>(index - 1)]);
    }
};

std::span<const Member<Documents>> Documents::members() {
    using K = MemberKind;
    static const Member<Documents> table[] = {
        {"Open", K::Method, [](Documents& d, Args& a) { return d.open(a); }},
        {"Add", K::Method, [](Documents& d, Args& a) { return d.add(a); }},
        {"Item", K::Method, [](Documents& d, Args& a) { return d.item(a); }},
        {"Count", K::Get,
         [](Documents& d, Args&) { return integerValue(static_cast<std::int32_t>(d.office().documents.size())); }},
    };
    return table;
}

// ---- Application

class Application final : public Model<Application> {
public:
    using Model::Model;
    static std::span<const Member<Application>> members();
};

std::span<const Member<Application>> Application::members() {
    using K = MemberKind;
    static const Member<Application> table[] = {
        {"Documents", K::Get, [](Application& a, Args&) { return objectValue(new Documents(a.officePtr())); }},
        {"ActiveDocument", K::Get,
         [](Application& a, Args&) { return makeDocument(a.officePtr(), a.office().activeDocument()); }},
        {"Selection", K::Get,
         [](Application& a, Args&) { return makeSelection(a.officePtr(), a.office().activeDocument()); }},
        {"Visible", K::Get, [](Application& a, Args&) { return booleanValue(a.office().visible); }},
        {"Visible", K::Put,
         [](Application& a, Args& args) {
             a.office().visible = booleanOf(args.assigned());
             return nothing();
         }},
        {"ScreenUpdating", K::Get, [](Application& a, Args&) { return booleanValue(a.office().screenUpdating); }},
        {"ScreenUpdating", K::Put,
         [](Application& a, Args& args) {
             a.office().screenUpdating = booleanOf(args.assigned());
             return nothing();
         }},
        // Alerts never show: every question the office asks is refused anyway.
        {"DisplayAlerts", K::Get, [](Application&, Args&) { return integerValue(0); }},
        {"DisplayAlerts", K::Put,
         [](Application&, Args& args) {
             integerOf(args.assigned());
             return nothing();
         }},
        // Printing waits for the office to take the job, so none is ever pending.
        {"BackgroundPrintingStatus", K::Get, [](Application&, Args&) { return integerValue(0); }},
        {"Quit", K::Method,
         [](Application& a, Args&) {
             a.office().quit();
             return nothing();
         }},
        {"PrintOut", K::Method,
         [](Application& a, Args& args) {
             // Pages is the 9th argument; FileName (13th) names an open document.
             Reference<css::text::XTextDocument> document = a.office().activeDocument();
             const OUString name = args.text(12, OUString());
             if (!name.isEmpty()) {
                 document.clear();
                 for (const auto& open : a.office().documents) {
                     Reference<css::frame::XModel> model(open, UNO_QUERY);
                     OUString path;
                     if (model.is()) osl::FileBase::getSystemPathFromFileURL(model->getURL(), path);
                     if (path == name || fileUrl(name) == model->getURL()) document = open;
                 }
                 if (!document.is()) refuse();
             }
             printDocument(document, args.text(8, OUString()));
             return nothing();
         }},
    };
    return table;
}

}  // namespace

AutomationValue makeApplication(const OfficePtr& office) { return objectValue(new Application(office)); }

AutomationValue makeDocument(const OfficePtr& office, const Reference<css::text::XTextDocument>& document) {
    return objectValue(new Document(office, document));
}

}  // namespace rulecore::word::uno
