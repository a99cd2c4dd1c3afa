#include "page/scan/html_shape.h"

#include <algorithm>
#include <iterator>

#include "page/scan/html_tokenizer.h"
#include "page/scan/page_budgets.h"
#include "text/text_bytes.h"

#include <vector>

namespace discstart {

void ElementCost::add(double count, double depthHere, double siblingsHere) {
    visits += count;
    depth += count * depthHere;
    siblings += count * siblingsHere;
    reach += count * depthHere * siblingsHere;
    reachSquared += count * depthHere * siblingsHere * siblingsHere;
}

namespace {

// The elements whose place in the tree the engine decides by rule; the rest only nest.
enum class Id {
    Other,
    Body,
    Br,
    Caption,
    Dd,
    Dl,
    Dt,
    Head,
    Hr,
    Img,
    Li,
    Meta,
    P,
    Pre,
    Style,
    Table,
    Tbody,
    Td,
    Tfoot,
    Th,
    Thead,
    Tr
};
enum class Display { Inline, Block, Table, None };

struct Element {
    std::string_view name;
    Id id;
    Display display;
};

// The engine's elements and how it shows each (blocks as its document makes them, not as CSS
// would); any other name is an inline element.
constexpr Element Elements[] = {
    {"a", Id::Other, Display::Inline},
    {"address", Id::Other, Display::Inline},
    {"b", Id::Other, Display::Inline},
    {"big", Id::Other, Display::Inline},
    {"blockquote", Id::Other, Display::Block},
    {"body", Id::Body, Display::Block},
    {"br", Id::Br, Display::Inline},
    {"caption", Id::Caption, Display::Block},
    {"center", Id::Other, Display::Block},
    {"cite", Id::Other, Display::Inline},
    {"code", Id::Other, Display::Inline},
    {"dd", Id::Dd, Display::Block},
    {"dfn", Id::Other, Display::Inline},
    {"div", Id::Other, Display::Block},
    {"dl", Id::Dl, Display::Block},
    {"dt", Id::Dt, Display::Block},
    {"em", Id::Other, Display::Inline},
    {"font", Id::Other, Display::Inline},
    {"h1", Id::Other, Display::Block},
    {"h2", Id::Other, Display::Block},
    {"h3", Id::Other, Display::Block},
    {"h4", Id::Other, Display::Block},
    {"h5", Id::Other, Display::Block},
    {"h6", Id::Other, Display::Block},
    {"head", Id::Head, Display::None},
    {"hr", Id::Hr, Display::Block},
    {"html", Id::Other, Display::Inline},
    {"i", Id::Other, Display::Inline},
    {"img", Id::Img, Display::Inline},
    {"kbd", Id::Other, Display::Inline},
    {"li", Id::Li, Display::Block},
    {"link", Id::Other, Display::None},
    {"meta", Id::Meta, Display::None},
    {"nobr", Id::Other, Display::Inline},
    {"ol", Id::Other, Display::Block},
    {"p", Id::P, Display::Block},
    {"pre", Id::Pre, Display::Block},
    {"qt", Id::Body, Display::Block},
    {"s", Id::Other, Display::Inline},
    {"samp", Id::Other, Display::Inline},
    {"script", Id::Other, Display::None},
    {"small", Id::Other, Display::Inline},
    {"span", Id::Other, Display::Inline},
    {"strong", Id::Other, Display::Inline},
    {"style", Id::Style, Display::None},
    {"sub", Id::Other, Display::Inline},
    {"sup", Id::Other, Display::Inline},
    {"table", Id::Table, Display::Table},
    {"tbody", Id::Tbody, Display::Table},
    {"td", Id::Td, Display::Block},
    {"tfoot", Id::Tfoot, Display::Table},
    {"th", Id::Th, Display::Block},
    {"thead", Id::Thead, Display::Table},
    {"title", Id::Other, Display::None},
    {"tr", Id::Tr, Display::Table},
    {"tt", Id::Other, Display::Inline},
    {"u", Id::Other, Display::Inline},
    {"ul", Id::Other, Display::Block},
    {"var", Id::Other, Display::Inline},
};

const Element* Find(std::string_view name) {
    const auto found = std::lower_bound(std::begin(Elements), std::end(Elements), name,
                                        [](const Element& e, std::string_view n) { return e.name < n; });
    return found != std::end(Elements) && found->name == name ? found : nullptr;
}

// The name of an element that takes no children.
std::string_view EmptyName(Id id) {
    switch (id) {
        case Id::Img:
            return "img";
        case Id::Hr:
            return "hr";
        case Id::Br:
            return "br";
        case Id::Meta:
            return "meta";
        default:
            return {};
    }
}

// Where an element may stand; the engine puts it under the nearest ancestor that allows it.
bool AllowedIn(Id id, Id parent) {
    switch (id) {
        case Id::Dd:
        case Id::Dt:
            return parent == Id::Dl;
        case Id::Tr:
            return parent == Id::Table || parent == Id::Thead || parent == Id::Tbody || parent == Id::Tfoot;
        case Id::Th:
        case Id::Td:
            return parent == Id::Tr;
        case Id::Thead:
        case Id::Tbody:
        case Id::Tfoot:
        case Id::Caption:
            return parent == Id::Table;
        case Id::Body:
            return parent != Id::Head;
        default:
            return true;
    }
}

bool Empty(Id id) {
    return !EmptyName(id).empty();
}

bool IsCssSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// rel="stylesheet", spaces around it allowed, any case.
bool IsStyleSheetRel(std::string_view value) {
    while (!value.empty() && IsCssSpace(value.front())) value.remove_prefix(1);
    while (!value.empty() && IsCssSpace(value.back())) value.remove_suffix(1);
    constexpr std::string_view wanted = "stylesheet";
    return value.size() == wanted.size() &&
           std::equal(value.begin(), value.end(), wanted.begin(),
                      [](char a, char b) { return (a >= 'A' && a <= 'Z' ? char(a - 'A' + 'a') : a) == b; });
}

// A node of the engine's list: every element, and a node for the text after each end tag and
// each element that takes no children. The engine reuses the last node for the next when it is
// an empty text node (or one of a single space after a block), keeping what it showed: a node
// that followed hidden text stays hidden wherever it goes next, unless an element the engine
// knows is made of it. A parent comes before its children in the list.
struct Node {
    std::string name;  // empty for text and "<>"
    int parent = 0;
    Id id = Id::Other;
    Display display = Display::Inline;
    int depth = 0;        // elements from the root, this one included
    int colourDepth = 0;  // the depth whose style its text takes
    int children = 0;     // times a child was put under it (a reused one counts again)
    double matched = 0;   // times the engine matched the rules for it (as an element)
    double below = 0;     // ...and for elements once below it, since made into other nodes
    enum class Text { Empty, OneSpace, More } text = Text::Empty;
};

class Builder {
  public:
    Builder(std::string_view html, const ShownText& shown) : html_(html), shown_(shown) {
        nodes_.emplace_back();
    }

