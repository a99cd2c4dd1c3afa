#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

#include "page/scan/page_budgets.h"
#include "page/scan/style_sheets.h"
#include "support/repeat.h"

namespace discstart {

namespace {

TEST(StyleSheets, SelectorsAndImportsAsTheEngineReadsThem) {
    struct Case {
        const char* css;
        std::int64_t selectors;
        std::vector<std::string> imports;
    };
    const Case cases[] = {
        {"p{} a b{} c, d, e {}", 5, {}},
        {"@media screen { p{} q, r {} } @page { margin: 0 }", 3, {}},
        {"/* a{} */ b{} c { content: '{' }", 2, {}},
        {"[title=\"a,b\"] x {}", 2, {}},  // read roughly: a selector for each comma
        {"a { b { c } }", 2, {}},
        // Only leading imports, and only those for the screen.
        {"@charset 'utf-8'; @import 'a.css'; @IMPORT url( \"b.css\" ) screen, print; @import 'c.css' print;"
         "@import url(d\\(.css); p{} @import 'e.css';",
         1,
         {"a.css", "b.css", "d(.css"}},
    };
    const HtmlShape page = MeasureHtml("<p>x");
    for (const Case& c : cases) {
        const StyleSheetCost cost = MeasureStyleSheet(c.css, page);
        EXPECT_EQ(cost.selectors, c.selectors) << c.css;
        EXPECT_EQ(cost.imports, c.imports) << c.css;
    }
}

// A descendant selector walks up from every element it is tried on, and the engine tries it
// on every element and again on each of its ancestors: the cost is the product of the rules,
// the depth and the elements, whatever the bytes.
TEST(StyleSheets, WorkGrowsWithSelectorsTimesDepth) {
    const HtmlShape flat = MeasureHtml(Repeat("<div>x</div>", 250));
    const HtmlShape deep = MeasureHtml(Repeat("<div>", 250) + "deep");
    std::string rules;
    for (int i = 0; i < 2000; ++i) rules += "x" + std::to_string(i) + " div {}\n";
    EXPECT_LT(MeasureStyleSheet(rules, flat).work, MaxStyleWork);
    EXPECT_GT(MeasureStyleSheet(rules, deep).work, MaxStyleWork);
    // One rule of 2,000 selectors costs as much as 2,000 rules.
    std::string list = "x0 div";
    for (int i = 1; i < 2000; ++i) list += ", x" + std::to_string(i) + " div";
    EXPECT_EQ(MeasureStyleSheet(list + " {}", deep).work, MeasureStyleSheet(rules, deep).work);
    // Sibling selectors walk along the siblings instead.
    EXPECT_GT(MeasureStyleSheet("div ~ div {}", flat).work, 250 * 250);
}

// The page's style sheets as the engine takes them, each file once whatever name the page gives
// it: `files` stands for the folder, every name up to '?' or '#' naming its file.
struct Folder {
    std::map<std::string, std::string> files;
    std::map<std::string, int> asked;
    std::vector<std::string> given;
    std::string operator()(const std::string& name) {
        ++asked[name];
        const std::string file = name.substr(0, name.find_first_of("?#"));
        const auto found = files.find(file);
        if (found == files.end() || std::find(given.begin(), given.end(), file) != given.end()) return {};
        given.push_back(file);
        return found->second;
    }
};

TEST(StyleSheets, EachFileIsHandedOverOnceWhateverItsNames) {
    Folder folder;
    folder.files = {{"s.css", Repeat("p.x { color: red }\n", 1000)},
                    {"a.css", "@import 'b.css'; @import 'a.css?again'; a {}"},
                    {"b.css", "@import 'a.css'; b {}"}};
    std::string imports;
    for (int i = 0; i < 5000; ++i) imports += "@import 's.css?" + std::to_string(i) + "';";
    const HtmlShape page =
        MeasureHtml("<style>" + imports + "</style><link rel=stylesheet href='s.css#top'>" +
                    "<link rel=stylesheet href=a.css><p>x");
    const PageStyle style = MeasurePageStyle(page, std::ref(folder));
    EXPECT_EQ(style.handed, (std::vector<std::string>{"s.css?0", "a.css", "b.css"}));
    EXPECT_EQ(style.sheets, 4);  // the <style> element's text and one of each file
    EXPECT_TRUE(WithinStyleBudget(style));
    EXPECT_EQ(folder.asked["s.css?0"], 1);
    EXPECT_EQ(folder.asked["a.css"], 1);  // not again from b.css: a name is read once
}

TEST(StyleSheets, ASheetPastABudgetIsLeftOutAndTheTextsOfStyleElementsCountEachTime) {
    Folder folder;
    folder.files = {{"big.css", Repeat("p{}", MaxStyleSelectors)}, {"small.css", "p{}"}};
    const PageStyle linked = MeasurePageStyle(
        MeasureHtml("<link rel=stylesheet href=big.css><link rel=stylesheet href=small.css>"),
        std::ref(folder));
    EXPECT_EQ(linked.handed, std::vector<std::string>{"small.css"});
    EXPECT_TRUE(WithinStyleBudget(linked));

    const auto parsed = [](std::int64_t times) {
        return MeasurePageStyle(MeasureHtml("<style>p{}" + Repeat("</x>", times - 1) + "</style>"),
                                [](const std::string&) { return std::string(); });
    };
    // Each time: the sheet, and its selector.
    EXPECT_TRUE(WithinStyleBudget(parsed(MaxStyleSelectors / 2)));
    EXPECT_FALSE(WithinStyleBudget(parsed(MaxStyleSelectors / 2 + 1)));
}

TEST(StyleSheets, BudgetsEachAtItsEdge) {
    const auto inlined = [](const std::string& css) {
        return MeasurePageStyle(MeasureHtml("<style>" + css + "</style>"),
                                [](const std::string&) { return ""; });
    };
    // The sheet counts one besides its selectors.
    EXPECT_TRUE(WithinStyleBudget(inlined(Repeat("p{}", MaxStyleSelectors - 1))));
    EXPECT_FALSE(WithinStyleBudget(inlined(Repeat("p{}", MaxStyleSelectors))));
    EXPECT_TRUE(WithinStyleBudget(inlined(std::string(std::size_t(MaxStyleBytes), ' '))));
    EXPECT_FALSE(WithinStyleBudget(inlined(std::string(std::size_t(MaxStyleBytes) + 1, ' '))));
    EXPECT_TRUE(WithinStyleBudget({1, 1, 1, MaxStyleWork, {}}));
    EXPECT_FALSE(WithinStyleBudget({1, 1, 1, MaxStyleWork + 1, {}}));
}

}  // namespace

}  // namespace discstart
