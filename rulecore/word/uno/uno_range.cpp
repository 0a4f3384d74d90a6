#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/style/BreakType.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/text/ControlCharacter.hpp>
#include <com/sun/star/text/XBookmarksSupplier.hpp>
#include <com/sun/star/text/XPageCursor.hpp>
#include <com/sun/star/text/XParagraphCursor.hpp>
#include <com/sun/star/text/XSentenceCursor.hpp>
#include <com/sun/star/text/XTextContent.hpp>
#include <com/sun/star/text/XTextRangeCompare.hpp>
#include <com/sun/star/text/XTextTableCursor.hpp>
#include <com/sun/star/text/XTextTablesSupplier.hpp>
#include <com/sun/star/text/XWordCursor.hpp>
#include <com/sun/star/drawing/XDrawPage.hpp>
#include <com/sun/star/drawing/XDrawPageSupplier.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/text/XEndnotesSupplier.hpp>
#include <com/sun/star/text/XFootnotesSupplier.hpp>
#include <com/sun/star/text/XTextFramesSupplier.hpp>
#include <com/sun/star/util/XReplaceDescriptor.hpp>
#include <com/sun/star/util/XReplaceable.hpp>
#include <com/sun/star/util/XSearchable.hpp>
#include <com/sun/star/util/XSearchDescriptor.hpp>
#include <com/sun/star/view/XScreenCursor.hpp>
#include <com/sun/star/view/XViewCursor.hpp>
#include <rtl/ustrbuf.hxx>

#include "rulecore/word/uno/uno_model.h"

namespace rulecore::word::uno {

namespace {

using css::uno::Any;

// ---- text of the main story as Word gives it

OUString tableText(const Reference<css::text::XTextTable>& table) {
    rtl::OUStringBuffer out;
    OUString row;
    for (const OUString& name : table->getCellNames()) {
        sal_Int32 digits = 0;
        while (digits < name.getLength() && !(name[digits] >= '0' && name[digits] <= '9')) ++digits;
        const OUString rowName = name.copy(digits);
        if (!row.isEmpty() && rowName != row) out.append("\r\x07");
        row = rowName;
        Reference<css::text::XText> cell(table->getCellByName(name), UNO_QUERY);
        if (cell.is()) out.append(officeTextToWord(cell->getString()));
        out.append("\r\x07");
    }
    if (!row.isEmpty()) out.append("\r\x07");
    return out.makeStringAndClear();
}

// Paragraphs end in CR, cells and rows in CR BEL, and the story ends with its
// final paragraph mark, as in Word.
OUString storyText(const Reference<css::text::XText>& text) {
    Reference<css::container::XEnumerationAccess> access(text, UNO_QUERY_THROW);
    Reference<css::container::XEnumeration> parts = access->createEnumeration();
    rtl::OUStringBuffer out;
    while (parts->hasMoreElements()) {
        Any part = parts->nextElement();
        Reference<css::text::XTextTable> table(part, UNO_QUERY);
        if (table.is()) {
            out.append(tableText(table));
            continue;
        }
        Reference<css::text::XTextRange> paragraph(part, UNO_QUERY);
        if (paragraph.is()) {
            out.append(officeTextToWord(paragraph->getString()));
            out.append(sal_Unicode('\r'));
        }
    }
    return out.makeStringAndClear();
}

bool spansWholeText(const Reference<css::text::XTextCursor>& cursor) {
    Reference<css::text::XText> text = cursor->getText();
    Reference<css::text::XTextRangeCompare> compare(text, UNO_QUERY);
    if (!compare.is()) return false;
    return compare->compareRegionStarts(cursor.get(), text->getStart()) == 0 &&
           compare->compareRegionEnds(cursor.get(), text->getEnd()) == 0;
}

OUString spanText(const Reference<css::text::XTextCursor>& cursor) {
    if (spansWholeText(cursor)) {
        Reference<css::text::XText> text = cursor->getText();
        Reference<css::lang::XServiceInfo> kind(text, UNO_QUERY);
        // A whole cell ends with Word's end-of-cell mark.
        if (kind.is() && kind->getImplementationName() == "SwXCell") return storyText(text) + "\x07";
        return storyText(text);
    }
    return officeTextToWord(cursor->getString());
}

// A position that many characters into the main text.
Reference<css::text::XTextRange> positionAt(const Reference<css::text::XTextDocument>& document,
                                            std::int32_t offset) {
    if (offset < 0) refuse();
    Reference<css::text::XTextCursor> cursor = document->getText()->createTextCursor();
    cursor->gotoStart(false);
    while (offset > 0) {
        const auto step = static_cast<sal_Int16>(std::min<std::int32_t>(offset, 32000));
        if (!cursor->goRight(step, false)) break;
        offset -= step;
    }
    return cursor->getStart();
}

// ---- the state a Range and its Find share

// A range over the whole main story (a document's Content) makes its cursor only
// when a member needs it: a replace-all over the story needs none.
struct RangeState {
    TextSpan span;
    Reference<css::text::XTextTable> table;
    bool wholeStory = false;

    const Reference<css::text::XTextCursor>& cursor() {
        if (!span.cursor.is()) {
            span.cursor = span.document->getText()->createTextCursor();
            span.cursor->gotoStart(false);
            span.cursor->gotoEnd(true);
        }
        return span.cursor;
    }
    void moved() {
        wholeStory = false;
        table.clear();
    }
};

}  // namespace

// Find and its Replacement, on a range or on the selection.
class Finder {
public:
    Finder(OfficePtr office, Reference<css::text::XTextDocument> document, std::shared_ptr<RangeState> range)
        : office_(std::move(office)), document_(std::move(document)), range_(std::move(range)) {}

