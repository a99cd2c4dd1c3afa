// The page scan (readers/html_shape) builds the tree the light engine's parser builds: on the
// same markup, the text the engine shows and the depth of the element each character lands in
// agree (in any order: the engine moves text that stands in a table outside its cells). If Qt's
// parser changes, this is where the two part.
#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>
#include <random>

#include "page/scan/html_shape.h"

namespace discstart {

namespace {

// Deeper than any input here nests; both sides stop counting there.
constexpr int Deepest = 60;

// Rules of k universal steps colour what lies k elements deep: the last (deepest) that matches
// wins. The engine then writes each character's depth into its colour.
QString DepthStyleSheet() {
    QString sheet;
    for (int k = 1; k <= Deepest; ++k) {
        QStringList steps;
        for (int i = 0; i < k; ++i) steps << QStringLiteral("*");
        sheet += steps.join(' ') + QStringLiteral(" { color: #0000%1 }\n").arg(k, 2, 16, QLatin1Char('0'));
    }
    return sheet;
}

bool Compared(char32_t c) {
    // White space, line separators, images and frame marks are no text to compare.
    return !QChar::isSpace(c) && c != 0xFFFC && c != 0xFDD0 && c != 0xFDD1;
}

// Each character shown, with the depth of the element it lands in, sorted.
using Shown = std::vector<std::pair<char32_t, int>>;

Shown EngineShows(const QString& html) {
    static const QString depths = DepthStyleSheet();
    QTextDocument document;
    document.setDefaultStyleSheet(depths);
    document.setHtml(html);
    Shown shown;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const int depth = it.fragment().charFormat().foreground().color().blue();
            for (const char32_t c : it.fragment().text().toStdU32String()) {
                if (Compared(c)) shown.emplace_back(c, depth);
            }
        }
    }
    std::sort(shown.begin(), shown.end());
    return shown;
}

Shown ScanShows(const QString& html) {
    Shown shown;
    const std::string utf8 = html.toStdString();
    MeasureHtml(utf8, [&shown](std::string_view text, int depth) {
        for (const char32_t c : QString::fromUtf8(text.data(), qsizetype(text.size())).toStdU32String()) {
            if (Compared(c)) shown.emplace_back(c, std::min(depth, Deepest));
        }
    });
    std::sort(shown.begin(), shown.end());
    return shown;
}

void ExpectAgreement(const QString& html) {
    EXPECT_EQ(ScanShows(html), EngineShows(html)) << html.toStdString();
}

// Each row names what it tries; the text letters mark where the engine puts things.
TEST(ParserAgreement, Table) {
    const char* cases[] = {
        // No raw text: what a browser would take as text inside these is markup to the engine.
        "<xmp><b>a</b><table><tr><td>b<td>c</table></xmp>d",
        "<plaintext><b>a<i>b</plaintext>c",
        "<textarea><b>a</b></textarea>b",
        "<title><b>a</b></title>b<p>c",
        "<script>if (a<b) document.write('<i>x</i>')</script>c",
        "<style>p { margin: 0 }</style><p>a",
        "<head><b>a</b><body>b",
        // Comments and declarations, CDATA ending at its first '>'.
        "a<!-- <b> -->b<!--->c-->d",
        "<![CDATA[ x > <b>y</b> ]]>z",
        "<!DOCTYPE html><?xml version=\"1.0\"?>a</x>b",
        "< !-- c -->d< b>e</ b>f",
        // Tags the engine reads where a browser reads text, and names that are no tags.
        "a < b c<3 d<>e</>f",
        "<b<i>a</b>b",
        "<B>a</b>b<b>c</B >d",
        "<&#98;>a</&#x62;>b<\"i\">c</i>d",
        "<b title='x>y'>a</b><b title=\"x>y\">b</b>",
        "<b title='it\\'s>'>a</b>b",
        "<b\xC2\xA0title=x>a</b>b",
        "<b/>a<br>b<img src=x>c<hr>d<p/>e",
        // Where an element goes: paragraphs, list items, cells, rows, tables made for a cell.
        "<p>a<b>b<p>c<p>d</b>e",
        "<ul><li>a<b>b<li>c<li>d</ul>e",
        "<td>a<td>b<tr><td>c</table>d",
        "<table><tr><td>a<div><td>b</div></table>c",
        "<tr><td>a</tr><tr>b",
        "<dl><dt>a<dd>b<dt>c</dl><dd>d",
        "<table><caption>a</caption><tbody><tr><td>b</tbody></table>",
        "<head><td>a</td></head>b",
        "&amp;&lt;b&gt;&#98;&#x3c;i&#62;a&bogus;&b&;c",
    };
    for (const char* html : cases) ExpectAgreement(QString::fromUtf8(html));
}

// Pages made of the pieces the engine treats specially, shuffled: the two may not part anywhere.
TEST(ParserAgreement, GeneratedPages) {
    const char* pieces[] = {
        "<b>",
        "</b>",
        "<i>",
        "</i>",
        "<p>",
        "</p>",
        "<li>",
        "<ul>",
        "</ul>",
        "<div>",
        "</div>",
        "<table>",
        "</table>",
        "<tr>",
        "</tr>",
        "<td>",
        "</td>",
        "<th>",
        "<dl>",
        "<dt>",
        "<dd>",
        "<xmp>",
        "</xmp>",
        "<plaintext>",
        "<textarea>",
        "</textarea>",
        "<title>",
        "</title>",
        "<script>",
        "</script>",
        "<style>",
        "</style>",
        "<head>",
        "</head>",
        "<body>",
        "<pre>",
        "</pre>",
        "<!--",
        "-->",
        "<![CDATA[",
        "]]>",
        "<!DOCTYPE html>",
        "<?xml?>",
        "<br>",
        "<img>",
        "<hr>",
        "<b/>",
        "<>",
        "</>",
        "< b>",
        "</ b>",
        "<B>",
        "</B >",
        "<b class='x>y'>",
        "<b title=\"a>b\">",
        "<&#98;>",
        "</&#x62;>",
        "<",
        ">",
        "&amp;",
        "&lt;i&gt;",
        "&#98;",
        "&bogus;",
        "&",
        "'",
        "\"",
        "=",
        "/",
        " ",
        "\n",
        "<caption>",
        "<tbody>",
        "<thead>",
        "<meta>",
        "<link>",
        "<font>",
        "</font>",
        "<h1>",
        "</h1>",
        "<center>",
        "<span>",
        "</span>",
        "<qt>",
        "<x:y>",
        "</x:y>",
        "</br>",
        "<br/>",
        "</p >",
        "<b/ >",
        "< /b>",
        "<b\xC2\xA0id=1>",
        "&nbsp;",
        "\xC2\xA0",
        "<!---->",
        "<!-- --> ",
        " \n ",
        "<pre>\n",
        "<TD>",
        "</TD>",
        "<tr/>",
        "<td colspan=3>",
        "a",
        "b",
        "c",
        "\xC3\xA9",
    };
    std::mt19937 random(21);
    std::uniform_int_distribution<std::size_t> piece(0, std::size(pieces) - 1);
    for (int page = 0; page < 600; ++page) {
        QString html;
        for (int i = 0; i < 10 + page % 60; ++i) html += QString::fromUtf8(pieces[piece(random)]);
        ExpectAgreement(html + QStringLiteral("z"));
    }
}

}  // namespace

}  // namespace discstart
