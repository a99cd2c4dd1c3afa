#include "page/scan/style_sheets.h"

#include <algorithm>
#include <optional>
#include <set>
#include <utility>

#include "page/scan/page_budgets.h"

namespace discstart {

namespace {

// The costs of the engine's steps, in units of one selector's first step against an element
// (some 10 ns on a busy two-core machine), measured on pages made of each (README, "Budgets"):
// a walk to the parent or a previous sibling copies the selector's step and matches it there;
// finding a sibling scans the parent's list of children, which is cheap per child; every sheet
// is looked at for every element and ancestor matched.
constexpr double DeclarationWork = 2;
constexpr double WalkStepWork = 5;
constexpr double SiblingScanWork = 0.05;
// A sheet costs a look for every element and ancestor matched, and much more when it holds
// rules sorted by element name or by id: the engine then makes a list of the element's name or
// id for each look.
constexpr double SheetWork = 2;
constexpr double NameIndexWork = 25;
constexpr double IdIndexWork = 14;

bool IsCssSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool IsNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || static_cast<unsigned char>(c) >= 0x80;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsCssSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsCssSpace(text.back())) text.remove_suffix(1);
    return text;
}

bool StartsWithNoCase(std::string_view text, std::string_view lowerPrefix) {
    if (text.size() < lowerPrefix.size()) return false;
    for (std::size_t i = 0; i < lowerPrefix.size(); ++i)
        if (Lower(text[i]) != lowerPrefix[i]) return false;
    return true;
}

struct Selector {
    std::string element;  // of its last step, lower case; empty for any
    bool id = false;      // its last step names an id (a read too rough: may)
    int steps = 1;
    bool descendant = false;  // walks up through ancestors
    int adjacent = 0;         // "+": one step to the previous sibling
    bool sibling = false;     // "~": walks through the previous siblings
};

bool IsPlainSelectorCharacter(char c) {
    return IsNameCharacter(c) || IsCssSpace(c) || c == '.' || c == '#' || c == ':' || c == '*' || c == '>' ||
           c == '+' || c == '~' || c == ',';
}

bool IsCombinator(char c) {
    return IsCssSpace(c) || c == '>' || c == '+' || c == '~';
}

Selector PlainSelector(std::string_view text) {
    Selector selector;
    text = Trimmed(text);
    std::size_t lastStep = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (!IsCombinator(text[i])) {
            ++i;
            continue;
        }
        bool named = false;  // ">", "+" or "~" rather than white space alone
        for (; i < text.size() && IsCombinator(text[i]); ++i) {
            if (text[i] == '+') ++selector.adjacent;
            if (text[i] == '~') selector.sibling = true;
            named = named || !IsCssSpace(text[i]);
        }
        if (i == text.size()) break;
        ++selector.steps;
        selector.descendant = selector.descendant || !named;
        lastStep = i;
    }
    for (std::size_t i = lastStep; i < text.size() && IsNameCharacter(text[i]); ++i)
        selector.element += Lower(text[i]);
    selector.id = text.find('#', lastStep) != std::string_view::npos;
    return selector;
}

// The selectors of a rule's prelude: exactly when it holds plain names and combinators alone,
// otherwise as many as it has commas and each with all its combinators, against every element.
std::vector<Selector> Selectors(std::string_view prelude) {
    std::vector<Selector> selectors;
    if (std::all_of(prelude.begin(), prelude.end(), IsPlainSelectorCharacter)) {
        std::size_t start = 0;
        for (std::size_t comma; (comma = prelude.find(',', start)) != std::string_view::npos;
             start = comma + 1)
            selectors.push_back(PlainSelector(prelude.substr(start, comma - start)));
        selectors.push_back(PlainSelector(prelude.substr(start)));
        return selectors;
    }
    Selector any;
    any.descendant = true;
    any.id = true;
    bool inSpace = false;
    for (const char c : prelude) {
        if (c == '+') ++any.adjacent;
        if (c == '~') any.sibling = true;
        if ((IsCombinator(c) && !inSpace) || c == '>' || c == '+' || c == '~') ++any.steps;
        inSpace = IsCssSpace(c);
    }
    selectors.assign(std::size_t(std::count(prelude.begin(), prelude.end(), ',')) + 1, any);
    return selectors;
}