    OUString text;
    OUString replacement;
    bool forward = true;
    std::int32_t wrap = 0;
    bool matchCase = false;
    bool wholeWord = false;
    bool wildcards = false;
    std::int32_t highlight = 0;
    bool format = false;

    void clearFormatting() {
        highlight = 0;
        format = false;
    }

    bool execute(Args& args);

private:
    // The span searched and moved: the range's, or the selection's.
    Reference<css::text::XTextRange> where();
    void moveTo(const Reference<css::text::XTextRange>& hit);
    Reference<css::util::XSearchDescriptor> descriptor(const Reference<css::util::XSearchable>& searchable);
    Reference<css::text::XTextRange> next(const Reference<css::util::XSearchable>& searchable,
                                          const Reference<css::util::XSearchDescriptor>& descriptor);
    std::int32_t replaceAll(const Reference<css::util::XSearchable>& searchable,
                            const Reference<css::util::XSearchDescriptor>& descriptor, const OUString& with);

    OfficePtr office_;
    Reference<css::text::XTextDocument> document_;
    std::shared_ptr<RangeState> range_;  // empty for the selection
};

namespace {

bool within(const Reference<css::text::XTextRange>& outer, const Reference<css::text::XTextRange>& inner) {
    Reference<css::text::XTextRangeCompare> compare(outer->getText(), UNO_QUERY);
    if (!compare.is()) return true;
    try {
        return compare->compareRegionStarts(outer, inner) >= 0 && compare->compareRegionEnds(inner, outer) >= 0;
    } catch (const css::lang::IllegalArgumentException&) {
        // In another text (a table inside a body range): its place was checked by
        // the main-text test.
        return true;
    }
}

bool collapsed(const Reference<css::text::XTextRange>& range) {
    Reference<css::text::XTextRangeCompare> compare(range->getText(), UNO_QUERY);
    if (!compare.is()) return range->getString().isEmpty();
    return compare->compareRegionStarts(range->getStart(), range->getEnd()) == 0;
}

OUString regexEscaped(const OUString& text) {
    rtl::OUStringBuffer out;
    for (sal_Int32 i = 0; i < text.getLength(); ++i) {
        const sal_Unicode c = text[i];
        if (c == '\r') {
            out.append("$");
            continue;
        }
        if (c == 0x0B) {
            out.append("\\n");
            continue;
        }
        if (OUString("\\^$.|?*+()[]{}").indexOf(c) >= 0) out.append(sal_Unicode('\\'));
        out.append(c);
    }
    return out.makeStringAndClear();
}

}  // namespace

Reference<css::text::XTextRange> Finder::where() {
    if (range_) return range_->cursor().get();
    return viewCursor(document_).get();
}

void Finder::moveTo(const Reference<css::text::XTextRange>& hit) {
    if (range_) {
        range_->span.cursor = cursorOver(hit);
        range_->moved();
        return;
    }
    Reference<css::text::XTextViewCursor> view = viewCursor(document_);
    view->gotoRange(hit->getStart(), false);
    view->gotoRange(hit->getEnd(), true);
    office_->tableSelection = {};
}

Reference<css::util::XSearchDescriptor> Finder::descriptor(const Reference<css::util::XSearchable>& searchable) {
    if (wildcards) refuse();  // Word's wildcard language has no counterpart here
    const OUString what = expandCaretCodes(text);
    if (what.isEmpty()) refuse();
    // A paragraph mark is found only at the end of the find text, as the end of a
    // paragraph; the office's search never crosses paragraphs.
    const sal_Int32 mark = what.indexOf(sal_Unicode('\r'));
    if (mark >= 0 && mark != what.getLength() - 1) refuse();
    const bool pattern = mark >= 0 || what.indexOf(sal_Unicode(0x0B)) >= 0;

    // One descriptor per document, its settings written only when they change:
    // a document run makes hundreds of searches that differ only in their text.
    Office::SearchCache& cache = office_->searchCache(document_);
    Reference<css::util::XSearchDescriptor> d(cache.descriptor, UNO_QUERY);
    if (!d.is()) {
        d = searchable->createSearchDescriptor();
        cache.descriptor = d;
        cache.settingsKnown = false;
    }
    Reference<css::beans::XPropertySet> p(d, UNO_QUERY_THROW);
    auto set = [&](bool& known, bool wanted, const char* name) {
        if (cache.settingsKnown && known == wanted) return;
        p->setPropertyValue(OUString::createFromAscii(name), Any(wanted));
        known = wanted;
    };
    set(cache.pattern, pattern, "SearchRegularExpression");
    set(cache.matchCase, matchCase, "SearchCaseSensitive");
    set(cache.words, wholeWord, "SearchWords");
    set(cache.backwards, !forward, "SearchBackwards");
    cache.settingsKnown = true;
    d->setSearchString(pattern ? regexEscaped(what) : what);
    return d;
}

namespace {

// Whether the document holds text outside its main story that a search of the
// whole document would reach: headers and footers, frames, notes, shapes.
bool hasOuterText(const Reference<css::text::XTextDocument>& document) {
    Reference<css::style::XStyleFamiliesSupplier> styles(document, UNO_QUERY_THROW);
    Reference<css::container::XNameAccess> pages(styles->getStyleFamilies()->getByName("PageStyles"), UNO_QUERY_THROW);
    for (const OUString& name : pages->getElementNames()) {
        Reference<css::beans::XPropertySet> page(pages->getByName(name), UNO_QUERY_THROW);
        bool on = false;
        if ((page->getPropertyValue("HeaderIsOn") >>= on) && on) return true;
        if ((page->getPropertyValue("FooterIsOn") >>= on) && on) return true;
    }
    Reference<css::text::XTextFramesSupplier> frames(document, UNO_QUERY);
    if (frames.is() && frames->getTextFrames()->hasElements()) return true;
    Reference<css::text::XFootnotesSupplier> footnotes(document, UNO_QUERY);
    if (footnotes.is() && footnotes->getFootnotes()->getCount() > 0) return true;
    Reference<css::text::XEndnotesSupplier> endnotes(document, UNO_QUERY);
    if (endnotes.is() && endnotes->getEndnotes()->getCount() > 0) return true;
    Reference<css::drawing::XDrawPageSupplier> drawing(document, UNO_QUERY);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (drawing.is() && drawing->getDrawPage()->getCount() > 0) return true;
#pragma GCC diagnostic pop
    return false;
}

bool breaksLines(const OUString& text) {
    for (sal_Int32 i = 0; i < text.getLength(); ++i) {
        if (text[i] == '\r' || text[i] == '\n' || text[i] == 0x0B) return true;
    }
    return false;
}

}  // namespace

// A range's Find searches within the range unless it is collapsed; the
// selection's Find goes on from the selection, so repeated finds move along.
Reference<css::text::XTextRange> Finder::next(const Reference<css::util::XSearchable>& searchable,
                                              const Reference<css::util::XSearchDescriptor>& d) {
    Reference<css::text::XTextRange> span = where();
    const bool limited = range_ && !collapsed(span);
    Reference<css::text::XTextRange> from =
        (forward == static_cast<bool>(range_)) ? span->getStart() : span->getEnd();
    Reference<css::text::XTextRange> hit(searchable->findNext(from, d), UNO_QUERY);
    for (int skipped = 0; hit.is() && !inMainText(document_, hit) && skipped < 10000; ++skipped) {
        hit.set(searchable->findNext(forward ? hit->getEnd() : hit->getStart(), d), UNO_QUERY);
    }
    if (hit.is() && !inMainText(document_, hit)) hit.clear();
    if (!hit.is() && wrap == 1 && !limited) {
        hit.set(searchable->findFirst(d), UNO_QUERY);
        for (int skipped = 0; hit.is() && !inMainText(document_, hit) && skipped < 10000; ++skipped) {
            hit.set(searchable->findNext(forward ? hit->getEnd() : hit->getStart(), d), UNO_QUERY);
        }
        if (hit.is() && !inMainText(document_, hit)) hit.clear();
    }
    if (hit.is() && limited && !within(span, hit)) hit.clear();
    return hit;
}

std::int32_t Finder::replaceAll(const Reference<css::util::XSearchable>& searchable,
                                const Reference<css::util::XSearchDescriptor>& d, const OUString& with) {
    // A collapsed range or selection, or one over the whole story, means the story.
    bool limited = false;
    Reference<css::text::XTextRange> span;
    if (!range_ || !range_->wholeStory) {
        span = where();
        limited = !collapsed(span) && !(range_ && spansWholeText(range_->cursor()));
    }
    const OUString officeText = wordTextToOffice(with);
    Office::SearchCache& cache = office_->searchCache(document_);
    if (cache.outerText < 0) cache.outerText = hasOuterText(document_) ? 1 : 0;
    if (!limited && cache.outerText == 0 && !breaksLines(officeText)) {
        // Nothing lies outside the main story and the text is one line: the
        // office's own replace-all does exactly what Word's does.
        Reference<css::util::XReplaceable> replaceable(document_, UNO_QUERY_THROW);
        Reference<css::util::XReplaceDescriptor> all(d, UNO_QUERY);
        if (all.is()) {
            all->setReplaceString(officeText);
            return replaceable->replaceAll(d);
        }
    }
    Reference<css::container::XIndexAccess> hits = searchable->findAll(d);
    if (!hits.is()) return 0;
    if (!cache.body.is()) cache.body = document_->getText();
    std::int32_t replaced = 0;
    const sal_Int32 count = hits->getCount();
    for (sal_Int32 i = 0; i < count; ++i) {
        Reference<css::text::XTextRange> hit(hits->getByIndex(i), UNO_QUERY);
        if (!hit.is()) continue;
        Reference<css::text::XText> holder = hit->getText();
        // The bridge hands out one proxy per remote object, so the body is known
        // by its address; anything else is checked in full.
        if (holder.get() != cache.body.get() && !inMainText(document_, hit)) continue;
        if (limited && !within(span, hit)) continue;
        holder->insertString(hit, officeText, true);
        ++replaced;
    }
    return replaced;
}

bool Finder::execute(Args& args) {
    // FindText, MatchCase, MatchWholeWord, MatchWildcards, MatchSoundsLike,
    // MatchAllWordForms, Forward, Wrap, Format, ReplaceWith, Replace: given
    // arguments become the Find's settings, as in Word.
    if (args.given(0)) text = args.text(0);
    if (args.given(1)) matchCase = args.boolean(1);
    if (args.given(2)) wholeWord = args.boolean(2);
    if (args.given(3)) wildcards = args.boolean(3);
    if (args.boolean(4, false) || args.boolean(5, false)) refuse();
    if (args.given(6)) forward = args.boolean(6);
    if (args.given(7)) wrap = args.integer(7);
    if (args.given(8)) format = args.boolean(8);
    const OUString with = expandCaretCodes(args.given(9) ? args.text(9) : replacement);
    // Replace: 0 none, 1 one, 2 all; a boolean true asks for one.
    std::int32_t replace = 0;
    if (args.given(10)) {
        const AutomationValue& value = args.value(10);
        replace = value.kind == ValueKind::Boolean ? (value.boolean ? 1 : 0) : integerOf(value);
    }
    if (replace < 0 || replace > 2) refuse();

    Reference<css::util::XSearchable> searchable(document_, UNO_QUERY_THROW);
    Reference<css::util::XSearchDescriptor> d = descriptor(searchable);
    if (replace == 2) return replaceAll(searchable, d, with) > 0;
    Reference<css::text::XTextRange> hit = next(searchable, d);
    if (!hit.is()) return false;
    if (replace == 1) {
        Reference<css::text::XTextCursor> cursor = cursorOver(hit);
        writeText(cursor, with);
        hit = cursor.get();
    }
    moveTo(hit);
    return true;
}

namespace {

class Replacement final : public Model<Replacement> {
public:
    Replacement(OfficePtr office, std::shared_ptr<Finder> finder) : Model(std::move(office)), finder_(std::move(finder)) {}
    static std::span<const Member<Replacement>> members() {
        using K = MemberKind;
        static const Member<Replacement> table[] = {
            {"Text", K::Get, [](Replacement& r, Args&) { return textValue(r.finder_->replacement); }},
            {"Text", K::Put,
             [](Replacement& r, Args& a) {
                 r.finder_->replacement = textOf(a.assigned());
                 return nothing();
             }},
            {"ClearFormatting", K::Method, [](Replacement&, Args&) { return nothing(); }},
        };
        return table;
    }

private:
    std::shared_ptr<Finder> finder_;
};

class Find final : public Model<Find> {
public:
    Find(OfficePtr office, std::shared_ptr<Finder> finder) : Model(std::move(office)), finder_(std::move(finder)) {}
    static std::span<const Member<Find>> members();

private:
    template <auto Field>
    static AutomationValue getFlag(Find& f, Args&) {
        return booleanValue(f.finder_.get()->*Field);
    }
    template <auto Field>
    static AutomationValue putFlag(Find& f, Args& a) {
        f.finder_.get()->*Field = booleanOf(a.assigned());
        return nothing();
    }
    std::shared_ptr<Finder> finder_;
};

std::span<const Member<Find>> Find::members() {
    using K = MemberKind;
    static const Member<Find> table[] = {
        {"Execute", K::Method, [](Find& f, Args& a) { return booleanValue(f.finder_->execute(a)); }},
        {"ClearFormatting", K::Method,
         [](Find& f, Args&) {
             f.finder_->clearFormatting();
             return nothing();
         }},
        {"Replacement", K::Get, [](Find& f, Args&) { return objectValue(new Replacement(f.officePtr(), f.finder_)); }},
        {"Text", K::Get, [](Find& f, Args&) { return textValue(f.finder_->text); }},
        {"Text", K::Put,
         [](Find& f, Args& a) {
             f.finder_->text = textOf(a.assigned());
             return nothing();
         }},
        {"Forward", K::Get, &Find::getFlag<&Finder::forward>},
        {"Forward", K::Put, &Find::putFlag<&Finder::forward>},
        {"MatchCase", K::Get, &Find::getFlag<&Finder::matchCase>},
        {"MatchCase", K::Put, &Find::putFlag<&Finder::matchCase>},
        {"MatchWholeWord", K::Get, &Find::getFlag<&Finder::wholeWord>},
        {"MatchWholeWord", K::Put, &Find::putFlag<&Finder::wholeWord>},
        {"MatchWildcards", K::Get, &Find::getFlag<&Finder::wildcards>},
        {"MatchWildcards", K::Put, &Find::putFlag<&Finder::wildcards>},
        {"Format", K::Get, &Find::getFlag<&Finder::format>},
        {"Format", K::Put, &Find::putFlag<&Finder::format>},
        {"Wrap", K::Get, [](Find& f, Args&) { return integerValue(f.finder_->wrap); }},
        {"Wrap", K::Put,
         [](Find& f, Args& a) {
             f.finder_->wrap = integerOf(a.assigned());
             return nothing();
         }},
        // Highlight matters only to a search by formatting, which is not offered.
        {"Highlight", K::Get, [](Find& f, Args&) { return integerValue(f.finder_->highlight); }},
        {"Highlight", K::Put,
         [](Find& f, Args& a) {
             f.finder_->highlight = integerOf(a.assigned());
             return nothing();
         }},
    };
    return table;
}

// ---- Range

PropertyTargets propertiesOf(const Reference<css::text::XTextCursor>& cursor) {
    return {Reference<css::beans::XPropertySet>(cursor, UNO_QUERY_THROW)};
}

class Range final : public Model<Range> {
public:
    Range(OfficePtr office, TextSpan span, Reference<css::text::XTextTable> table)
        : Model(std::move(office)), state_(std::make_shared<RangeState>(RangeState{std::move(span), std::move(table)})) {}
    static std::span<const Member<Range>> members();
    Reference<css::text::XTextRange> textRange() override { return cursor().get(); }
    void markWholeStory() { state_->wholeStory = true; }

private:
    const Reference<css::text::XTextCursor>& cursor() const { return state_->cursor(); }
    const Reference<css::text::XTextDocument>& document() const { return state_->span.document; }

