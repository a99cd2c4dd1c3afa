#pragma once

#include <QJsonObject>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "bytes/byte_file.h"
#include "content/discovery.h"
#include "info/panel.h"
#include "media/container.h"
#include "media/movie_types.h"
#include "media/ogg/ogg_media.h"
#include "page/scan/page_files.h"
#include "text/number_format.h"

namespace discstart {

// What a fresh window shows for one movie file or disc folder, after one panel run.
struct DiscReport {
    std::string path;       // as given, in the system's bytes (system/system.h)
    std::string moviePath;  // empty for a folder without a movie
    std::optional<DiscContent> disc;
    MovieTags tags;
    AviHeaderInfo avi;
    OggStreamInfo ogg;
    Ogg::OggStreamNumbers oggNumbers;
    ContainerInfo container;
    PanelUpdate panel;
    // For scripts: what the page needs beside the movie (whose facts are in `panel`).
    std::vector<PageReference> pageFiles;  // those the page may load, and those it may not
    // A read of the movie that failed before its end: the panel's numbers cannot be trusted.
    std::error_code readError;
};

// `page`, when not empty, names the page of a folder whose files `pageFiles` lists.
DiscReport BuildReport(const std::string& path, bool isFolder, const NumberFormat& format,
                       const FileOpener& files, const std::string& page = {});

QJsonObject ReportJson(const DiscReport& report);
// Control characters in names and tags come out escaped (\x1B), so a block stays as laid out.
QString ReportText(const DiscReport& report);

}  // namespace discstart
