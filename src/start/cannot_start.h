#pragma once

#include <string_view>

#include "start/text.h"

namespace discstart {

namespace Start {

// What the dynamic loader says of a launcher it only traces (LD_TRACE_LOADED_OBJECTS=1 with
// LD_WARN=yes): the libraries it does not find ("\tNAME => not found") and the symbol versions
// a library lacks ("PROGRAM: LIBRARY: version `VERSION' not found (required by OBJECT)"); a
// library it cannot load ends it ("PROGRAM: error while loading shared libraries: NAME: WHY").
struct LoaderReport {
    FixedText<512> missing;  // libraries not found, ", " between them
    FixedText<512> tooOld;   // libraries other than the C library lacking a version, ", " between
    FixedText<32> cLibrary;  // the newest glibc version wanted and not there ("2.34"), or empty
    bool runs() const { return missing.empty() && tooOld.empty() && cLibrary.empty(); }
};
LoaderReport ParseLoaderReport(std::string_view text);

// <0, 0, >0 as dotted version `a` is older than, the same as or newer than `b` ("2.9" < "2.10").
int CompareVersions(std::string_view a, std::string_view b);

// Why the launcher cannot run here.
struct Obstacle {
    enum class Kind { NoDisplay, Loader, CannotRun } kind = Kind::NoDisplay;
    LoaderReport loader;               // Kind::Loader
    std::string_view machineCLibrary;  // Kind::Loader: this system's glibc version
    int error = 0;                     // Kind::CannotRun: why exec refused it (errno)
};

inline constexpr std::string_view CannotStartSummary = "The disc's program cannot start on this system";

// The notification's text: why, then what the viewer can do instead with `path`: the film, or
// the disc's folder when the disc names no film (`film` false). `opener` says whether xdg-open
// is there to hand it over.
void Explain(const Obstacle& obstacle, std::string_view path, bool film, bool opener, FixedText<2048>& out);

// `text` as a GVariant string literal (gdbus reads its arguments so): quoted, with \ and "
// escaped, and every byte that is not part of valid UTF-8 shown as "?", since D-Bus carries
// UTF-8 alone.
void GVariantString(std::string_view text, FixedText<4096>& out);

// `text` for a notification's body, which notification servers read as markup: "&", "<" and
// ">" as entities; as discinfo writes them, control characters as \xNN and the characters that
// show nothing but reorder or hide text (text/invisible.h) as \uNNNN; bytes that are not part of
// valid UTF-8 as "?". So a folder or film name is neither markup nor reads as another name.
// Where a piece does not fit, it and what follows are left out.
void NotificationText(std::string_view text, FixedText<2048>& out);

// The same escapes without the markup, for a terminal.
void TerminalText(std::string_view text, FixedText<2048>& out);

// `text` with every byte that is not part of valid UTF-8 shown as "?".
void ValidUtf8(std::string_view text, FixedText<2048>& out);

}  // namespace Start

}  // namespace discstart