    AutomationValue find() {
        if (!finder_) finder_ = std::make_shared<Finder>(officePtr(), document(), state_);
        return objectValue(new Find(officePtr(), finder_));
    }

    AutomationValue setEdge(Args& a, bool start) {
        Reference<css::text::XTextRange> at = positionAt(document(), integerOf(a.assigned()));
        Reference<css::text::XTextRange> other = start ? cursor()->getEnd() : cursor()->getStart();
        Reference<css::text::XTextCursor> moved = document()->getText()->createTextCursorByRange(at);
        try {
            moved->gotoRange(other, true);
        } catch (const css::uno::RuntimeException&) {
        }
        state_->span.cursor = moved;
        state_->moved();
        return nothing();
    }

    AutomationValue select() {
        if (state_->table.is()) {
            selectInView(document(), Any(state_->table));
        } else {
            Reference<css::text::XTextViewCursor> view = viewCursor(document());
            view->gotoRange(cursor()->getStart(), false);
            view->gotoRange(cursor()->getEnd(), true);
        }
        office().tableSelection = {};
        return nothing();
    }

    AutomationValue tables() {
        Reference<css::beans::XPropertySet> properties(cursor(), UNO_QUERY_THROW);
        Reference<css::text::XTextTable> table = state_->table;
        if (!table.is()) properties->getPropertyValue("TextTable") >>= table;
        if (!table.is() && spansWholeText(cursor())) return makeTables(officePtr(), document());
        return makeTables(officePtr(), document(), table);
    }