    HtmlShape run() {
        HtmlTokenizer tokens(html_);
        HtmlToken token;
        while (WithinPageBudget(shape_) && tokens.next(token)) {
            switch (token.kind) {
                case HtmlToken::Kind::Text:
                    text(token.text, token.afterSkipped);
                    break;
                case HtmlToken::Kind::StartTag:
                    start(token);
                    break;
                case HtmlToken::Kind::EndTag:
                    end(token.name);
                    break;
                case HtmlToken::Kind::Skipped:
                    break;
            }
        }
        costs();
        return std::move(shape_);
    }

  private:
    Node& at(int index) { return nodes_[std::size_t(index)]; }
    int last() const { return int(nodes_.size()) - 1; }
    bool lastIsStyle() const { return nodes_.back().id == Id::Style && !nodes_.back().name.empty(); }

    // White space right after a comment is the engine's only inside preformatted elements.
    void text(const std::string& characters, bool afterSkipped) {
        if (characters.empty() || (afterSkipped && !preformatted(last()))) return;
        Node& node = nodes_.back();
        if (lastIsStyle()) shape_.inlineSheets.back() += characters;
        const Utf8Character first = FirstCharacter(characters);
        const bool oneSpace =
            node.text == Node::Text::Empty && first.length == characters.size() && IsHtmlSpace(first.code);
        node.text = oneSpace ? Node::Text::OneSpace : Node::Text::More;
        // The engine shows no text of a table or row itself.
        if (shown_ && node.display != Display::None && node.id != Id::Table && node.id != Id::Tr)
            shown_(characters, node.colourDepth);
    }

