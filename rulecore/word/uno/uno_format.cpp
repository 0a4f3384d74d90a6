#include <com/sun/star/awt/FontSlant.hpp>
#include <com/sun/star/awt/FontUnderline.hpp>
#include <com/sun/star/awt/FontWeight.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/style/ParagraphAdjust.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>

#include "rulecore/word/uno/uno_model.h"

namespace rulecore::word::uno {

namespace {

using css::uno::Any;

// Writes one property, or several (western, Asian and complex script forms), on
// every target.
void putAll(const PropertyTargets& targets, std::initializer_list<const char*> names, const Any& value) {
    for (const auto& target : targets) {
        for (const char* name : names) target->setPropertyValue(OUString::createFromAscii(name), value);
    }
}

Any first(const PropertyTargets& targets, const char* name) {
    if (targets.empty()) refuse();
    return targets.front()->getPropertyValue(OUString::createFromAscii(name));
}

class Font final : public Model<Font> {
public:
    Font(OfficePtr office, PropertyTargets targets) : Model(std::move(office)), targets_(std::move(targets)) {}
    static std::span<const Member<Font>> members();

private:
    PropertyTargets targets_;
};

// Word's underline kinds: none 0, single 1, words 2, double 3, dotted 4, thick 6,
// dash 7, dot-dash 9, wavy 11.
sal_Int16 officeUnderline(std::int32_t word) {
    namespace U = css::awt::FontUnderline;
    switch (word) {
        case 0: return U::NONE;
        case 1: case 2: return U::SINGLE;
        case 3: return U::DOUBLE;
        case 4: return U::DOTTED;
        case 6: return U::BOLD;
        case 7: return U::DASH;
        case 9: return U::DASHDOT;
        case 11: return U::WAVE;
        default: return U::SINGLE;
    }
}

std::int32_t wordUnderline(sal_Int16 office) {
    namespace U = css::awt::FontUnderline;
    switch (office) {
        case U::NONE: case U::DONTKNOW: return 0;
        case U::DOUBLE: return 3;
        case U::DOTTED: return 4;
        case U::BOLD: return 6;
        case U::DASH: return 7;
        case U::DASHDOT: return 9;
        case U::WAVE: return 11;
        default: return 1;
    }
}

std::span<const Member<Font>> Font::members() {
    using K = MemberKind;
    static const Member<Font> table[] = {
        {"Bold", K::Get,
         [](Font& f, Args&) {
             float weight = 0;
             first(f.targets_, "CharWeight") >>= weight;
             return booleanValue(weight > css::awt::FontWeight::NORMAL);
         }},
        {"Bold", K::Put,
         [](Font& f, Args& a) {
             const float weight = booleanOf(a.assigned()) ? css::awt::FontWeight::BOLD : css::awt::FontWeight::NORMAL;
             putAll(f.targets_, {"CharWeight", "CharWeightAsian", "CharWeightComplex"}, Any(weight));
             return nothing();
         }},
        {"Italic", K::Get,
         [](Font& f, Args&) {
             css::awt::FontSlant slant = css::awt::FontSlant_NONE;
             first(f.targets_, "CharPosture") >>= slant;
             return booleanValue(slant != css::awt::FontSlant_NONE);
         }},
        {"Italic", K::Put,
         [](Font& f, Args& a) {
             const auto slant = booleanOf(a.assigned()) ? css::awt::FontSlant_ITALIC : css::awt::FontSlant_NONE;
             putAll(f.targets_, {"CharPosture", "CharPostureAsian", "CharPostureComplex"}, Any(slant));
             return nothing();
         }},
        {"Size", K::Get,
         [](Font& f, Args&) {
             float size = 0;
             first(f.targets_, "CharHeight") >>= size;
             return numberValue(size);
         }},
        {"Size", K::Put,
         [](Font& f, Args& a) {
             const AutomationValue& v = a.assigned();
             const double size = v.kind == ValueKind::Double ? v.number : integerOf(v);
             if (size < 1 || size > 1638) refuse();
             putAll(f.targets_, {"CharHeight", "CharHeightAsian", "CharHeightComplex"}, Any(static_cast<float>(size)));
             return nothing();
         }},
        {"Name", K::Get,
         [](Font& f, Args&) {
             OUString name;
             first(f.targets_, "CharFontName") >>= name;
             return textValue(name);
         }},
        {"Name", K::Put,
         [](Font& f, Args& a) {
             const OUString name = textOf(a.assigned());
             if (name.isEmpty()) refuse();
             putAll(f.targets_, {"CharFontName"}, Any(name));
             // A name outside ASCII is an East Asian font: it serves that script too.
             bool asian = false;
             for (sal_Int32 i = 0; i < name.getLength(); ++i) asian = asian || name[i] > 0x7F;
             if (asian) putAll(f.targets_, {"CharFontNameAsian"}, Any(name));
             return nothing();
         }},
        {"Color", K::Get,
         [](Font& f, Args&) {
             sal_Int32 color = -1;
             first(f.targets_, "CharColor") >>= color;
             return integerValue(officeColorToWord(color));
         }},
        {"Color", K::Put,
         [](Font& f, Args& a) {
             putAll(f.targets_, {"CharColor"}, Any(sal_Int32(wordColorToOffice(integerOf(a.assigned())))));
             return nothing();
         }},
        {"UnderLine", K::Get,
         [](Font& f, Args&) {
             sal_Int16 kind = 0;
             first(f.targets_, "CharUnderline") >>= kind;
             return integerValue(wordUnderline(kind));
         }},
        {"UnderLine", K::Put,
         [](Font& f, Args& a) {
             const std::int32_t kind = integerOf(a.assigned());
             putAll(f.targets_, {"CharUnderline"}, Any(officeUnderline(kind)));
             putAll(f.targets_, {"CharWordMode"}, Any(kind == 2));
             return nothing();
         }},
        {"Spacing", K::Get,
         [](Font& f, Args&) {
             sal_Int16 kerning = 0;
             first(f.targets_, "CharKerning") >>= kerning;
             return numberValue(hundredthMillimetresToPoints(kerning));
         }},
        {"Spacing", K::Put,
         [](Font& f, Args& a) {
             const AutomationValue& v = a.assigned();
             const double points = v.kind == ValueKind::Double ? v.number : integerOf(v);
             if (points < -1584 || points > 1584) refuse();
             putAll(f.targets_, {"CharKerning"}, Any(static_cast<sal_Int16>(pointsToHundredthMillimetres(points))));
             return nothing();
         }},
        {"Shadow", K::Get,
         [](Font& f, Args&) {
             bool on = false;
             first(f.targets_, "CharShadowed") >>= on;
             return booleanValue(on);
         }},
        {"Shadow", K::Put,
         [](Font& f, Args& a) {
             putAll(f.targets_, {"CharShadowed"}, Any(booleanOf(a.assigned())));
             return nothing();
         }},
    };
    return table;
}

// Word's alignments: left 0, centre 1, right 2, justify 3 (and 4 to 9, justified
// variants).
css::style::ParagraphAdjust officeAlignment(std::int32_t word) {
    switch (word) {
        case 0: return css::style::ParagraphAdjust_LEFT;
        case 1: return css::style::ParagraphAdjust_CENTER;
        case 2: return css::style::ParagraphAdjust_RIGHT;
        case 3: case 4: case 5: case 7: case 8: case 9: return css::style::ParagraphAdjust_BLOCK;
        default: refuse();
    }
}

class ParagraphFormat final : public Model<ParagraphFormat> {
public:
    ParagraphFormat(OfficePtr office, PropertyTargets targets) : Model(std::move(office)), targets_(std::move(targets)) {}
    static std::span<const Member<ParagraphFormat>> members() {
        using K = MemberKind;
        static const Member<ParagraphFormat> table[] = {
            {"Alignment", K::Get,
             [](ParagraphFormat& p, Args&) {
                 sal_Int16 adjust = 0;
                 first(p.targets_, "ParaAdjust") >>= adjust;
                 switch (adjust) {
                     case 1: return integerValue(2);
                     case 2: return integerValue(3);
                     case 3: return integerValue(1);
                     default: return integerValue(0);
                 }
             }},
            {"Alignment", K::Put,
             [](ParagraphFormat& p, Args& a) {
                 putAll(p.targets_, {"ParaAdjust"}, Any(officeAlignment(integerOf(a.assigned()))));
                 return nothing();
             }},
        };
        return table;
    }

private:
    PropertyTargets targets_;
};

// ---- styles

// Word's names of the built-in styles, as the office calls them.
OUString fromUtf8Literal(std::u8string_view text) {
    return OUString(reinterpret_cast<const char*>(text.data()), static_cast<sal_Int32>(text.size()),
                    RTL_TEXTENCODING_UTF8);
}

OUString officeStyleName(const OUString& word) {
    if (word.equalsIgnoreAsciiCase("Normal") || word == fromUtf8Literal(u8"正文")) return "Standard";
    for (int level = 1; level <= 9; ++level) {
        if (word.equalsIgnoreAsciiCase(OUString("Heading ") + OUString::number(level)) ||
            word == fromUtf8Literal(u8"标题 ") + OUString::number(level))
            return OUString("Heading ") + OUString::number(level);
    }
    if (word == fromUtf8Literal(u8"标题")) return "Title";
    return word;
}

class Style final : public Model<Style> {
public:
    Style(OfficePtr office, OUString name, OUString family)
        : Model(std::move(office)), name_(std::move(name)), family_(std::move(family)) {}
    static std::span<const Member<Style>> members() {
        using K = MemberKind;
        static const Member<Style> table[] = {
            {"NameLocal", K::Get, [](Style& s, Args&) { return textValue(s.name_); }},
        };
        return table;
    }
    OUString name_;
    OUString family_;
};

class Styles final : public Model<Styles> {
public:
    Styles(OfficePtr office, Reference<css::text::XTextDocument> document)
        : Model(std::move(office)), document_(std::move(document)) {}
    static std::span<const Member<Styles>> members() {
        using K = MemberKind;
        static const Member<Styles> table[] = {
            {"Item", K::Method, [](Styles& s, Args& a) { return s.item(a.text(0)); }},
            {"Count", K::Get,
             [](Styles& s, Args&) {
                 std::int32_t count = 0;
                 for (const char* family : families) {
                     Reference<css::container::XNameAccess> styles(s.family(family), UNO_QUERY);
                     if (styles.is()) count += styles->getElementNames().getLength();
                 }
                 return integerValue(count);
             }},
        };
        return table;
    }

private:
    static constexpr const char* families[] = {"ParagraphStyles", "CharacterStyles", "TableStyles"};