    AutomationValue lines(bool rows);

    std::shared_ptr<RangeState> state_;
    std::shared_ptr<Finder> finder_;
};

AutomationValue Range::lines(bool rows) {
    if (!state_->table.is()) refuse();
    Args none({});
    AutomationValue table = makeTable(officePtr(), document(), state_->table);
    auto* object = dynamic_cast<ModelObject*>(table.object.peer());
    AutomationValue result;
    if (!object || !object->run(MemberKind::Get, rows ? "Rows" : "Columns", none, result)) refuse();
    return result;
}

std::span<const Member<Range>> Range::members() {
    using K = MemberKind;
    static const Member<Range> table[] = {
        {"Text", K::Get, [](Range& r, Args&) { return textValue(spanText(r.cursor())); }},
        {"Text", K::Put,
         [](Range& r, Args& a) {
             writeText(r.cursor(), textOf(a.assigned()));
             r.state_->moved();
             return nothing();
         }},
        {"Start", K::Get,
         [](Range& r, Args&) { return integerValue(mainTextOffset(r.document(), r.cursor()->getStart())); }},
        {"End", K::Get,
         [](Range& r, Args&) { return integerValue(mainTextOffset(r.document(), r.cursor()->getEnd())); }},
        {"Start", K::Put, [](Range& r, Args& a) { return r.setEdge(a, true); }},
        {"End", K::Put, [](Range& r, Args& a) { return r.setEdge(a, false); }},
        {"StoryLength", K::Get,
         [](Range& r, Args&) { return integerValue(storyText(r.document()->getText()).getLength()); }},
        {"Find", K::Get, [](Range& r, Args&) { return r.find(); }},
        {"Collapse", K::Method,
         [](Range& r, Args& a) {
             // wdCollapseStart is 1 and the default; wdCollapseEnd is 0.
             if (a.integer(0, 1) == 0) {
                 r.cursor()->collapseToEnd();
             } else {
                 r.cursor()->collapseToStart();
             }
             r.state_->moved();
             return nothing();
         }},
        {"Select", K::Method, [](Range& r, Args&) { return r.select(); }},
        {"Font", K::Get, [](Range& r, Args&) { return makeFont(r.officePtr(), propertiesOf(r.cursor())); }},
        {"ParagraphFormat", K::Get,
         [](Range& r, Args&) { return makeParagraphFormat(r.officePtr(), propertiesOf(r.cursor())); }},
        {"Tables", K::Get, [](Range& r, Args&) { return r.tables(); }},
        {"Rows", K::Get, [](Range& r, Args&) { return r.lines(true); }},
        {"Columns", K::Get, [](Range& r, Args&) { return r.lines(false); }},
        {"InlineShapes", K::Get,
         [](Range& r, Args&) { return makeInlineShapes(r.officePtr(), r.document(), r.cursor().get()); }},
        {"InsertAfter", K::Method,
         [](Range& r, Args& a) {
             Reference<css::text::XTextCursor> end = cursorOver(r.cursor()->getEnd());
             writeText(end, a.text(0));
             r.cursor()->gotoRange(end->getEnd(), true);
             r.state_->moved();
             return nothing();
         }},
        {"Style", K::Put,
         [](Range& r, Args& a) {
             OUString name, family;
             if (!styleName(a.assigned(), name, family)) refuse();
             Reference<css::beans::XPropertySet> p(r.cursor(), UNO_QUERY_THROW);
             p->setPropertyValue(family == "CharacterStyles" ? OUString("CharStyleName") : OUString("ParaStyleName"),
                                 Any(name));
             return nothing();
         }},
    };
    return table;
}

// ---- Selection

class Selection final : public Model<Selection> {
public:
    Selection(OfficePtr office, Reference<css::text::XTextDocument> document)
        : Model(std::move(office)), document_(std::move(document)) {}
    static std::span<const Member<Selection>> members();
    Reference<css::text::XTextRange> textRange() override { return view().get(); }

private:
    Reference<css::text::XTextViewCursor> view() const { return viewCursor(document_); }
    void moved() { office().tableSelection = {}; }

