#include "start/cannot_start.h"

#include <cerrno>
#include <cstring>

#include "text/invisible.h"

namespace discstart {

namespace Start {

namespace {

constexpr std::string_view GlibcPrefix = "GLIBC_";

std::string_view BaseName(std::string_view path) {
    const size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : Tail(path, slash + 1);
}

template <size_t N>
void AddToList(FixedText<N>& list, std::string_view name) {
    if (!list.empty()) list << ", ";
    list << name;
}

// One line of the report.
void ReadLine(std::string_view line, LoaderReport& report) {
    while (!line.empty() && (line.front() == '\t' || line.front() == ' ')) line.remove_prefix(1);
    constexpr std::string_view NotFound = " => not found";
    if (line.size() > NotFound.size() && Tail(line, line.size() - NotFound.size()) == NotFound) {
        AddToList(report.missing, Head(line, line.size() - NotFound.size()));
        return;
    }
    // A library there but unusable (cut short, for another machine) ends the loader at once.
    constexpr std::string_view LoadError = ": error while loading shared libraries: ";
    if (const size_t at = line.find(LoadError); at != std::string_view::npos) {
        const std::string_view rest = Tail(line, at + LoadError.size());
        AddToList(report.missing, Head(rest, rest.find(':')));
        return;
    }
    constexpr std::string_view VersionTag = ": version `";
    const size_t tag = line.find(VersionTag);
    if (tag == std::string_view::npos) return;
    const std::string_view rest = Tail(line, tag + VersionTag.size());
    const size_t quote = rest.find('\'');
    if (quote == std::string_view::npos || Head(Tail(rest, quote), 11) != "' not found") return;
    const std::string_view version = Head(rest, quote);
    const std::string_view before = Head(line, tag);
    const size_t colon = before.rfind(": ");
    const std::string_view library =
        BaseName(colon == std::string_view::npos ? before : Tail(before, colon + 2));
    // libc, libm, libdl and the loader are one C library, whose versions read GLIBC_2.x.
    const std::string_view number = Tail(version, GlibcPrefix.size());
    if (Head(version, GlibcPrefix.size()) == GlibcPrefix && !number.empty() && number.front() >= '0' &&
        number.front() <= '9') {
        if (report.cLibrary.empty() || CompareVersions(number, report.cLibrary.view()) > 0) {
            report.cLibrary.clear();
            report.cLibrary << number;
        }
        return;
    }
    if (report.tooOld.view().find(library) == std::string_view::npos) AddToList(report.tooOld, library);
}

size_t Utf8Length(std::string_view text, size_t at) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    size_t length = 0;
    unsigned minimum = 0;
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2, minimum = 0x80;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3, minimum = 0x800;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4, minimum = 0x10000;
    else
        return 0;
    if (at + length > text.size()) return 0;
    unsigned code = lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

char32_t CodeOf(std::string_view text, size_t at, size_t length) {
    const auto lead = static_cast<unsigned char>(text[at]);
    char32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i)
        code = (code << 6) | (static_cast<unsigned char>(text[at + i]) & 0x3F);
    return code;
}

void Escaped(std::string_view text, bool markup, FixedText<2048>& out) {
    constexpr char Hex[] = "0123456789ABCDEF";
    for (size_t at = 0; at < text.size();) {
        const size_t length = Utf8Length(text, at);
        char piece[12];
        size_t size = 0;
        const auto put = [&](std::string_view part) {
            for (const char c : part) piece[size++] = c;
        };
        const char32_t code = length == 0 ? U'?' : CodeOf(text, at, length);
        if (length == 0) {
            put("?");
        } else if (IsControl(code)) {
            put("\\x"), put({&Hex[(code >> 4) & 15], 1}), put({&Hex[code & 15], 1});
        } else if (IsInvisible(code)) {
            const int digits = code > 0xFFFF ? 8 : 4;
            put(code > 0xFFFF ? "\\U" : "\\u");
            for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) put({&Hex[(code >> shift) & 15], 1});
        } else if (markup && code == '&') {
            put("&amp;");
        } else if (markup && code == '<') {
            put("&lt;");
        } else if (markup && code == '>') {
            put("&gt;");
        } else {
            put({text.data() + at, length});
        }
        if (size > out.room()) return;
        out << std::string_view(piece, size);
        at += length == 0 ? 1 : length;
    }
}

}  // namespace

