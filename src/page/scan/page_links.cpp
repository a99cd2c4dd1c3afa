#include "page/scan/page_links.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "page/scan/html_tokenizer.h"
#include "text/text_bytes.h"

namespace discstart {

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

std::string Lowered(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), Lower);
    return out;
}

// Position of `needle` (lower case) in `text` from `from` on, ignoring ASCII case.
std::size_t FindNoCase(std::string_view text, std::string_view needle, std::size_t from) {
    if (needle.size() > text.size()) return std::string_view::npos;
    for (std::size_t i = from; i + needle.size() <= text.size(); ++i) {
        std::size_t k = 0;
        while (k < needle.size() && Lower(text[i + k]) == needle[k]) ++k;
        if (k == needle.size()) return i;
    }
    return std::string_view::npos;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
    return text;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = Lower(c);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// A CSS string or unquoted URL from `pos` to one of `stops`, with backslash escapes decoded.
std::string CssToken(std::string_view css, std::size_t& pos, std::string_view stops) {
    std::string out;
    while (pos < css.size() && stops.find(css[pos]) == std::string_view::npos) {
        if (css[pos] != '\\' || pos + 1 >= css.size()) {
            out += css[pos++];
            continue;
        }
        ++pos;
        if (HexDigit(css[pos]) < 0) {
            if (css[pos] != '\n') out += css[pos];  // an escaped newline continues the string
            ++pos;
            continue;
        }
        std::uint32_t code = 0;
        for (int n = 0; n < 6 && pos < css.size() && HexDigit(css[pos]) >= 0; ++n)
            code = code * 16 + std::uint32_t(HexDigit(css[pos++]));
        if (pos < css.size() && IsSpace(css[pos])) ++pos;
        AppendUtf8(out, code == 0 ? 0xFFFD : code);
    }
    return out;
}

std::string WithoutCssComments(std::string_view css) {
    std::string out;
    std::size_t i = 0;
    while (i < css.size()) {
        const std::size_t start = css.find("/*", i);
        if (start == std::string_view::npos) break;
        out.append(css.substr(i, start - i));
        const std::size_t end = css.find("*/", start + 2);
        i = end == std::string_view::npos ? css.size() : end + 2;
        out += ' ';
    }
    if (i < css.size()) out.append(css.substr(i));
    return out;
}

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsSchemeChar(char c) {
    return IsAsciiLetter(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

bool IsIdentifierChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || static_cast<unsigned char>(c) >= 0x80;
}

// A quoted string at `pos` (which holds the quote), or nothing.
std::optional<std::string> CssString(std::string_view css, std::size_t& pos) {
    if (pos >= css.size() || (css[pos] != '"' && css[pos] != '\'')) return std::nullopt;
    const char quote[2] = {css[pos++], '\0'};
    std::string text = CssToken(css, pos, std::string_view(quote, 1));
    if (pos < css.size()) ++pos;
    return text;
}

void SkipSpace(std::string_view text, std::size_t& pos) {
    while (pos < text.size() && IsSpace(text[pos])) ++pos;
}

void AddSrcset(std::string_view value, std::vector<std::string>& out) {
    std::size_t pos = 0;
    while (pos < value.size()) {
        while (pos < value.size() && (IsSpace(value[pos]) || value[pos] == ',')) ++pos;
        const std::size_t start = pos;
        while (pos < value.size() && !IsSpace(value[pos])) ++pos;
        std::string_view url = value.substr(start, pos - start);
        while (!url.empty() && url.back() == ',') url.remove_suffix(1);
        if (!url.empty()) out.emplace_back(url);
        while (pos < value.size() && value[pos] != ',') ++pos;  // the descriptor
    }
}

void AddAttributeLinks(std::string_view tag, const std::vector<HtmlAttribute>& attributes,
                       std::vector<std::string>& out) {
    for (const HtmlAttribute& a : attributes) {
        if (a.name == "src" || a.name == "href" || a.name == "background" || a.name == "poster" ||
            a.name == "lowsrc" || (a.name == "data" && tag == "object")) {
            out.push_back(a.value);
        } else if (a.name == "srcset") {
            AddSrcset(a.value, out);
        } else if (a.name == "style") {
            for (auto& url : CssLinks(a.value)) out.push_back(std::move(url));
        }
    }
}

}  // namespace

std::vector<std::string> CssLinks(std::string_view source) {
    const std::string css = WithoutCssComments(source);
    std::vector<std::string> out;
    // Each needle's next place is looked for again only once passed: one pass over the sheet.
    std::size_t pos = 0;
    std::size_t url = FindNoCase(css, "url(", 0);
    std::size_t import = FindNoCase(css, "@import", 0);
    while (url != std::string::npos || import != std::string::npos) {
        if (import < url) {
            pos = import + 7;
            SkipSpace(css, pos);
            if (auto text = CssString(css, pos)) out.push_back(std::move(*text));
        } else if (url > 0 && IsIdentifierChar(css[url - 1])) {
            pos = url + 4;  // another function whose name ends in "url"
        } else {
            pos = url + 4;
            SkipSpace(css, pos);
            if (auto text = CssString(css, pos)) {
                out.push_back(std::move(*text));
            } else if (std::string bare = CssToken(css, pos, " \t\n\r\f)"); !bare.empty()) {
                out.push_back(std::move(bare));
            }
        }
        if (url < pos) url = FindNoCase(css, "url(", pos);
        if (import < pos) import = FindNoCase(css, "@import", pos);
    }
    return out;
}

std::vector<std::string> HtmlLinks(std::string_view html) {
    std::vector<std::string> out;
    HtmlTokenizer tokens(html);
    HtmlToken token;
    // The text of a <style> element, up to the next tag. Not an optional<string>: MinGW's GCC 12
    // then warns of a string it thinks may be used uninitialized.
    bool inStyle = false;
    std::string style;
    const auto endStyle = [&] {
        if (inStyle) {
            for (auto& url : CssLinks(style)) out.push_back(std::move(url));
        }
        inStyle = false;
        style.clear();
    };
    while (tokens.next(token)) {
        switch (token.kind) {
            case HtmlToken::Kind::Text:
                if (inStyle) style += token.text;
                break;
            case HtmlToken::Kind::Skipped:
                break;
            case HtmlToken::Kind::EndTag:
                endStyle();
                break;
            case HtmlToken::Kind::StartTag:
                endStyle();
                AddAttributeLinks(token.name, token.attributes, out);
                inStyle = token.name == "style" && !token.closed;
                break;
        }
    }
    endStyle();
    return out;
}

ResolvedLink ResolveLink(std::string_view fromFolder, std::string_view url) {
    std::string text;
    for (char c : Trimmed(url)) {
        if (c == '\t' || c == '\n' || c == '\r') continue;
        text += c == '\\' ? '/' : c;
    }
    text = text.substr(0, text.find_first_of("?#"));
    if (text.empty()) return {};

    // A scheme: letters, digits, + - . after a first letter, then ':'. One letter is a drive.
    const std::size_t colon = text.find(':');
    if (colon != std::string::npos && colon > 0 && IsAsciiLetter(text[0]) &&
        std::all_of(text.begin(), text.begin() + std::ptrdiff_t(colon), IsSchemeChar)) {
        const std::string scheme = Lowered(text.substr(0, colon));
        return {scheme == "file" || colon == 1 ? LinkTarget::Outside : LinkTarget::None, {}};
    }
    if (text.front() == '/') return {LinkTarget::Outside, {}};
    if (text.back() == '/') return {};

    std::vector<std::string> segments;
    std::string joined = std::string(fromFolder) + "/" + text;
    std::size_t start = 0;
    while (start <= joined.size()) {
        std::size_t end = joined.find('/', start);
        if (end == std::string::npos) end = joined.size();
        std::string segment;
        for (std::size_t i = start; i < end; ++i) {
            if (joined[i] == '%' && i + 2 < end && HexDigit(joined[i + 1]) >= 0 &&
                HexDigit(joined[i + 2]) >= 0) {
                segment += char(HexDigit(joined[i + 1]) * 16 + HexDigit(joined[i + 2]));
                i += 2;
            } else {
                segment += joined[i];
            }
        }
        start = end + 1;
        if (segment.empty() || segment == ".") continue;
        if (segment == "..") {
            if (segments.empty()) return {LinkTarget::Outside, {}};
            segments.pop_back();
            continue;
        }
        // %2F or %00 can name no file.
        if (segment.find('/') != std::string::npos || segment.find('\0') != std::string::npos) return {};
        segments.push_back(std::move(segment));
    }
    if (segments.empty()) return {};
    std::string path = segments.front();
    for (std::size_t i = 1; i < segments.size(); ++i) path += "/" + segments[i];
    return {LinkTarget::Inside, path};
}

}  // namespace discstart
