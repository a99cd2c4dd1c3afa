#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "content/picture.h"
#include "support/jpeg_builder.h"

namespace discstart {

namespace {

const QSize Cover(255, 364);

QByteArray Encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QImage Filled(QSize size, QColor colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// A GIF header and logical screen that claim a picture of the given size, and nothing after.
QByteArray GifHeader(quint16 width, quint16 height) {
    QByteArray bytes("GIF89a");
    bytes.append(char(width & 0xff)).append(char(width >> 8));
    bytes.append(char(height & 0xff)).append(char(height >> 8));
    bytes.append("\x00\x00\x00", 3);
    bytes.append("\x2c\x00\x00\x00\x00", 5);
    bytes.append(char(width & 0xff)).append(char(width >> 8));
    bytes.append(char(height & 0xff)).append(char(height >> 8));
    bytes.append("\x00\x02\x02\x44\x01\x00\x3b", 7);
    return bytes;
}

struct PictureCase {
    const char* name;
    const char* fileName;
    QByteArray bytes;
    bool loads;
};

class PictureTable : public testing::TestWithParam<PictureCase> {};

TEST_P(PictureTable, LoadsByContentAndStretchesToTheCover) {
    const PictureCase& c = GetParam();
    QTemporaryDir dir;
    QFile file(dir.filePath(c.fileName));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(c.bytes);
    file.close();
    const QImage image = LoadCoverPicture(file.fileName().toStdString(), Cover);
    EXPECT_EQ(!image.isNull(), c.loads);
    if (c.loads) {
        EXPECT_EQ(image.size(), Cover);
    }
}

const QByteArray Jpeg = Encoded(Filled({100, 100}, Qt::red), "JPG");

QImage Gradient(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) image.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
    return image;
}

// A real picture cut short in its scan data: the decoder shows what arrived.
const QByteArray BigJpeg = Encoded(Gradient({400, 400}), "JPG");

INSTANTIATE_TEST_SUITE_P(
    Cases, PictureTable,
    testing::Values(PictureCase{"Jpeg", "cover.jpg", Jpeg, true},
                    PictureCase{"JpegNamedGif", "cover.gif", Jpeg, true},
                    PictureCase{"Bmp", "cover.bmp", Encoded(Filled({600, 900}, Qt::blue), "BMP"), true},
                    PictureCase{"EmptyFile", "cover.jpg", QByteArray(), false},
                    PictureCase{"TextFile", "cover.jpg", QByteArray("this is not a picture\n"), false},
                    PictureCase{"TruncatedJpeg", "cover.jpg", BigJpeg.left(BigJpeg.size() * 2 / 3), true},
                    PictureCase{"JpegHeaderOnly", "cover.jpg", Jpeg.left(20), false},
                    PictureCase{"HugeGifHeader", "cover.gif", GifHeader(30000, 30000), false}),
    [](const testing::TestParamInfo<PictureCase>& info) { return std::string(info.param.name); });

TEST(Picture, StretchesWithoutKeepingProportions) {
    QImage source(100, 100, QImage::Format_RGB32);
    source.fill(Qt::white);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x) source.setPixelColor(x, y, Qt::black);
    QTemporaryDir dir;
    const QString path = dir.filePath("cover.bmp");
    ASSERT_TRUE(source.save(path, "BMP"));
    const QImage image = LoadCoverPicture(path.toStdString(), Cover);
    ASSERT_EQ(image.size(), Cover);
    // The top half of the source fills the top half of the cover, stretched, not letterboxed.
    EXPECT_LT(qGray(image.pixel(0, 10)), 40);
    EXPECT_LT(qGray(image.pixel(254, 170)), 40);
    EXPECT_GT(qGray(image.pixel(0, 200)), 215);
    EXPECT_GT(qGray(image.pixel(254, 363)), 215);
}

TEST(Picture, MissingPathGivesNoPicture) {
    EXPECT_TRUE(LoadCoverPicture("", Cover).isNull());
    EXPECT_TRUE(LoadCoverPicture("/nonexistent/cover.jpg", Cover).isNull());
    QTemporaryDir dir;
    EXPECT_TRUE(LoadCoverPicture(dir.path().toStdString(), Cover).isNull());
}

// Pictures made to freeze or fill the machine are left out before they are decoded; a big
// plain JPEG is decoded at the size it is shown.
TEST(Picture, BudgetsOfTheDecode) {
    struct Case {
        const char* what;
        JpegRecipe recipe;
        bool shown;
    };
    const Case cases[] = {
        {"progressive grey 8192 x 8192, 5000 AC scans", {8192, 8192, 1, true, 5000}, false},
        {"progressive CMYK 8192 x 8192: 512 MB of coefficients", {8192, 8192, 4, true, 0}, false},
        {"progressive grey 8200 x 8200: 134 MB of coefficients", {8200, 8200, 1, true, 0}, false},
        {"101 scans", {64, 64, 1, true, 100}, false},
        {"100 scans", {64, 64, 1, true, 99}, true},
        {"progressive grey 4096 x 4096, 10 AC scans", {4096, 4096, 1, true, 10}, true},
        {"baseline grey 8200 x 8200", {8200, 8200, 1, false, 0}, true},
        {"baseline colour 30000 x 20000", {30000, 20000, 3, false, 0}, true},
        {"progressive grey 7000 x 7000, 90 scans: 69 M block scans", {7000, 7000, 1, true, 89}, false},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        [&] {
            QFile file(dir.filePath("cover.jpg"));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(BuildJpegAs<QByteArray>(c.recipe));
            file.close();
            const QImage image = LoadCoverPicture(file.fileName().toStdString(), Cover);
            EXPECT_EQ(image.isNull() ? QSize() : image.size(), c.shown ? Cover : QSize()) << c.what;
        }();
    }
    EXPECT_EQ(qgetenv("JPEGMEM"), QByteArray::number(MaxDecoderBytes / 1000));
}

TEST(Picture, OwnSizeWithinTheCallersCap) {
    struct Case {
        const char* what;
        QByteArray bytes;
        qint64 maxPixels;
        QSize size;  // empty: left out
    };
    const Case cases[] = {
        {"bmp within", Encoded(Filled({60, 40}, Qt::blue), "BMP"), 2400, {60, 40}},
        {"bmp past", Encoded(Filled({60, 40}, Qt::blue), "BMP"), 2399, {}},
        {"jpeg within", BuildJpegAs<QByteArray>({64, 32, 3, false, 0}), 2048, {64, 32}},
        {"jpeg past", BuildJpegAs<QByteArray>({64, 32, 3, false, 0}), 2047, {}},
        // The frame says 1 x 1, the screen it is drawn on 1 x 6913.
        {"gif drawn on a bigger screen than its frame",
         QByteArray(
             "GIF89a\x01\x00\x01\x1b\x00\x08\x00,\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02D\x01\x00;", 29),
         4096,
         {}},
        {"jpeg past the decoded budget",
         BuildJpegAs<QByteArray>({4097, 4096, 1, false, 0}),
         MaxPicturePixels,
         {}},
    };
    for (const Case& c : cases) {
        const QImage image = DecodePicture(c.bytes, "jpg", QSize(), c.maxPixels);
        EXPECT_EQ(image.isNull() ? QSize() : image.size(), c.size) << c.what;
    }
}

}  // namespace

}  // namespace discstart