LoaderReport ParseLoaderReport(std::string_view text) {
    LoaderReport report;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        ReadLine(Head(text, end), report);
        text = end == std::string_view::npos ? std::string_view() : Tail(text, end + 1);
    }
    return report;
}

int CompareVersions(std::string_view a, std::string_view b) {
    while (!a.empty() || !b.empty()) {
        unsigned long x = 0, y = 0;
        while (!a.empty() && a.front() >= '0' && a.front() <= '9')
            x = x * 10 + (a.front() - '0'), a.remove_prefix(1);
        while (!b.empty() && b.front() >= '0' && b.front() <= '9')
            y = y * 10 + (b.front() - '0'), b.remove_prefix(1);
        if (x != y) return x < y ? -1 : 1;
        if (!a.empty()) a.remove_prefix(1);
        if (!b.empty()) b.remove_prefix(1);
    }
    return 0;
}

void Explain(const Obstacle& obstacle, std::string_view path, bool film, bool opener, FixedText<2048>& out) {
    switch (obstacle.kind) {
        case Obstacle::Kind::NoDisplay:
            out << "There is no display to show its window on (neither DISPLAY nor WAYLAND_DISPLAY is set).";
            break;
        case Obstacle::Kind::Loader: {
            const LoaderReport& report = obstacle.loader;
            if (!report.cLibrary.empty()) {
                out << "It needs the C library glibc " << report.cLibrary.view()
                    << " or newer; this system has glibc " << obstacle.machineCLibrary << ".";
            }
            if (!report.missing.empty()) {
                if (!out.empty()) out << ' ';
                out << "It needs libraries this system lacks: " << report.missing.view() << ".";
            }
            if (!report.tooOld.empty()) {
                if (!out.empty()) out << ' ';
                out << "These libraries are too old for it: " << report.tooOld.view() << ".";
            }
            break;
        }
        case Obstacle::Kind::CannotRun:
            out << "The system cannot run it: " << std::strerror(obstacle.error) << ".";
            if (obstacle.error == ENOEXEC) {
                out << " This system reads the disc's compressed files as they are stored (its kernel lacks "
                       "zisofs); a copy of the disc made on another Linux system will start.";
            }
            break;
    }
    FixedText<2048> shown;
    ValidUtf8(path, shown);
    if (opener) {
        out << (film ? " The film opens in the system's player instead: "
                     : " The disc's folder opens instead: ");
    } else {
        out << (film ? " Open the film with a player: " : " Open the disc's folder: ");
    }
    out << shown.view();
}

void ValidUtf8(std::string_view text, FixedText<2048>& out) {
    for (size_t at = 0; at < text.size();) {
        const size_t length = Utf8Length(text, at);
        if (length == 0) {
            out << '?';
            ++at;
        } else {
            out << std::string_view(text.data() + at, length);
            at += length;
        }
    }
}

void NotificationText(std::string_view text, FixedText<2048>& out) {
    Escaped(text, true, out);
}

void TerminalText(std::string_view text, FixedText<2048>& out) {
    Escaped(text, false, out);
}

void GVariantString(std::string_view text, FixedText<4096>& out) {
    FixedText<2048> valid;
    ValidUtf8(text, valid);
    out << '"';
    for (const char c : valid.view()) {
        if (c == '\\' || c == '"') out << '\\';
        out << c;
    }
    out << '"';
}

}  // namespace Start

}  // namespace discstart
