#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace discstart {

// The files a disc page refers to, read from its HTML and CSS: the markup as the light engine's
// parser reads it (HtmlTokenizer), CSS escapes decoded. Bytes in, texts out.

// Every URL in src, href, background, poster, data, srcset and style attributes and in <style>
// elements, in that order of appearance. Comments are skipped; script text is markup to that
// parser, so a tag in it counts.
std::vector<std::string> HtmlLinks(std::string_view html);

// Every url(...) and @import "..." of a style sheet.
std::vector<std::string> CssLinks(std::string_view source);

enum class LinkTarget {
    None,     // not a file: another scheme (http:, mailto:, data:), the page itself, a folder
    Inside,   // a file in the disc folder or below
    Outside,  // a local file outside the disc folder: absolute, file:, or too many ../
};

struct ResolvedLink {
    LinkTarget target = LinkTarget::None;
    std::string path;  // Inside: relative to the disc folder, '/'-separated, percent-decoded bytes
};

// Where `url`, written in a file of the folder `fromFolder` (relative to the disc folder,
// empty for the disc folder itself), points.
ResolvedLink ResolveLink(std::string_view fromFolder, std::string_view url);

}  // namespace discstart
