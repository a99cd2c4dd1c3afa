#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace discstart {

// A page's markup read the way the light engine's parser (Qt's rich text HTML parser) reads it,
// so that what we measure and follow is what that engine builds. It knows no raw text: the
// content of <script>, <style>, <title>, <textarea>, <xmp> and <plaintext> is markup like any
// other. Only a comment (<!-- to -->) and a declaration (<! to the first >, a CDATA section's
// included) are skipped, and every '<' opens a tag, whatever follows it. Bytes in, UTF-8 texts
// out; names are lower-cased in ASCII only, so two names the engine tells apart never match here.

struct HtmlAttribute {
    std::string name;   // lower case
    std::string value;  // character references decoded (not in single quotes)
};

struct HtmlToken {
    enum class Kind { Text, StartTag, EndTag, Skipped };
    Kind kind = Kind::Text;
    std::string text;  // Text: character references decoded
    std::string name;  // tags: may be empty ("<>", "</>")
    std::vector<HtmlAttribute> attributes;
    bool closed = false;        // a start tag with a '/' before its '>'
    bool afterSkipped = false;  // text: white space right after a comment or declaration, which
                                // the engine drops outside preformatted elements
    std::size_t begin = 0;      // the token's first byte
    std::size_t nameEnd = 0;    // start tags: past the name
};

class HtmlTokenizer {
  public:
    explicit HtmlTokenizer(std::string_view html) : html_(html) {}
    // The next token; false at the end of the page.
    bool next(HtmlToken& token);

  private:
    char32_t peek() const;
    bool at(char c, std::size_t ahead = 0) const;
    void eatSpace();
    std::string reference();
    std::string word();
    void startTag(HtmlToken& token);
    void endTag(HtmlToken& token);
    void skipDeclaration();

    std::string_view html_;
    std::size_t pos_ = 0;
    bool skipped_ = false;  // the last token was Skipped
};

// The character a reference's name (between '&' and ';') stands for, as the engine resolves it.
std::optional<std::string> HtmlReference(std::string_view name);

// White space as the engine's parser takes it (Unicode separators, tab to carriage return,
// U+0085).
bool IsHtmlSpace(char32_t c);

}  // namespace discstart
