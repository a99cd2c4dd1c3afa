#include "media/movie_types.h"

namespace discstart {

const char* KindName(MovieFileKind kind) {
    switch (kind) {
        case MovieFileKind::Avi:
            return "Avi";
        case MovieFileKind::OggMedia:
            return "OggMedia";
        case MovieFileKind::Ogg:
            return "Ogg";
        case MovieFileKind::Mp4:
            return "Mp4";
        case MovieFileKind::Matroska:
            return "Matroska";
        case MovieFileKind::Other:
            break;
    }
    return "Other";
}

}  // namespace discstart
