#include "media/iso/user_data.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace discstart {

namespace Iso {

namespace {

struct TagName {
    std::string_view type;
    std::string MovieTags::*field;
};

// The names begin with the copyright sign of Mac Roman, byte 0xA9 (octal 251).
constexpr std::array<TagName, 5> ItemNames = {{{"\251nam", &MovieTags::title},
                                               {"\251ART", &MovieTags::author},
                                               {"cprt", &MovieTags::copyright},
                                               {"\251gen", &MovieTags::genre},
                                               {"\251too", &MovieTags::software}}};

// QuickTime's user data texts name the copyright and the software differently.
constexpr std::array<TagName, 5> UserDataNames = {{{"\251nam", &MovieTags::title},
                                                   {"\251ART", &MovieTags::author},
                                                   {"\251cpy", &MovieTags::copyright},
                                                   {"\251gen", &MovieTags::genre},
                                                   {"\251swr", &MovieTags::software}}};

template <std::size_t N>
std::string MovieTags::*FieldOf(const std::array<TagName, N>& names, const std::string& type) {
    for (const auto& name : names) {
        if (name.type == type) return name.field;
    }
    return nullptr;
}

// An item's data box: version 0 and type 1 (UTF-8), a locale, then the text.
std::optional<std::string> ItemText(BoxFile& boxes, const Box& item) {
    constexpr std::uint32_t utf8 = 1;
    constexpr std::uint64_t valueStart = 8;
    std::optional<std::string> text;
    boxes.children(item, 0, [&](const Box& child) {
        if (child.type != "data") return true;
        const Payload data = boxes.payload(child, valueStart + MaxTagBytes);
        if (data.held() && data.u32(0) == utf8) text = data.text(valueStart, MaxTagBytes);
        return false;
    });
    return text;
}

void ReadItemList(BoxFile& boxes, const Box& ilst, MovieTags& tags) {
    boxes.children(ilst, 0, [&](const Box& item) {
        const auto field = FieldOf(ItemNames, item.type);
        if (field && (tags.*field).empty()) {
            if (auto text = ItemText(boxes, item)) tags.*field = std::move(*text);
        }
        return true;
    });
}

void ReadMeta(BoxFile& boxes, const Box& meta, MovieTags& tags) {
    // ISO's meta is a full box; QuickTime's has no version and flags, its hdlr follows at once.
    const Payload start = boxes.payload(meta, 8);
    if (!start.held()) return;
    const std::uint64_t skip = start.text(4, 4) == "hdlr" ? 0 : 4;
    boxes.children(meta, skip, [&](const Box& child) {
        if (child.type == "ilst") ReadItemList(boxes, child, tags);
        return true;
    });
}

// QuickTime: a 16-bit length, a language code, the text.
std::optional<std::string> QuickTimeText(BoxFile& boxes, const Box& box) {
    const Payload bytes = boxes.payload(box, 4 + MaxTagBytes);
    if (!bytes.fits(0, 4)) return std::nullopt;
    return bytes.text(4, std::min<std::uint64_t>(bytes.u16(0), MaxTagBytes));
}

// 3GPP: version and flags, a language code, a text ending in a zero byte; a UTF-16 text (it
// starts with a byte order mark) is left alone.
std::optional<std::string> ThreeGppText(BoxFile& boxes, const Box& box) {
    const Payload bytes = boxes.payload(box, 6 + MaxTagBytes);
    if (!bytes.fits(0, 6) || bytes.u16(6) == 0xFEFF) return std::nullopt;
    std::string text = bytes.text(6, MaxTagBytes);
    text.resize(std::min(text.size(), text.find('\0')));
    return text;
}

}  // namespace

void ReadUserData(BoxFile& boxes, const Box& udta, MovieTags& tags) {
    MovieTags fromList;
    MovieTags direct;
    boxes.children(udta, 0, [&](const Box& child) {
        if (child.type == "meta") {
            ReadMeta(boxes, child, fromList);
        } else if (child.type == "cprt") {
            if (auto text = ThreeGppText(boxes, child); text && direct.copyright.empty())
                direct.copyright = *text;
        } else if (const auto field = FieldOf(UserDataNames, child.type); field && (direct.*field).empty()) {
            if (auto text = QuickTimeText(boxes, child)) direct.*field = std::move(*text);
        }
        return true;
    });
    for (auto field : {&MovieTags::title, &MovieTags::author, &MovieTags::copyright, &MovieTags::genre,
                       &MovieTags::software}) {
        tags.*field = (fromList.*field).empty() ? direct.*field : fromList.*field;
    }
}

}  // namespace Iso

}  // namespace discstart
