#include "media/container.h"

namespace discstart {

// Apart from the kind test, so that a program (or a test) using one reader links without
// the other.
MovieFileKind ReadContainer(ByteFile& file, std::uint64_t fileLength, ContainerInfo& info) {
    return ReadContainer(file, ByteWindow::Read(file, 0, ContainerHeadBlock), fileLength, info);
}

MovieFileKind ReadContainer(ByteFile& file, const ByteWindow& head, std::uint64_t fileLength,
                            ContainerInfo& info) {
    const MovieFileKind kind = ContainerKind(head);
    if (kind == MovieFileKind::Other) return kind;
    info = {};
    if (kind == MovieFileKind::Mp4) ReadIsoMedia(file, head, info, fileLength);
    if (kind == MovieFileKind::Matroska) ReadMatroska(file, head, info);
    info.refused = KeepPlausible(info, kind);
    return kind;
}

MovieFileKind ReadContainer(const std::string& path, ContainerInfo& info, const FileOpener& files) {
    const auto file = files.open(path);
    if (!file) return MovieFileKind::Other;
    const auto length = files.length(path);
    return ReadContainer(*file, length && *length > 0 ? std::uint64_t(*length) : 0, info);
}

}  // namespace discstart
