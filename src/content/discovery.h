#pragma once

#include <QString>
#include <string>

#include "content/file_list.h"

namespace discstart {

inline constexpr const char* MoviePattern = "*.avi";
inline constexpr const char* PicturePattern = "*.jpg;*.bmp;*.gif";
inline constexpr const char* PagePattern = "*.htm;*.html";
inline constexpr int TitleStripLength = 64;
inline constexpr const char* NoMovieTitle = " movie is not in the directory ";
inline constexpr const char* NoPictureNote = "picture is not in the directory";

// What the disc folder holds and what the window makes of it.
// Its paths are the system's bytes (system/system.h), as the readers and the disk take them.
struct DiscContent {
    std::string directory;
    FileList movies;    // fileList(0)
    FileList pictures;  // fileList(1)
    FileList pages;     // fileList(2)

    bool playEnabled() const { return movies.ListCount() > 0; }
    bool pageButtonShown() const { return pages.ListCount() > 0; }
    bool pictureNoteShown() const { return pictures.ListCount() == 0; }
    // The title strip's text, already cut to 64 characters.
    QString titleStrip() const;
    std::string moviePath() const;
    std::string picturePath() const;
    std::string pagePath() const;
};

// The movie list holds the folder's AVI files, or where there is none, its films of FilmPattern.
DiscContent DiscoverContent(const std::string& directory);

// A space, the name as shown without its extension, a space; cut to 64 characters. The
// extension is the last four characters, or the film extension a film name ends in.
QString TitleText(const QString& movieName);
// The movie's file name as the title strip shows it, before the cut: one line (a control
// character or a line separator as a space), without the characters that reorder or hide text.
QString StripName(const QString& movieName);
// StripName without the extension.
QString TitleName(const QString& movieName);

}  // namespace discstart
