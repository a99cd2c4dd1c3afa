#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <set>

#include "content/native_name.h"
#include "disc_files.h"
#include "kit/disc_check.h"

namespace discstart {

using namespace media;

namespace {

const QByteArray Page = "<html><body>Night Train</body></html>";
// The first bytes of an MP4 (a file type box) and of a Matroska file (the EBML magic).
const QByteArray Mp4Head = QByteArray(
                               "\0\0\0\x18"
                               "ftypisom",
                               12) +
                           QByteArray(12, '\0');
const QByteArray MatroskaHead = QByteArray("\x1A\x45\xDF\xA3") + QByteArray(60, '\0');

struct FolderCase {
    const char* name;
    std::vector<std::pair<QString, QByteArray>> files;
    std::multiset<std::string> codes;
    int status;
    const char* mentions;
};

const std::vector<FolderCase>& Cases() {
    static const QByteArray avi = Raw(CleanAvi());
    static const QByteArray jpeg = PictureBytes("JPEG");
    static const std::vector<FolderCase> cases = {
        {"clean AVI disc", {{"film.avi", avi}, {"cover.jpg", jpeg}, {"intro.htm", Page}}, {}, 0, ""},
        {"clean Ogg media disc",
         {{"film.avi", Raw(CleanOgm())}, {"cover.jpg", jpeg}, {"intro.htm", Page}},
         {},
         0,
         ""},
        {"BMP cover",
         {{"film.avi", avi}, {"cover.bmp", PictureBytes("BMP")}, {"intro.htm", Page}},
         {},
         0,
         ""},
        {"empty folder", {}, {"no-movie", "no-picture", "no-page"}, 2, " movie is not in the directory "},
        {"no page", {{"film.avi", avi}, {"cover.jpg", jpeg}}, {"no-page"}, 0, "page button is hidden"},
        {"page with its own picture and page",
         {{"film.avi", avi},
          {"cover.jpg", jpeg},
          {"still.jpg", jpeg},
          {"intro.htm", Page},
          {"more.html", Page}},
         {},
         0,
         ""},
        {"page's files missing or outside the folder",
         {{"film.avi", avi},
          {"cover.jpg", jpeg},
          {"intro.htm", "<link rel=stylesheet href='s.css'><IMG SRC=gone.png><img src=\"../up.png\">"},
          {"s.css", "body { background: url(bg.gif) }"}},
         {"page-file-missing", "page-file-missing", "page-file-outside"},
         1,
         "s.css: refers to bg.gif, which is not on the disc"},
#ifndef _WIN32  // Windows names ignore case: there the picture is found
        {"page's picture named in another case",
         {{"film.avi", avi}, {"cover.jpg", jpeg}, {"still.jpg", jpeg}, {"intro.htm", "<img src=Still.JPG>"}},
         {"page-file-missing"},
         1,
         "refers to Still.JPG, which is not on the disc (still.jpg is there, which differs only in case)"},
#endif
        // The page view reads a page of 1 MiB, not one byte more: past it the page shows blank.
        {"page of exactly its budget",
         {{"film.avi", avi},
          {"cover.jpg", jpeg},
          {"intro.htm", Page + QByteArray((1 << 20) - Page.size(), ' ')}},
         {},
         0,
         ""},
        {"page one byte over its budget",
         {{"film.avi", avi},
          {"cover.jpg", jpeg},
          {"intro.htm", Page + QByteArray((1 << 20) - Page.size() + 1, ' ')}},
         {"page-too-large"},
         1,
         "warning[page-too-large]: intro.htm: the page is larger than the page view reads (1 MiB)"},
        {"two movies",
         {{"b.avi", avi}, {"A.avi", avi}, {"cover.jpg", jpeg}, {"intro.htm", Page}},
         {"several-movies"},
         1,
         "uses A.avi and ignores b.avi"},
        {"PNG named .jpg",
         {{"film.avi", avi}, {"cover.jpg", PictureBytes("PNG")}, {"intro.htm", Page}},
         {"picture-format-mismatch"},
         1,
         "PNG, not JPEG"},
        {"JPEG named .gif",
         {{"film.avi", avi}, {"cover.gif", jpeg}, {"intro.htm", Page}},
         {"picture-format-mismatch"},
         1,
         "JPEG, not GIF"},
        {"text named .gif",
         {{"film.avi", avi}, {"cover.gif", "not a picture"}, {"intro.htm", Page}},
         {"picture-unreadable"},
         2,
         "cover area stays empty"},
        {"cut JPEG",
         {{"film.avi", avi}, {"cover.jpg", jpeg.left(20)}, {"intro.htm", Page}},
         {"picture-unreadable"},
         2,
         ""},
        {"name of 63 characters",
         {{QString(63, 'n') + ".avi", avi}, {"cover.jpg", jpeg}, {"intro.htm", Page}},
         {},
         0,
         ""},
#ifndef _WIN32  // Windows names hold no control characters
        {"name with a newline",
         {{"Night\nTrain.avi", avi}, {"cover.jpg", jpeg}, {"intro.htm", Page}},
         {},
         0,
         ""},
#endif
        {"name of 64 characters",
         {{QString(64, 'n') + ".avi", avi}, {"cover.jpg", jpeg}, {"intro.htm", Page}},
         {"title-strip-cut"},
         1,
         "to 63 characters"},
        {"MPEG stream named .avi",
         {{"film.avi", QByteArray("\x00\x00\x01\xBA\x44\x00\x04\x00\x04\x01\x01\x89\xC3\xF8", 14)},
          {"cover.jpg", jpeg},
          {"intro.htm", Page}},
         {"movie-not-avi"},
         2,
         "neither AVI, Ogg media, MP4 nor Matroska"},
        {"MP4 film without tags",
         {{"film.mp4", Mp4Head}, {"cover.jpg", jpeg}, {"intro.htm", Page}},
         {"no-tags"},
         0,
         "-metadata title="},
        {"AVI beside a film",
         {{"z.avi", avi}, {"a.mp4", Mp4Head}, {"cover.jpg", jpeg}, {"intro.htm", Page}},
         {},
         0,
         ""},
        {"MP4 named .avi",
         {{"film.avi", Mp4Head}, {"cover.jpg", jpeg}, {"intro.htm", Page}},
         {"film-named-avi", "no-tags"},
         1,
         "name it .mp4"},
        {"AVI named .mp4",
         {{"film.mp4", avi}, {"cover.jpg", jpeg}, {"intro.htm", Page}},
         {"movie-not-avi"},
         2,
         "not the MP4 or Matroska film its name says"},
        {"Matroska without an index",
         {{"film.mkv", MatroskaHead}, {"cover.jpg", jpeg}, {"intro.htm", Page}},
         {"matroska-no-cues", "matroska-no-seekhead", "no-tags"},
         1,
         ""},
        {"WebM name of 64 characters",
         {{QString(64, 'n') + ".webm", MatroskaHead}, {"cover.jpg", jpeg}, {"intro.htm", Page}},
         {"title-strip-cut", "matroska-no-cues", "matroska-no-seekhead", "no-tags"},
         1,
         "to 63 characters before .webm"},
        {"long author",
         {{"film.avi", Raw(Avi({Avih(), VideoList(), AudioList()},
                               {Info({{"INAM", "Night Train"}, {"IART", "Jean-Baptiste Poquelin"}})}))},
          {"cover.jpg", jpeg},
          {"intro.htm", Page}},
         {"tag-line-cut"},
         1,
         "author line"},
        {"video only",
         {{"film.avi", Raw(Avi({Avih(), VideoList()}, {Info({{"INAM", "Night Train"}})}))},
          {"cover.jpg", jpeg},
          {"intro.htm", Page}},
         {"avi-single-stream", "avi-info-outside"},
         2,
         "film.avi: "},
        {"standard Ogg, Vorbis first",
         {{"film.avi", Raw(OggPage(2, 2, {VorbisIdentification()}) + OggPage(2, 1, {OgmVideoHeader()}))},
          {"cover.jpg", jpeg},
          {"intro.htm", Page}},
         {"ogg-named-avi", "codec-platform"},
         1,
         "not Ogg media"},
    };
    return cases;
}

TEST(DiscCheck, ReadsTheFolderAsTheLauncherDoes) {
    for (const auto& c : Cases()) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        for (const auto& [name, bytes] : c.files) {
            ASSERT_TRUE(WriteFile(dir.filePath(name), bytes));
        }
        auto findings = CheckDisc(dir.path().toStdString());
        std::multiset<std::string> codes;
        std::string all;
        for (const auto& f : findings) {
            codes.insert(f.code);
            all += FindingLine(f) + "\n";
        }
        EXPECT_EQ(codes, c.codes) << all;
        EXPECT_EQ(ExitStatus(findings), c.status);
        EXPECT_NE(all.find(c.mentions), std::string::npos) << all;
    }
}

TEST(DiscCheck, PrintsOneLinePerFindingAndReturnsTheStatus) {
    QTemporaryDir dir;
    QString text;
    QTextStream out(&text);
    EXPECT_EQ(RunDiscCheck(dir.path().toStdString(), out), 2);
    QStringList lines = text.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith("error[no-movie]: ")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("warning[no-picture]: ")) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith("note[no-page]: ")) << lines[2].toStdString();
}

