#pragma once

#include <QByteArray>
#include <vector>

namespace discstart {

// Movie names a disc may carry, as the file system's bytes: each must reach the player
// exactly, as one argument.
struct AwkwardName {
    const char* label;
    QByteArray bytes;
};

inline std::vector<AwkwardName> AwkwardNames() {
    return {
        {"spaces", "My Film  2.avi"},
        {"quotes", "it's \"the\" film.avi"},
        {"semicolon", "a;b.avi"},
        {"command substitution", "$(touch pwned)`id`.avi"},
        {"newline", "line\nbreak.avi"},
        {"leading dash", "-rf.avi"},
        {"latin-1", "Caf\xE9 cr\xE8me.avi"},
        {"lone continuation bytes", "\x80\xBF\xFF.avi"},
        {"utf-8 encoded surrogate", "\xED\xB2\x80.avi"},
        {"byte order mark first",
         "\xEF\xBB\xBF"
         "film.avi"},
        {"byte order mark inside",
         "a\xEF\xBB\xBF"
         "b.avi"},
        {"noncharacters", "\xEF\xBF\xBE\xEF\xBF\xBF\xEF\xB7\x90\xF4\x8F\xBF\xBF.avi"},
        {"format characters",
         "\xE2\x80\xAE"
         "gpj.\xE2\x80\x8B\xE2\x81\xA6\xC2\xAD.avi"},
        {"255 bytes", QByteArray(251, 'n') + ".avi"},
        {"255 bytes of two-byte characters", QByteArray("\xC3\xA9").repeated(125) + "x.avi"},
    };
}

}  // namespace discstart
