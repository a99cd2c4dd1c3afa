#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace discstart {

// What matching one selector against elements costs the light engine, summed over elements
// (of one name, or all). The engine matches the rules against each new element and again
// against every ancestor of it, so an element counts once for each element at or below it.
// With d its depth and s 1 + the most siblings before it or an ancestor:
struct ElementCost {
    double visits = 0;        // times the element is matched
    double depth = 0;         // the same times d: a descendant selector's walk up
    double siblings = 0;      // times s: a step to a previous sibling looks for it among s
    double reach = 0;         // times d x s: an indirect sibling selector's walk up and along
    double reachSquared = 0;  // times d x s x s: each step of that walk looking among s

    void add(double count, double depthHere, double siblingsHere);
};

// A style sheet the engine is handed while it parses the page, in its order: a linked one (by
// the name the page gives it) or the text of a <style> element as it stood then. The engine
// parses a <style> element's text at every end tag met while nothing else has come after it.
struct StyleEvent {
    std::string href;        // linked: the name as the engine reads it
    int inlineSheet = -1;    // otherwise the element's text in `inlineSheets`...
    std::size_t length = 0;  // ...up to here
};

// What parsing a page costs the light engine, measured by building its element tree as that
// engine does (HtmlTokenizer, and its rules for where an element goes: a paragraph ends at the
// next one, a cell finds its row, a row its table, a table is made for a cell without one, an
// empty text node is reused). What the engine then lays out is measured on the document it
// builds (page/document_shape).
struct HtmlShape {
    int tags = 0;
    int depth = 0;  // of the deepest element: the engine walks every element's ancestors
    // Byte offsets where a link to a style sheet without a type ends its name: the engine
    // ignores such a link unless it is given one.
    std::vector<std::size_t> untypedStyleSheets;
    std::vector<StyleEvent> styleEvents;
    std::vector<std::string> inlineSheets;
    std::int64_t inlineStyleBytes = 0;                      // every time each is parsed
    std::unordered_map<std::string, ElementCost> elements;  // by name
    ElementCost all;
};

// Measures a UTF-8 page. Stops at the first budget passed (WithinPageBudget): past it the
// answer is known, and the scan stays linear. `shown`, when given, gets each run of text the
// engine shows, with the depth of the element whose style it takes: what the engine builds, to
// compare.
using ShownText = std::function<void(std::string_view text, int depth)>;
HtmlShape MeasureHtml(std::string_view html, const ShownText& shown = {});
bool WithinPageBudget(const HtmlShape& shape);

// The page with `type="text/css"` added to each link to a style sheet without a type (as HTML5
// pages write them), which the engine would otherwise ignore.
std::string WithStyleSheetTypes(std::string html, const HtmlShape& shape);

}  // namespace discstart