    PropertyTargets targets() {
        PropertyTargets out;
        const Office::TableSelection& cells = office().tableSelection;
        if (cells.table.is()) {
            for (const OUString& name : cells.cells) {
                Reference<css::text::XText> text(cells.table->getCellByName(name), UNO_QUERY);
                if (!text.is()) continue;
                Reference<css::text::XTextCursor> c = text->createTextCursor();
                c->gotoStart(false);
                c->gotoEnd(true);
                out.emplace_back(c, UNO_QUERY);
            }
            if (!out.empty()) return out;
        }
        out.emplace_back(view(), UNO_QUERY_THROW);
        return out;
    }

    AutomationValue range() {
        Reference<css::text::XTextViewCursor> v = view();
        return makeRange(officePtr(), {document_, cursorOver(v.get())});
    }

    AutomationValue typeText(Args& a) {
        Reference<css::text::XTextViewCursor> v = view();
        Reference<css::text::XText> text = v->getText();
        if (!v->isCollapsed()) v->setString(OUString());
        text->insertString(v.get(), wordTextToOffice(a.text(0, OUString())), false);
        v->collapseToEnd();
        moved();
        return nothing();
    }

    AutomationValue typeParagraph() {
        Reference<css::text::XTextViewCursor> v = view();
        if (!v->isCollapsed()) v->setString(OUString());
        v->getText()->insertControlCharacter(v.get(), css::text::ControlCharacter::PARAGRAPH_BREAK, false);
        moved();
        return nothing();
    }

