#pragma once

// The engine's own declarations. Only the engine's uno_*.cpp files include this;
// it brings in the office's UNO headers.

#include <atomic>
#include <initializer_list>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/text/XTextRange.hpp>
#include <com/sun/star/text/XTextTable.hpp>
#include <com/sun/star/text/XTextViewCursor.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <com/sun/star/uno/Sequence.hxx>
#include <rtl/ustring.hxx>

#include "rulecore/word/automation.h"
#include "rulecore/word/uno/office_process.h"
#include "rulecore/word/uno/uno_engine.h"

namespace rulecore::word::uno {

namespace css = ::com::sun::star;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using rtl::OUString;

template <class T>
css::uno::Sequence<T> sequenceOf(std::initializer_list<T> items) {
    return css::uno::Sequence<T>(items.begin(), static_cast<sal_Int32>(items.size()));
}

// Raised inside a member when Word would refuse the call; the dispatcher turns it
// (and every UNO exception) into a quiet failure.
struct CallRefused {};
[[noreturn]] void refuse();

// ---- texts

OUString toOffice(std::string_view cp936);
Text fromOffice(const OUString& text);
// Word's line ends in a written text: CR LF, CR and LF end a paragraph (CR for the
// office), a vertical tab is a line break (LF for the office).
OUString wordTextToOffice(const OUString& text);
// The office's text of a range as Word shows it: paragraph ends as CR.
OUString officeTextToWord(const OUString& text);
// Word's caret codes in find and replacement texts: ^p ^t ^l ^^.
OUString expandCaretCodes(const OUString& text);
OUString fileUrl(const OUString& systemPath);

// ---- the office instance

class Office {
public:
    explicit Office(EngineOptions options);
    Office(const Office&) = delete;
    Office& operator=(const Office&) = delete;
    ~Office();

    bool start();
    bool alive() const { return alive_.load(); }
    // Closes the documents and ends the office; later calls fail.
    void quit();
    // Ends the office at once.
    void kill();

    // Bounds one member call: past the bound the office is killed, so a hung call
    // returns with an exception.
    class CallScope {
    public:
        explicit CallScope(Office& office);
        ~CallScope();
        CallScope(const CallScope&) = delete;
        CallScope& operator=(const CallScope&) = delete;

    private:
        Office& office_;
    };

    const Reference<css::uno::XComponentContext>& context() const { return context_; }
    const Reference<css::frame::XDesktop2>& desktop() const { return desktop_; }

    // Documents in the order they were opened; the last opened or activated one
    // is the active document.
    std::vector<Reference<css::text::XTextDocument>> documents;
    Reference<css::text::XTextDocument> activeDocument() const;
    void activate(const Reference<css::text::XTextDocument>& document);
    void forget(const Reference<css::text::XTextDocument>& document);
    Reference<css::text::XTextDocument> load(const OUString& url, bool asTemplate = false);

    // Per document: the search descriptor last used, with its settings, and
    // whether any text lies outside the main story (headers, frames, notes).
    struct SearchCache {
        Reference<css::text::XTextDocument> document;
        Reference<css::uno::XInterface> descriptor;
        bool settingsKnown = false;
        bool pattern = false, matchCase = false, words = false, backwards = false;
        int outerText = -1;  // unknown until asked
        Reference<css::text::XText> body;
    };
    SearchCache& searchCache(const Reference<css::text::XTextDocument>& document);
    std::vector<SearchCache> searchCaches;

    // Word-side settings the office has no counterpart for.
    bool visible = false;
    bool screenUpdating = true;

    // The table cells the last table selection made by us covers; moving the
    // selection any other way clears it.
    struct TableSelection {
        Reference<css::text::XTextTable> table;
        std::vector<OUString> cells;
    } tableSelection;

private:
    void watch();

    EngineOptions options_;
    Reference<css::text::XTextDocument> active_;
    OfficeProcess process_;
    std::string profile_;
    Reference<css::uno::XComponentContext> context_;
    Reference<css::frame::XDesktop2> desktop_;
    std::atomic<bool> alive_{false};
    std::atomic<bool> timedOut_{false};

    std::mutex watchMutex_;
    std::condition_variable watchWake_;
    bool watchStop_ = false;
    bool armed_ = false;
    std::chrono::steady_clock::time_point deadline_;
    std::thread watcher_;
};

using OfficePtr = std::shared_ptr<Office>;

// ---- arguments

class Args {
public:
    explicit Args(std::span<AutomationValue> values) : values_(values) {}
    std::size_t size() const { return values_.size(); }
    // Present and not passed as missing.
    bool given(std::size_t index) const;
    AutomationValue& value(std::size_t index);
    // The value a property write assigns: the last argument.
    AutomationValue& assigned();
    std::int32_t integer(std::size_t index) const;
    std::int32_t integer(std::size_t index, std::int32_t fallback) const;
    double number(std::size_t index) const;
    bool boolean(std::size_t index) const;
    bool boolean(std::size_t index, bool fallback) const;
    OUString text(std::size_t index) const;
    OUString text(std::size_t index, const OUString& fallback) const;

private:
    std::span<AutomationValue> values_;
};

std::int32_t integerOf(const AutomationValue& value);
bool booleanOf(const AutomationValue& value);
OUString textOf(const AutomationValue& value);

AutomationValue integerValue(std::int32_t value);
AutomationValue numberValue(double value);
AutomationValue booleanValue(bool value);
AutomationValue textValue(const OUString& value);
AutomationValue nothing();

// ---- objects

enum class MemberKind { Get, Put, Method };

// One object of the model. Members are found by name without regard to case.
class ModelObject : public AutomationPeer {
public:
    explicit ModelObject(OfficePtr office) : office_(std::move(office)) {}
    virtual ~ModelObject() = default;
    ModelObject(const ModelObject&) = delete;
    ModelObject& operator=(const ModelObject&) = delete;