    Reference<css::container::XNameAccess> family(const char* name) {
        Reference<css::style::XStyleFamiliesSupplier> supplier(document_, UNO_QUERY_THROW);
        Reference<css::container::XNameAccess> all = supplier->getStyleFamilies();
        if (!all->hasByName(OUString::createFromAscii(name))) return {};
        return Reference<css::container::XNameAccess>(all->getByName(OUString::createFromAscii(name)), UNO_QUERY);
    }

    AutomationValue item(const OUString& wanted) {
        const OUString name = officeStyleName(wanted);
        for (const char* f : families) {
            Reference<css::container::XNameAccess> styles = family(f);
            if (styles.is() && styles->hasByName(name)) {
                return objectValue(new Style(officePtr(), name, OUString::createFromAscii(f)));
            }
        }
        refuse();
    }

    Reference<css::text::XTextDocument> document_;
};

}  // namespace

AutomationValue makeFont(const OfficePtr& office, PropertyTargets targets) {
    return objectValue(new Font(office, std::move(targets)));
}

AutomationValue makeParagraphFormat(const OfficePtr& office, PropertyTargets targets) {
    return objectValue(new ParagraphFormat(office, std::move(targets)));
}

AutomationValue makeStyles(const OfficePtr& office, const Reference<css::text::XTextDocument>& document) {
    return objectValue(new Styles(office, document));
}

bool styleName(const AutomationValue& value, OUString& name, OUString& family) {
    if (auto* style = objectArgument<Style>(value)) {
        name = style->name_;
        family = style->family_;
        return true;
    }
    if (value.kind != ValueKind::Text) return false;
    name = officeStyleName(textOf(value));
    family = "ParagraphStyles";
    return !name.isEmpty();
}

}  // namespace rulecore::word::uno