TEST(DiscCheck, MissingFolderIsAnError) {
    QTemporaryDir dir;
    auto findings = CheckDisc(dir.filePath("nowhere").toStdString());
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].code, "no-folder");
    EXPECT_EQ(ExitStatus(findings), 2);
}

#ifndef _WIN32
// A folder named with bytes that are not UTF-8 is read like any other.
TEST(DiscCheck, FolderNameThatIsNotUtf8) {
    QTemporaryDir dir;
    const QByteArray base = QFile::encodeName(dir.path()) + "/Film \xE9t\xE9";
    ASSERT_EQ(::mkdir(base.constData(), 0755), 0);
    for (const auto& [name, bytes] :
         {std::pair{"/film.avi", Raw(CleanAvi())}, {"/cover.jpg", PictureBytes("JPEG")}}) {
        QFile file;
        ASSERT_TRUE(file.open(std::fopen((base + name).constData(), "wb"), QIODevice::WriteOnly,
                              QFileDevice::AutoCloseHandle));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    auto findings = CheckDisc(base.toStdString());
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].code, "no-page");
}
#endif

}  // namespace

namespace {

// The demo disc that ships with the sources must be clean: it is what make-disc is shown with.
TEST(DiscCheck, DemoDiscIsClean) {
    if (!QDir(DEMO_DISC).exists()) GTEST_SKIP() << "no demo disc in this tree";
    auto findings = CheckDisc(DEMO_DISC);
    std::string all;
    for (const auto& f : findings) all += FindingLine(f) + "\n";
    EXPECT_TRUE(findings.empty()) << all;
}

}  // namespace

}  // namespace discstart