    bool preformatted(int index) {
        for (; index > 0; index = at(index).parent)
            if (at(index).id == Id::Pre) return true;
        return false;
    }

    // The element new elements go under: the last node, or the nearest one above it with a name.
    int current() {
        int p = last();
        while (p > 0 && at(p).name.empty()) p = at(p).parent;
        return p;
    }

    // The engine's node for what comes next under `parent`: the last one again when it is an
    // empty text node (or one of a single space after a block), else a new one.
    int newNode(int parent) {
        const Node& lastNode = nodes_.back();
        bool reuse = nodes_.size() > 1 && lastNode.name.empty() && lastNode.text != Node::Text::More;
        if (reuse && lastNode.text == Node::Text::OneSpace) {
            int sibling = last() - 1;
            while (sibling > 0 && at(sibling).parent != lastNode.parent &&
                   at(sibling).display == Display::Inline)
                sibling = at(sibling).parent;
            reuse = at(sibling).display != Display::Inline;
        }
        Display kept = Display::Inline;
        if (reuse) {
            // What the engine matched for the node stays counted where it stood.
            Node& old = nodes_.back();
            at(old.parent).below += old.matched + old.below;
            kept = old.display;
            old = Node{};
        } else {
            nodes_.emplace_back();
        }
        Node& node = nodes_.back();
        node.parent = parent;
        node.display = kept;
        return last();
    }

    // Puts a node under its parent with the parent's properties: hidden under a hidden parent,
    // its text styled as the parent's.
    void resolve(int index) {
        Node& node = at(index);
        const Node& parent = at(node.parent);
        node.depth = parent.depth + 1;
        if (parent.display == Display::None) node.display = Display::None;
        node.colourDepth = parent.colourDepth;
    }

    void start(const HtmlToken& token) {
        ++shape_.tags;
        const Element* known = Find(token.name);
        const Id id = known != nullptr ? known->id : Id::Other;
        linkedStyleSheet(token);
        int index = newNode(current());
        at(index).name = token.name;
        at(index).id = id;
        // An element the engine does not know keeps what its reused node showed.
        if (known != nullptr) at(index).display = known->display;
        const int parent = placement(id, at(index).parent, index);
        index = last();  // after the table and row made for it
        Node& node = at(index);
        node.parent = parent;
        ++at(parent).children;
        resolve(index);
        node.colourDepth = node.depth;
        node.matched += 1;
        shape_.depth = std::max(shape_.depth, node.depth);
        if (id == Id::Style && !token.closed && !token.name.empty()) shape_.inlineSheets.emplace_back();
        // An empty element and one closed by "/>" take no children: what follows goes beside
        // them, into a text node.
        if (Empty(id) || token.closed) resolve(newNode(node.parent));
    }