double SelectorWork(const Selector& selector, double declarations, const HtmlShape& page) {
    // Its first step against every element and ancestor: a sheet the engine could not read to
    // its end keeps its rules unsorted, and then each is tried everywhere.
    double work = page.all.visits;
    const ElementCost* elements = &page.all;
    if (!selector.element.empty()) {
        const auto named = page.elements.find(selector.element);
        if (named == page.elements.end()) return work;
        elements = &named->second;
    }
    work += elements->visits * (selector.steps + DeclarationWork * declarations);
    if (selector.descendant) work += WalkStepWork * elements->depth;
    work += selector.adjacent * (WalkStepWork * elements->visits + SiblingScanWork * elements->siblings);
    if (selector.sibling) work += WalkStepWork * elements->reach + SiblingScanWork * elements->reachSquared;
    return work;
}

// A quoted text from `at` (on the quote), backslashes taken out as the engine does.
std::string Quoted(std::string_view text, std::size_t& at) {
    const char quote = text[at++];
    std::string out;
    for (; at < text.size() && text[at] != quote; ++at) {
        if (text[at] == '\\' && at + 1 < text.size()) ++at;
        out += text[at];
    }
    ++at;
    return out;
}

// The name an @import gives (what follows "@import"), when it applies to the screen.
void AddImport(std::string_view rest, std::vector<std::string>& imports) {
    rest = Trimmed(rest);
    std::size_t at = 0;
    std::string name;
    if (!rest.empty() && (rest[0] == '"' || rest[0] == '\'')) {
        name = Quoted(rest, at);
    } else if (StartsWithNoCase(rest, "url(")) {
        const std::size_t close = rest.find(')');
        if (close == std::string_view::npos) return;
        const std::string_view inner = Trimmed(rest.substr(4, close - 4));
        std::size_t from = 0;
        if (!inner.empty() && (inner[0] == '"' || inner[0] == '\'')) {
            name = Quoted(inner, from);
        } else {
            for (; from < inner.size(); ++from) {
                if (inner[from] == '\\' && from + 1 < inner.size()) ++from;
                name += inner[from];
            }
        }
        at = close + 1;
    } else {
        return;
    }
    const std::string_view media = Trimmed(rest.substr(std::min(at, rest.size())));
    bool screen = media.empty();
    for (std::size_t i = 0; i < media.size() && !screen; ++i) {
        screen = StartsWithNoCase(media.substr(i), "screen") && (i == 0 || !IsNameCharacter(media[i - 1])) &&
                 (i + 6 == media.size() || !IsNameCharacter(media[i + 6]));
    }
    if (screen) imports.push_back(std::move(name));
}

// A block the scan is in: rules (a @media block), declarations (a rule's) or another at-rule's.
struct Block {
    bool rules = false;
    std::vector<Selector> selectors;
    int declarations = 0;
};

}  // namespace