    void addRef() override { ++references_; }
    void release() override {
        if (--references_ == 0) delete this;
    }

    // Runs the member of that name and kind; false when the object has none.
    virtual bool run(MemberKind kind, std::string_view name, Args& args, AutomationValue& result) = 0;

    // The office's range for objects that stand for a span of text.
    virtual Reference<css::text::XTextRange> textRange() { refuse(); }

    Office& office() const { return *office_; }
    const OfficePtr& officePtr() const { return office_; }

private:
    OfficePtr office_;
    std::atomic<int> references_{1};
};

bool sameName(std::string_view a, std::string_view b);

// The member table of one class: name, kind and what it does.
template <class Self>
struct Member {
    std::string_view name;
    MemberKind kind;
    AutomationValue (*run)(Self& self, Args& args);
};

template <class Self>
class Model : public ModelObject {
public:
    using ModelObject::ModelObject;
    bool run(MemberKind kind, std::string_view name, Args& args, AutomationValue& result) override {
        for (const Member<Self>& member : Self::members()) {
            if (member.kind == kind && sameName(member.name, name)) {
                result = member.run(static_cast<Self&>(*this), args);
                return true;
            }
        }
        return false;
    }
};

// Wraps a new object (one count, held by the value) as an automation value.
AutomationValue objectValue(ModelObject* object);
// The object an argument refers to, when it is one of ours of that class.
template <class T>
T* objectArgument(const AutomationValue& value) {
    if (value.kind != ValueKind::Object || !value.object) return nullptr;
    return dynamic_cast<T*>(value.object.peer());
}

// ---- the classes, made by their own files

AutomationValue makeApplication(const OfficePtr& office);
AutomationValue makeDocument(const OfficePtr& office, const Reference<css::text::XTextDocument>& document);

// A span of text: a cursor in one text (the body, a cell, a header...).
struct TextSpan {
    Reference<css::text::XTextDocument> document;
    Reference<css::text::XTextCursor> cursor;
};
AutomationValue makeRange(const OfficePtr& office, TextSpan span,
                          const Reference<css::text::XTextTable>& table = {});
// The document's main story as a range (Word's Content).
AutomationValue makeStoryRange(const OfficePtr& office, const Reference<css::text::XTextDocument>& document);
AutomationValue makeSelection(const OfficePtr& office, const Reference<css::text::XTextDocument>& document);
// Word's GoTo on a document: a range at the item, the selection left alone.
AutomationValue goToFromDocument(const OfficePtr& office, const Reference<css::text::XTextDocument>& document,
                                 Args& args);
// Character and paragraph formatting of whatever properties gives (a cursor, the
// selection, or each cell of a table selection).
using PropertyTargets = std::vector<Reference<css::beans::XPropertySet>>;
AutomationValue makeFont(const OfficePtr& office, PropertyTargets targets);
AutomationValue makeParagraphFormat(const OfficePtr& office, PropertyTargets targets);
AutomationValue makeStyles(const OfficePtr& office, const Reference<css::text::XTextDocument>& document);
// The style a written value names: one of our Style objects or a text.
bool styleName(const AutomationValue& value, OUString& name, OUString& family);

AutomationValue makeTables(const OfficePtr& office, const Reference<css::text::XTextDocument>& document,
                           const Reference<css::text::XTextTable>& only = {});
AutomationValue makeTable(const OfficePtr& office, const Reference<css::text::XTextDocument>& document,
                          const Reference<css::text::XTextTable>& table);
AutomationValue makeCells(const OfficePtr& office, const Reference<css::text::XTextDocument>& document);
AutomationValue makeBookmarks(const OfficePtr& office, const Reference<css::text::XTextDocument>& document);
AutomationValue makePageSetup(const OfficePtr& office, const Reference<css::text::XTextDocument>& document);
AutomationValue makeInlineShapes(const OfficePtr& office, const Reference<css::text::XTextDocument>& document,
                                 const Reference<css::text::XTextRange>& at);
AutomationValue makeShapes(const OfficePtr& office, const Reference<css::text::XTextDocument>& document);

// ---- helpers on documents and the selection

Reference<css::text::XTextViewCursor> viewCursor(const Reference<css::text::XTextDocument>& document);
// Selects what the office's controller accepts (a table, a cell range cursor).
void selectInView(const Reference<css::text::XTextDocument>& document, const css::uno::Any& what);
// Runs one of the office's commands on the document's frame.
void dispatchCommand(Office& office, const Reference<css::text::XTextDocument>& document, const OUString& command);
// A cursor on the text that holds range, spanning it.
Reference<css::text::XTextCursor> cursorOver(const Reference<css::text::XTextRange>& range);
// Whether a range lies in the document's main text (its body or a table in it),
// not in a header, footer, frame or note.
bool inMainText(const Reference<css::text::XTextDocument>& document, const Reference<css::text::XTextRange>& range);
// Character offset of a position within the document's main text, as Word counts.
std::int32_t mainTextOffset(const Reference<css::text::XTextDocument>& document,
                            const Reference<css::text::XTextRange>& position);
// Writes a Word text into a span: paragraph and line breaks become the office's.
void writeText(const Reference<css::text::XTextCursor>& cursor, const OUString& wordText);

// Word's points and colours in the office's units.
std::int32_t pointsToHundredthMillimetres(double points);
double hundredthMillimetresToPoints(std::int32_t value);
std::int32_t wordColorToOffice(std::int32_t color);
std::int32_t officeColorToWord(std::int32_t color);

}  // namespace rulecore::word::uno