    // The node a new element goes under, by the engine's rules: a cell finds its row, a row its
    // table (one is made when there is none, inserted before the element's node), a paragraph
    // inside a paragraph's inline elements goes beside that paragraph, and so on.
    int placement(Id id, int p, int index) {
        const auto within = [&](Id wanted) {
            for (int n = p; n > 0; n = at(n).parent)
                if (at(n).id == wanted) return true;
            return false;
        };
        const auto made = [&](const char* name, Id madeId) {
            Node node;  // never given its parent's properties: shown, unstyled
            node.name = name;
            node.id = madeId;
            node.parent = p;
            node.depth = at(p).depth + 1;
            ++at(p).children;
            shape_.depth = std::max(shape_.depth, node.depth);
            nodes_.insert(nodes_.begin() + index, std::move(node));
            p = index++;
        };
        if (id == Id::Td && !within(Id::Tr)) {
            made("table", Id::Table);
            made("tr", Id::Tr);
        } else if (id == Id::Tr && !within(Id::Table)) {
            made("table", Id::Table);
        }
        if (id == Id::P) {
            int block = p;
            while (block > 0 && at(block).display != Display::Block) block = at(block).parent;
            if (block > 0 && at(block).id == Id::P) p = block;
        }
        if ((id == Id::P || id == Id::Li) && at(p).id == id) p = at(p).parent;
        while (p > 0 && !AllowedIn(id, at(p).id)) p = at(p).parent;
        return p;
    }

    // The engine parses a <style> element's text at every end tag while the element is last.
    void end(const std::string& name) {
        if (lastIsStyle()) {
            shape_.styleEvents.push_back(
                {{}, int(shape_.inlineSheets.size()) - 1, shape_.inlineSheets.back().size()});
            shape_.inlineStyleBytes += std::int64_t(shape_.inlineSheets.back().size());
        }
        int p = last();
        // "</br>" right after a <br> ends that one.
        if (p > 0 && Empty(at(p - 1).id) && at(p - 1).name == name) --p;
        while (p > 0 && at(p).name != name) p = at(p).parent;
        if (p == 0) return;
        resolve(newNode(at(p).parent));
    }

    void linkedStyleSheet(const HtmlToken& token) {
        if (token.name != "link") return;
        std::string href;
        bool typed = false;
        bool css = false;
        bool styleSheet = false;
        for (const HtmlAttribute& a : token.attributes) {
            if (a.name == "href") href = a.value;
            if (a.name == "type") {
                typed = true;
                css = a.value == "text/css";
            }
            if (a.name == "rel") styleSheet = IsStyleSheetRel(a.value);
        }
        // The engine reads a linked sheet when its type says CSS, whatever its rel; a sheet
        // without a type gets one (WithStyleSheetTypes).
        if (styleSheet && !typed) {
            shape_.untypedStyleSheets.push_back(token.nameEnd);
            css = true;
        }
        if (css && !href.empty()) shape_.styleEvents.push_back({href, -1, 0});
    }

    // What matching the rules costs, now that every element is where it stays.
    void costs() {
        std::vector<double> below(nodes_.size());
        for (int i = last(); i > 0; --i) {
            below[std::size_t(i)] += at(i).matched + at(i).below;
            below[std::size_t(at(i).parent)] += below[std::size_t(i)];
        }
        std::vector<int> siblings(nodes_.size());  // the most siblings an element or an ancestor has
        for (int i = 1; i <= last(); ++i) {
            const int parent = at(i).parent;
            siblings[std::size_t(i)] = std::max(siblings[std::size_t(parent)], at(parent).children);
            const double count = below[std::size_t(i)];
            if (count <= 0) continue;
            shape_.elements[at(i).name].add(count, at(i).depth, siblings[std::size_t(i)]);
            shape_.all.add(count, at(i).depth, siblings[std::size_t(i)]);
        }
    }

    std::string_view html_;
    const ShownText& shown_;
    HtmlShape shape_;
    std::vector<Node> nodes_;  // the engine's list, the root first
};

}  // namespace

HtmlShape MeasureHtml(std::string_view html, const ShownText& shown) {
    return Builder(html, shown).run();
}

std::string WithStyleSheetTypes(std::string html, const HtmlShape& shape) {
    for (auto at = shape.untypedStyleSheets.rbegin(); at != shape.untypedStyleSheets.rend(); ++at)
        html.insert(*at, " type=\"text/css\"");
    return html;
}

bool WithinPageBudget(const HtmlShape& shape) {
    return shape.tags <= MaxPageTags && shape.depth <= MaxPageDepth &&
           shape.inlineStyleBytes <= MaxStyleBytes &&
           std::int64_t(shape.styleEvents.size()) <= MaxStyleSelectors;
}

}  // namespace discstart