    AutomationValue typeBackspace() {
        Reference<css::text::XTextViewCursor> v = view();
        if (v->isCollapsed()) v->goLeft(1, true);
        v->setString(OUString());
        moved();
        return nothing();
    }

    AutomationValue move(Args& a, int direction);
    AutomationValue insertBreak(Args& a);
    AutomationValue selectLine(bool row);
    AutomationValue goTo(Args& a) {
        AutomationValue to = goToRange(officePtr(), document_, a);
        auto* range = objectArgument<Range>(to);
        if (range) {
            Args none({});
            AutomationValue ignored;
            range->run(MemberKind::Method, "Select", none, ignored);
        }
        moved();
        return to;
    }

public:
    static AutomationValue goToRange(const OfficePtr& office, const Reference<css::text::XTextDocument>& document,
                                     Args& a);

private:
    Reference<css::text::XTextDocument> document_;
    std::shared_ptr<Finder> finder_;
    friend AutomationValue uno::makeSelection(const OfficePtr&, const Reference<css::text::XTextDocument>&);
};

// Word's units: character 1, word 2, sentence 3, paragraph 4, line 5, story 6,
// screen 7. Directions: 0 left, 1 right, 2 up, 3 down.
AutomationValue Selection::move(Args& a, int direction) {
    const std::int32_t unit = a.integer(0, direction < 2 ? 1 : 5);
    std::int32_t count = a.integer(1, 1);
    const bool extend = a.integer(2, 0) == 1;
    Reference<css::text::XTextViewCursor> v = view();
    if (count < 0) {
        count = -count;
        direction ^= 1;
    }
    if (!extend && !v->isCollapsed() && count > 0) {
        // Moving a selection without extending first collapses it to that side.
        if (direction == 1 || direction == 3) {
            v->collapseToEnd();
        } else {
            v->collapseToStart();
        }
        if (unit == 1) --count;
    }
    const bool back = direction == 0 || direction == 2;
    auto repeat = [&](auto step) {
        for (std::int32_t i = 0; i < count; ++i) {
            if (!step()) break;
        }
    };
    if (unit == 1 && direction < 2) {
        repeat([&] { return back ? v->goLeft(1, extend) : v->goRight(1, extend); });
    } else if (unit == 5 && direction >= 2) {
        Reference<css::view::XViewCursor> lines(v, UNO_QUERY_THROW);
        repeat([&] { return back ? lines->goUp(1, extend) : lines->goDown(1, extend); });
    } else if (unit == 6) {
        if (back) {
            v->gotoStart(extend);
        } else {
            v->gotoEnd(extend);
        }
    } else if (unit == 7 && direction >= 2) {
        Reference<css::view::XScreenCursor> screen(v, UNO_QUERY_THROW);
        repeat([&] { return back ? screen->screenUp() : screen->screenDown(); });
    } else if (unit == 2 || unit == 3 || unit == 4) {
        Reference<css::text::XTextCursor> model = v->getText()->createTextCursorByRange(v->getEnd());
        Reference<css::text::XWordCursor> word(model, UNO_QUERY);
        Reference<css::text::XSentenceCursor> sentence(model, UNO_QUERY);
        Reference<css::text::XParagraphCursor> paragraph(model, UNO_QUERY);
        if ((unit == 2 && !word.is()) || (unit == 3 && !sentence.is()) || (unit == 4 && !paragraph.is())) refuse();
        if (unit != 4 && direction >= 2) refuse();
        if (unit == 4 && direction < 2) refuse();
        repeat([&] {
            if (unit == 2) return back ? word->gotoPreviousWord(false) : word->gotoNextWord(false);
            if (unit == 3) return back ? sentence->gotoPreviousSentence(false) : sentence->gotoNextSentence(false);
            return back ? paragraph->gotoPreviousParagraph(false) : paragraph->gotoNextParagraph(false);
        });
        v->gotoRange(model->getEnd(), extend);
    } else {
        refuse();
    }
    moved();
    return nothing();
}

// Word's break kinds: 7 page, 6 line, 8 column.
AutomationValue Selection::insertBreak(Args& a) {
    const std::int32_t kind = a.integer(0, 7);
    Reference<css::text::XTextViewCursor> v = view();
    Reference<css::text::XText> text = v->getText();
    if (!v->isCollapsed()) v->setString(OUString());
    if (kind == 6) {
        text->insertControlCharacter(v.get(), css::text::ControlCharacter::LINE_BREAK, false);
    } else if (kind == 7 || kind == 8) {
        text->insertControlCharacter(v.get(), css::text::ControlCharacter::PARAGRAPH_BREAK, false);
        Reference<css::beans::XPropertySet> p(v, UNO_QUERY_THROW);
        p->setPropertyValue("BreakType",
                            Any(kind == 7 ? css::style::BreakType_PAGE_BEFORE : css::style::BreakType_COLUMN_BEFORE));
    } else {
        refuse();
    }
    moved();
    return nothing();
}

AutomationValue Selection::selectLine(bool row) {
    Reference<css::beans::XPropertySet> p(view(), UNO_QUERY_THROW);
    Reference<css::text::XTextTable> table;
    Reference<css::beans::XPropertySet> cell;
    p->getPropertyValue("TextTable") >>= table;
    p->getPropertyValue("Cell") >>= cell;
    if (!table.is() || !cell.is()) refuse();
    OUString name;
    cell->getPropertyValue("CellName") >>= name;
    sal_Int32 digits = 0;
    while (digits < name.getLength() && !(name[digits] >= '0' && name[digits] <= '9')) ++digits;
    const OUString column = name.copy(0, digits);
    const OUString rowNumber = name.copy(digits);
    std::vector<OUString> cells;
    for (const OUString& other : table->getCellNames()) {
        sal_Int32 d = 0;
        while (d < other.getLength() && !(other[d] >= '0' && other[d] <= '9')) ++d;
        if (row ? other.copy(d) == rowNumber : other.copy(0, d) == column) cells.push_back(other);
    }
    if (cells.empty()) refuse();
    Reference<css::text::XTextTableCursor> span = table->createCursorByCellName(cells.front());
    span->gotoCellByName(cells.back(), true);
    selectInView(document_, Any(span));
    office().tableSelection = {table, cells};
    return nothing();
}

// Word's GoTo: what is bookmark (-1), page (1), table (2) or line (3); which is
// first (1), last (-1), next (2), previous (3) or absolute (1); count and name.
AutomationValue Selection::goToRange(const OfficePtr& office, const Reference<css::text::XTextDocument>& document,
                                     Args& a) {
    const std::int32_t what = a.integer(0);
    const std::int32_t which = a.integer(1, 1);
    const std::int32_t count = a.integer(2, 1);
    const OUString name = a.text(3, OUString());
    Reference<css::text::XTextViewCursor> v = viewCursor(document);
    if (what == -1) {
        Reference<css::text::XBookmarksSupplier> supplier(document, UNO_QUERY_THROW);
        Reference<css::container::XNameAccess> marks = supplier->getBookmarks();
        if (!marks->hasByName(name)) refuse();
        Reference<css::text::XTextContent> mark(marks->getByName(name), UNO_QUERY_THROW);
        return makeRange(office, {document, cursorOver(mark->getAnchor())});
    }
    if (what == 1 || what == 3) {
        Reference<css::text::XTextCursor> saved = cursorOver(v.get());
        const std::int32_t target = std::max<std::int32_t>(count, 1);
        if (what == 1) {
            Reference<css::text::XPageCursor> page(v, UNO_QUERY_THROW);
            if (which == -1) {
                page->jumpToLastPage();
            } else if (which == 2 || which == 3) {
                for (std::int32_t i = 0; i < target; ++i) {
                    if (!(which == 2 ? page->jumpToNextPage() : page->jumpToPreviousPage())) break;
                }
            } else if (!page->jumpToPage(static_cast<sal_Int16>(std::min(target, 32767)))) {
                refuse();
            }
            page->jumpToStartOfPage();
        } else {
            v->gotoStart(false);
            Reference<css::view::XViewCursor> lines(v, UNO_QUERY_THROW);
            for (std::int32_t i = 1; i < target; ++i) {
                if (!lines->goDown(1, false)) break;
            }
        }
        AutomationValue result = makeRange(office, {document, cursorOver(v->getStart())});
        v->gotoRange(saved->getStart(), false);
        v->gotoRange(saved->getEnd(), true);
        return result;
    }
    if (what == 2) {
        Reference<css::text::XTextTablesSupplier> supplier(document, UNO_QUERY_THROW);
        Reference<css::container::XIndexAccess> tables(supplier->getTextTables(), UNO_QUERY_THROW);
        const sal_Int32 index = which == -1 ? tables->getCount() - 1 : std::max<std::int32_t>(count, 1) - 1;
        if (index < 0 || index >= tables->getCount()) refuse();
        Reference<css::text::XTextTable> table(tables->getByIndex(index), UNO_QUERY_THROW);
        const auto names = table->getCellNames();
        if (!names.hasElements()) refuse();
        Reference<css::text::XText> cell(table->getCellByName(names[0]), UNO_QUERY_THROW);
        return makeRange(office, {document, cursorOver(cell->getStart())});
    }
    refuse();
}

std::span<const Member<Selection>> Selection::members() {
    using K = MemberKind;
    static const Member<Selection> table[] = {
        {"Text", K::Get, [](Selection& s, Args&) { return textValue(officeTextToWord(s.view()->getString())); }},
        {"Text", K::Put,
         [](Selection& s, Args& a) {
             Reference<css::text::XTextViewCursor> v = s.view();
             Reference<css::text::XTextCursor> span = cursorOver(v.get());
             writeText(span, textOf(a.assigned()));
             v->gotoRange(span->getStart(), false);
             v->gotoRange(span->getEnd(), true);
             s.moved();
             return nothing();
         }},
        {"Range", K::Get, [](Selection& s, Args&) { return s.range(); }},
        {"Start", K::Get,
         [](Selection& s, Args&) { return integerValue(mainTextOffset(s.document_, s.view()->getStart())); }},
        {"End", K::Get,
         [](Selection& s, Args&) { return integerValue(mainTextOffset(s.document_, s.view()->getEnd())); }},
        {"Find", K::Get,
         [](Selection& s, Args&) {
             if (!s.finder_) s.finder_ = std::make_shared<Finder>(s.officePtr(), s.document_, nullptr);
             return objectValue(new Find(s.officePtr(), s.finder_));
         }},
        {"Font", K::Get, [](Selection& s, Args&) { return makeFont(s.officePtr(), s.targets()); }},
        {"ParagraphFormat", K::Get, [](Selection& s, Args&) { return makeParagraphFormat(s.officePtr(), s.targets()); }},
        {"Tables", K::Get,
         [](Selection& s, Args&) {
             Reference<css::beans::XPropertySet> p(s.view(), UNO_QUERY_THROW);
             Reference<css::text::XTextTable> here = s.office().tableSelection.table;
             if (!here.is()) p->getPropertyValue("TextTable") >>= here;
             return makeTables(s.officePtr(), s.document_, here);
         }},
        {"Cells", K::Get, [](Selection& s, Args&) { return makeCells(s.officePtr(), s.document_); }},
        {"InlineShapes", K::Get,
         [](Selection& s, Args&) { return makeInlineShapes(s.officePtr(), s.document_, s.view().get()); }},
        {"TypeText", K::Method, [](Selection& s, Args& a) { return s.typeText(a); }},
        {"TypeParagraph", K::Method, [](Selection& s, Args&) { return s.typeParagraph(); }},
        {"TypeBackspace", K::Method, [](Selection& s, Args&) { return s.typeBackspace(); }},
        {"MoveLeft", K::Method, [](Selection& s, Args& a) { return s.move(a, 0); }},
        {"MoveRight", K::Method, [](Selection& s, Args& a) { return s.move(a, 1); }},
        {"MoveUp", K::Method, [](Selection& s, Args& a) { return s.move(a, 2); }},
        {"MoveDown", K::Method, [](Selection& s, Args& a) { return s.move(a, 3); }},
        {"WholeStory", K::Method,
         [](Selection& s, Args&) {
             Reference<css::text::XTextViewCursor> v = s.view();
             v->gotoStart(false);
             v->gotoEnd(true);
             s.moved();
             return nothing();
         }},
        {"Collapse", K::Method,
         [](Selection& s, Args& a) {
             Reference<css::text::XTextViewCursor> v = s.view();
             if (a.integer(0, 1) == 0) {
                 v->collapseToEnd();
             } else {
                 v->collapseToStart();
             }
             s.moved();
             return nothing();
         }},
        {"Copy", K::Method,
         [](Selection& s, Args&) {
             dispatchCommand(s.office(), s.document_, ".uno:Copy");
             return nothing();
         }},
        {"Paste", K::Method,
         [](Selection& s, Args&) {
             dispatchCommand(s.office(), s.document_, ".uno:Paste");
             s.moved();
             return nothing();
         }},
        {"InsertBreak", K::Method, [](Selection& s, Args& a) { return s.insertBreak(a); }},
        {"SelectRow", K::Method, [](Selection& s, Args&) { return s.selectLine(true); }},
        {"SelectColumn", K::Method, [](Selection& s, Args&) { return s.selectLine(false); }},
        {"GoTo", K::Method, [](Selection& s, Args& a) { return s.goTo(a); }},
        {"Style", K::Put,
         [](Selection& s, Args& a) {
             OUString name, family;
             if (!styleName(a.assigned(), name, family)) refuse();
             const OUString property =
                 family == "CharacterStyles" ? OUString("CharStyleName") : OUString("ParaStyleName");
             for (const auto& target : s.targets()) target->setPropertyValue(property, Any(name));
             return nothing();
         }},
        {"Style", K::Get,
         [](Selection& s, Args&) {
             Reference<css::beans::XPropertySet> p(s.view(), UNO_QUERY_THROW);
             OUString name;
             p->getPropertyValue("ParaStyleName") >>= name;
             return textValue(name);
         }},
    };
    return table;
}

}  // namespace

AutomationValue makeRange(const OfficePtr& office, TextSpan span, const Reference<css::text::XTextTable>& table) {
    return objectValue(new Range(office, std::move(span), table));
}

AutomationValue makeStoryRange(const OfficePtr& office, const Reference<css::text::XTextDocument>& document) {
    auto* range = new Range(office, {document, {}}, {});
    range->markWholeStory();
    return objectValue(range);
}

AutomationValue makeSelection(const OfficePtr& office, const Reference<css::text::XTextDocument>& document) {
    return objectValue(new Selection(office, document));
}

AutomationValue goToFromDocument(const OfficePtr& office, const Reference<css::text::XTextDocument>& document,
                                 Args& args) {
    return Selection::goToRange(office, document, args);
}

}  // namespace rulecore::word::uno
