#pragma once

#include <QJsonObject>
#include <QString>

#include <optional>

#include "byte_file.h"
#include "discovery.h"
#include "movie_types.h"
#include "number_format.h"
#include "panel.h"

// What a fresh window shows for one movie file or disc folder, after one panel run.
struct DiscReport {
    QString moviePath;  // empty for a folder without a movie
    std::optional<DiscContent> disc;
    MovieTags tags;
    AviHeaderInfo avi;
    OggStreamInfo ogg;
    PanelUpdate panel;
};

DiscReport BuildReport(const QString& path, bool isFolder, const NumberFormat& format,
                       const FileOpener& files = DiskFiles());

QJsonObject ReportJson(const DiscReport& report);
QString ReportText(const DiscReport& report);

