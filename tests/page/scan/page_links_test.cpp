#include "page/scan/page_links.h"
#include "page/scan/page_budgets.h"
#include "page/scan/page_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace discstart {

namespace {

using Links = std::vector<std::string>;

TEST(PageLinks, HtmlAttributesInAnyQuotingAndCase) {
    const struct {
        const char* html;
        Links links;
    } cases[] = {
        {"<img src=img/a.png>", {"img/a.png"}},
        {"<IMG SRC = \"b c.jpg\" ALT='x>y'>", {"b c.jpg"}},
        {"<img alt='src=no.png' src='yes.png'>", {"yes.png"}},
        {"<body background=bg.gif><table BACKGROUND='t.gif'>", {"bg.gif", "t.gif"}},
        {"<link rel=stylesheet href=\"s.css\"><a href=\"page2.htm#top\">", {"s.css", "page2.htm#top"}},
        {"<img src=\"a&amp;b.png\"><img src=\"&#x41;&#66;.png\"><img src=&eacute;.png>",
         {"a&b.png", "AB.png", "\xC3\xA9.png"}},
        // Single quotes keep references as written, as the engine reads them.
        {"<img src='a&amp;b.png'>", {"a&amp;b.png"}},
        {"<img srcset=\"a.png 1x, b.png 2x\">", {"a.png", "b.png"}},
        {"<video poster=p.jpg><object data=o.swf>", {"p.jpg", "o.swf"}},
        {"<div style=\"background: URL( 'd.png' )\">", {"d.png"}},
        {"<style>body { background:url(s.png) } @import \"more.css\";</style>", {"s.png", "more.css"}},
        // Markup to the engine wherever it stands, script text and a '<' before a space included;
        // not in comments.
        {"<!-- <img src=c.png> --><p>a < b src=x.png</p>", {"x.png"}},
        {"<script>var s = '<img src=js.png>';</script><img src=after.png>", {"js.png", "after.png"}},
        {"<xmp><img src=x.png></xmp><![CDATA[<img src=no.png>]]><img src=y.png>", {"x.png", "y.png"}},
        {"<a title=href.htm name=x>", {}},
        {"<img src=unterminated.png", {"unterminated.png"}},
    };
    for (const auto& c : cases) EXPECT_EQ(HtmlLinks(c.html), c.links) << c.html;
}

TEST(PageLinks, CssUrlsAndImports) {
    const struct {
        const char* css;
        Links links;
    } cases[] = {
        {"a{background:url(img/bg.png)}", {"img/bg.png"}},
        {"a{background:url( \"q.png\" )} b{src:url('r.png')}", {"q.png", "r.png"}},
        {"@import 'x.css'; @IMPORT url(y.css);", {"x.css", "y.css"}},
        {"/* url(no.png) */ a{b:url(yes.png)}", {"yes.png"}},
        {"a{b:url(sp\\ ace.png)} c{d:url('\\41 .png')}", {"sp ace.png", "A.png"}},
        {"a{b:myurl(no.png)}", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(CssLinks(c.css), c.links) << c.css;
}

TEST(PageLinks, ResolvesInsideTheDiscFolderOnly) {
    const struct {
        const char* from;
        const char* url;
        LinkTarget target;
        const char* path;
    } cases[] = {
        {"", "img/a.png", LinkTarget::Inside, "img/a.png"},
        {"", "./img/../b.png?v=2#x", LinkTarget::Inside, "b.png"},
        {"css", "../img/c.png", LinkTarget::Inside, "img/c.png"},
        {"", "img\\d.png", LinkTarget::Inside, "img/d.png"},
        {"", "caf%C3%A9%20x.png", LinkTarget::Inside, "caf\xC3\xA9 x.png"},
        {"", "%E9.png", LinkTarget::Inside, "\xE9.png"},
        {"", "../up.png", LinkTarget::Outside, ""},
        {"a", "../../up.png", LinkTarget::Outside, ""},
        {"", "/etc/passwd", LinkTarget::Outside, ""},
        {"", "//host/share/x.png", LinkTarget::Outside, ""},
        {"", "file:///etc/passwd", LinkTarget::Outside, ""},
        {"", "C:\\Windows\\x.bmp", LinkTarget::Outside, ""},
        {"", "http://example.org/x.png", LinkTarget::None, ""},
        {"", "mailto:me@example.org", LinkTarget::None, ""},
        {"", "#top", LinkTarget::None, ""},
        {"", "sub/", LinkTarget::None, ""},
        {"", "a%2Fb.png", LinkTarget::None, ""},
    };
    for (const auto& c : cases) {
        const ResolvedLink link = ResolveLink(c.from, c.url);
        EXPECT_EQ(link.target, c.target) << c.url;
        EXPECT_EQ(link.path, c.path) << c.url;
    }
}

TEST(PageFiles, FollowsStyleSheetsAndPagesOnTheDiscOnce) {
    MemoryFiles files;
    files.add("/d/intro.htm",
              "<link rel=stylesheet href=css/site.css><img src=a.png><a href=more.html>more</a>"
              "<img src=a.png><img src=../x.png><img src=gone.png><img src=.git/key.png><img src=big.htm>");
    files.add("/d/css/site.css", "body{background:url(../bg.png)}");
    files.add("/d/more.html", "<img src=b.png><a href=intro.htm>back</a>");
    files.add("/d/big.htm", std::string(MaxPageBytes + 1, ' '));
    for (const char* name : {"/d/a.png", "/d/bg.png", "/d/b.png", "/d/.git/key.png"}) files.add(name, "x");
    const auto references = PageReferences("/d", "intro.htm", files);
    std::vector<std::string> seen;
    for (const auto& r : references) {
        seen.push_back(r.from + " -> " + (r.path.empty() ? r.reference : r.path) + " " +
                       PageRefusalName(r.refusal));
    }
    const std::vector<std::string> expected = {
        "intro.htm -> css/site.css ",     "intro.htm -> a.png ",           "intro.htm -> more.html ",
        "intro.htm -> ../x.png outside",  "intro.htm -> gone.png missing", "intro.htm -> .git/key.png hidden",
        "intro.htm -> big.htm too-large", "css/site.css -> bg.png ",       "more.html -> b.png ",
    };
    EXPECT_EQ(seen, expected);
}

}  // namespace

}  // namespace discstart
