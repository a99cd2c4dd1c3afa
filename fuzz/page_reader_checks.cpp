// A page's bytes through the readers' page layer: the tokenizer, the tree the light engine
// builds, the style cost and the walk through the files a page names under the one rule.
#include <cmath>

#include "check_support.h"
#include "fuzz_checks.h"
#include "page/scan/html_shape.h"
#include "page/scan/page_files.h"
#include "page/scan/style_sheets.h"

namespace discstart {

namespace {

bool HasOddName(const std::string& path) {
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        const std::string name = path.substr(start, end - start);
        if (name.empty() || name == "." || name == ".." || name.front() == '.') return true;
        start = end + 1;
    }
    return false;
}

}  // namespace

Problems CheckPageReader(FileBytes file) {
    Problems problems;
    const std::string bytes(file.begin(), file.end());
    const HtmlShape shape = MeasureHtml(bytes);
    Expect(shape.depth <= 3 * shape.tags, problems, "nesting deeper than the tags that make it");
    for (const StyleEvent& event : shape.styleEvents) {
        Expect(event.inlineSheet < 0 ||
                   (std::size_t(event.inlineSheet) < shape.inlineSheets.size() &&
                    event.length <= shape.inlineSheets[std::size_t(event.inlineSheet)].size()),
               problems, "a style text event past its element's text");
    }
    const StyleSheetCost sheet = MeasureStyleSheet(bytes, shape);
    Expect(std::isfinite(sheet.work) && sheet.work >= 0 && sheet.selectors >= 0, problems,
           "a style cost out of range");

    // The bytes as a page, and again as the style sheet and the page it names.
    MemoryFiles files;
    files.add("/d/intro.htm", bytes);
    files.add("/d/s.css", bytes);
    files.add("/d/sub/more.htm", bytes);
    for (const PageReference& r : PageReferences("/d", "intro.htm", files)) {
        const bool admitted = r.refusal == PageRefusal::None;
        Expect(!admitted || !HasOddName(r.path), problems,
               "admitted a path with a hidden or dot name: " + r.path);
        Expect(r.path.empty() == (r.refusal == PageRefusal::Outside), problems,
               "a path given for a file outside, or none for one inside: " + r.reference);
    }
    return problems;
}

}  // namespace discstart
