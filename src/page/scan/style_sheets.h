#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "page/scan/html_shape.h"

namespace discstart {

// One style sheet as the light engine takes it, against the page it is matched on: the names its
// leading @import rules give for the screen, in order, and an upper bound of what matching its
// selectors costs (HtmlShape's ElementCost units). A selector list counts each selector; a
// selector too odd to read exactly (strings, brackets, escapes) counts as one matched against
// every element, with every combinator its list holds.
struct StyleSheetCost {
    std::vector<std::string> imports;
    std::int64_t selectors = 0;
    double work = 0;
    bool namesIndexed = false;  // the engine sorts some of its rules by element name
    bool idsIndexed = false;    // ...or by id
};
StyleSheetCost MeasureStyleSheet(std::string_view css, const HtmlShape& page);

// All the style sheets the engine is handed while it parses the page, each counted every time:
// the <style> elements' texts and the linked and imported sheets, each name once. `load` gives a
// linked sheet's text by the name the engine asks for; empty for none, and for a file already
// handed over under another name.
struct PageStyle {
    std::int64_t sheets = 0;
    std::int64_t selectors = 0;  // and one for each sheet
    std::int64_t bytes = 0;
    double work = 0;
    // The names of the linked sheets the engine gets, in order; a sheet that would pass a
    // budget is left out, with what it imports.
    std::vector<std::string> handed;
};
using StyleSheetLoader = std::function<std::string(const std::string& name)>;
// Stops asking for sheets once past a budget.
PageStyle MeasurePageStyle(const HtmlShape& page, const StyleSheetLoader& load);
bool WithinStyleBudget(const PageStyle& style);
bool WithinPageBudget(const HtmlShape& shape, const PageStyle& style);

}  // namespace discstart
