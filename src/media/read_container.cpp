#include "media/container.h"

namespace discstart {

// Apart from the kind test, so that a program (or a test) using one reader links without
// the other.
MovieFileKind ReadContainer(const std::string& path, ContainerInfo& info, const FileOpener& files) {
    const auto file = files.open(path);
    if (!file) return MovieFileKind::Other;
    return ReadContainer(*file, ByteWindow::Read(*file, 0, ContainerHeadBlock), info);
}

MovieFileKind ReadContainer(ByteFile& file, const ByteWindow& head, ContainerInfo& info) {
    const MovieFileKind kind = ContainerKind(head);
    if (kind == MovieFileKind::Other) return kind;
    info = {};
    if (kind == MovieFileKind::Mp4) ReadIsoMedia(file, head, info);
    if (kind == MovieFileKind::Matroska) ReadMatroska(file, head, info);
    info.refused = KeepPlausible(info, kind);
    return kind;
}

}  // namespace discstart
