#include <gtest/gtest.h>

#include "page/scan/html_shape.h"
#include "page/scan/html_tokenizer.h"
#include "page/scan/page_budgets.h"
#include "support/repeat.h"

namespace discstart {

namespace {

// Where the engine puts elements, which is what its parse costs: it walks every element's
// ancestors. The rows are where it differs from a browser.
TEST(HtmlShape, BuildsTheEnginesTree) {
    struct Case {
        const char* what;
        std::string html;
        int tags;
        int depth;
    };
    const Case cases[] = {
        {"paragraphs end each other", "<p>a<p>b<p>c", 3, 1},
        {"a list item nests in its sibling's bold", "<ul><li><b>a<li>b", 4, 4},
        {"unclosed bold nests", Repeat("<b>", 40) + "x", 40, 40},
        {"no raw text: xmp holds markup", "<xmp>" + Repeat("<b>", 40) + "</xmp>", 41, 41},
        {"nor script", "<script>if (a<b) x()</script>", 2, 2},
        {"a cell gets a table and a row", "<td>a<td>b", 2, 3},
        {"a row gets a table", "<tr><td>a</tr>", 2, 3},
        {"comments and declarations hide tags", "<!-- <div><div> --><![CDATA[ <b> ]]>x", 0, 0},
        {"a declaration ends at its first '>'", "<![CDATA[ a > <b> ]]>", 1, 1},
        {"'<' opens a tag before a space", "a < b", 1, 1},
        {"a reference names a tag", "<&#98;><&#x62;>", 2, 2},
        {"end tags match in any case", "<B><i></b><u>", 3, 2},
        {"\"</br>\" right after <br> takes up its closed parent again", "<div><div><br></div></div></br><b>x",
         4, 3},
    };
    for (const Case& c : cases) {
        const HtmlShape shape = MeasureHtml(c.html);
        EXPECT_EQ(shape.tags, c.tags) << c.what;
        EXPECT_EQ(shape.depth, c.depth) << c.what;
    }
}

// Every element counts once for itself and once for each element below it; the depth sums
// weigh that by how far up a descendant selector may walk.
TEST(HtmlShape, CountsWhatMatchingCosts) {
    const HtmlShape shape = MeasureHtml("<div><div><div></div></div></div><p>");
    const ElementCost& divs = shape.elements.at("div");
    EXPECT_EQ(divs.visits, 3 + 2 + 1);
    EXPECT_EQ(divs.depth, 3 * 1 + 2 * 2 + 1 * 3);
    EXPECT_EQ(shape.all.visits, 7);
    EXPECT_EQ(shape.elements.at("p").siblings, 2);  // the root holds two
}

TEST(HtmlShape, StyleSheetsAsTheEngineIsHandedThem) {
    struct Case {
        const char* html;
        std::vector<std::string> sheets;  // "<name>" for a linked one, the text for a <style>
    };
    const Case cases[] = {
        {"<style>p{}</style>", {"p{}"}},
        // Parsed at every end tag while the element is last, with the text it has then.
        {"<style>a{}</x>b{}</style>", {"a{}", "a{}b{}"}},
        {"<style>a{}<b>x</b></style>", {}},
        {"<style><!-- a{} --></style>", {""}},
        {"<link rel=stylesheet href=a.css><link type=text/css rel=icon href=b.css>", {"<a.css>", "<b.css>"}},
        {"<link rel=icon href=c.css><link rel=stylesheet type=text/plain href=d.css><link rel=stylesheet>",
         {}},
        {"<link rel=stylesheet href='x&amp;y.css'><link rel=stylesheet href=\"x&amp;y.css\">",
         {"<x&amp;y.css>", "<x&y.css>"}},
    };
    for (const Case& c : cases) {
        const HtmlShape shape = MeasureHtml(c.html);
        std::vector<std::string> sheets;
        for (const StyleEvent& e : shape.styleEvents) {
            sheets.push_back(e.inlineSheet < 0
                                 ? "<" + e.href + ">"
                                 : shape.inlineSheets.at(std::size_t(e.inlineSheet)).substr(0, e.length));
        }
        EXPECT_EQ(sheets, c.sheets) << c.html;
    }
}

TEST(HtmlShape, LinkedStyleSheetsGetTheTypeTheEngineWants) {
    struct Case {
        std::string html;
        std::string typed;
    };
    const Case cases[] = {
        {"<LINK REL=StyleSheet HREF=a.css><p>x", "<LINK type=\"text/css\" REL=StyleSheet HREF=a.css><p>x"},
        {"<link href='a.css' rel = ' stylesheet '/>",
         "<link type=\"text/css\" href='a.css' rel = ' stylesheet '/>"},
        {"<link rel=stylesheet type=text/css href=a.css>", "<link rel=stylesheet type=text/css href=a.css>"},
        {"<link rel=\"alternate stylesheet\" href=a.css>", "<link rel=\"alternate stylesheet\" href=a.css>"},
        {"<!-- <link rel=stylesheet href=a.css> -->", "<!-- <link rel=stylesheet href=a.css> -->"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WithStyleSheetTypes(c.html, MeasureHtml(c.html)), c.typed) << c.html;
}

TEST(HtmlShape, BudgetsEachAtItsEdge) {
    struct Case {
        const char* what;
        std::string within;
        std::string past;
    };
    const std::string sheet(std::size_t(MaxStyleBytes), ' ');
    const Case cases[] = {
        {"nesting", Repeat("<div>", MaxPageDepth), Repeat("<div>", MaxPageDepth + 1)},
        {"tags", Repeat("<br>", MaxPageTags), Repeat("<br>", MaxPageTags + 1)},
        {"style text parsed", "<style>" + sheet + "</style>", "<style>" + sheet + " </style>"},
        {"style sheets", "<style>" + Repeat("</x>", MaxStyleSelectors - 1) + "</style>",
         "<style>" + Repeat("</x>", MaxStyleSelectors) + "</style>"},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(WithinPageBudget(MeasureHtml(c.within))) << c.what;
        EXPECT_FALSE(WithinPageBudget(MeasureHtml(c.past))) << c.what;
    }
}

// Numbers as the engine reads them for a character reference.
TEST(HtmlReference, NamesAndNumbers) {
    const std::pair<const char*, const char*> cases[] = {
        {"amp", "&"},
        {"AMP", "&"},
        {"Amp", nullptr},
        {"eacute", "\xC3\xA9"},
        {"#98", "b"},
        {"#x62", "b"},
        {"#X62", "b"},
        {"#+98", "b"},
        {"#x0x62", "b"},
        {"#-98", nullptr},
        {"#98a", nullptr},
        {"#x", nullptr},
        {"#4294967296", nullptr},
        {"#128", "\xE2\x82\xAC"},  // numbers 128 to 159 as Windows-1252
    };
    for (const auto& [name, character] : cases) {
        const auto got = HtmlReference(name);
        EXPECT_EQ(got.has_value(), character != nullptr) << name;
        if (got && character != nullptr) {
            EXPECT_EQ(*got, character) << name;
        }
    }
}

}  // namespace

}  // namespace discstart