StyleSheetCost MeasureStyleSheet(std::string_view css, const HtmlShape& page) {
    StyleSheetCost cost;
    std::vector<Block> open;  // inside the top level
    const auto inRules = [&open] { return open.empty() || open.back().rules; };
    const auto close = [&] {
        const Block& block = open.back();
        for (const Selector& selector : block.selectors) {
            cost.work += SelectorWork(selector, block.declarations + 1, page);
            // A read too rough to tell may be either.
            cost.namesIndexed = cost.namesIndexed || !selector.element.empty() || selector.id;
            cost.idsIndexed = cost.idsIndexed || selector.id;
        }
        cost.selectors += std::int64_t(block.selectors.size());
        open.pop_back();
    };
    bool importsAllowed = true;  // only before any rule
    std::size_t prelude = 0;     // where the text before the next '{' or ';' starts
    for (std::size_t i = 0; i < css.size();) {
        const char c = css[i];
        if (c == '/' && i + 1 < css.size() && css[i + 1] == '*') {
            const std::size_t end = css.find("*/", i + 2);
            i = end == std::string_view::npos ? css.size() : end + 2;
        } else if (c == '"' || c == '\'') {
            // A string ends at its quote or, unfinished, at the end of the line.
            for (++i; i < css.size() && css[i] != c && css[i] != '\n' && css[i] != '\r' && css[i] != '\f';
                 ++i)
                if (css[i] == '\\') ++i;
            i = std::min(i + 1, css.size());
        } else if (c == '\\') {
            i = std::min(i + 2, css.size());
        } else if (c == '{') {
            const std::string_view before = Trimmed(css.substr(prelude, i - prelude));
            Block block;
            if (inRules() && !before.empty() && before[0] == '@') {
                block.rules = StartsWithNoCase(before, "@media");
            } else {
                block.selectors = Selectors(before);
            }
            importsAllowed = false;
            open.push_back(std::move(block));
            prelude = ++i;
        } else if (c == '}') {
            if (!open.empty()) close();
            prelude = ++i;
        } else if (c == ';') {
            if (!inRules()) {
                ++open.back().declarations;
            } else {
                const std::string_view statement = Trimmed(css.substr(prelude, i - prelude));
                if (open.empty() && importsAllowed && StartsWithNoCase(statement, "@import")) {
                    AddImport(statement.substr(7), cost.imports);
                } else if (!StartsWithNoCase(statement, "@charset")) {
                    importsAllowed = false;
                }
            }
            prelude = ++i;
        } else {
            ++i;
        }
    }
    while (!open.empty()) close();
    return cost;
}

PageStyle MeasurePageStyle(const HtmlShape& page, const StyleSheetLoader& load) {
    PageStyle style;
    // Adds a sheet to what the engine holds; a linked one only when it stays within the budgets.
    const auto take = [&](std::string_view css, bool linked) -> std::optional<std::vector<std::string>> {
        StyleSheetCost sheet = MeasureStyleSheet(css, page);
        const PageStyle before{style.sheets, style.selectors, style.bytes, style.work, {}};
        ++style.sheets;
        style.selectors += sheet.selectors + 1;
        style.bytes += std::int64_t(css.size());
        const double perVisit =
            SheetWork + (sheet.namesIndexed ? NameIndexWork : 0) + (sheet.idsIndexed ? IdIndexWork : 0);
        style.work += sheet.work + perVisit * (page.all.visits + 1);
        if (linked && !WithinStyleBudget(style)) {
            std::vector<std::string> handed = std::move(style.handed);
            style = before;
            style.handed = std::move(handed);
            return std::nullopt;
        }
        return std::move(sheet.imports);
    };
    // A sheet's imports are read as soon as it is, depth first; a name already read is not read
    // again.
    std::set<std::string> read;
    const auto importAll = [&](std::vector<std::string> names) {
        std::vector<std::pair<std::vector<std::string>, std::size_t>> pending;
        pending.emplace_back(std::move(names), 0);
        while (!pending.empty() && WithinStyleBudget(style)) {
            auto& [list, next] = pending.back();
            if (next == list.size()) {
                pending.pop_back();
                continue;
            }
            const std::string name = list[next++];
            if (read.count(name) > 0) continue;
            const std::string css = load(name);
            if (css.empty()) continue;
            read.insert(name);
            auto imports = take(css, true);
            if (!imports) continue;
            style.handed.push_back(name);
            pending.emplace_back(std::move(*imports), 0);
        }
    };
    for (const StyleEvent& event : page.styleEvents) {
        if (!WithinStyleBudget(style)) break;
        if (event.inlineSheet >= 0) {
            const std::string_view text = page.inlineSheets[std::size_t(event.inlineSheet)];
            importAll(*take(text.substr(0, event.length), false));
        } else {
            importAll({event.href});
        }
    }
    return style;
}

bool WithinStyleBudget(const PageStyle& style) {
    return style.selectors <= MaxStyleSelectors && style.bytes <= MaxStyleBytes && style.work <= MaxStyleWork;
}

bool WithinPageBudget(const HtmlShape& shape, const PageStyle& style) {
    return WithinPageBudget(shape) && WithinStyleBudget(style);
}

}  // namespace discstart
