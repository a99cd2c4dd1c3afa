#include <QByteArray>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QRect>
#include <QSet>
#include <QString>

#include <gtest/gtest.h>

#include <vector>

namespace discstart {

namespace {

struct Picture {
    const char* name;
    int width;
    int height;
    int maxColours;
};

// Sizes and palettes the window design fixes; each picture box is exactly its picture's size.
const std::vector<Picture> kPictures = {
    {"frame", 465, 397, 256}, {"page_show", 31, 21, 128},    {"page_hide", 31, 21, 128},
    {"close", 21, 21, 16},    {"close_pressed", 21, 21, 16}, {"title_strip", 444, 21, 8},
    {"xvid", 189, 69, 256},
};

QString resource(const QString& name) {
    return QStringLiteral(":/assets/") + name;
}

QImage load(const QString& name) {
    QImage image(resource(name));
    EXPECT_FALSE(image.isNull()) << name.toStdString();
    return image;
}

struct GifFacts {
    int paletteSize = 0;  // global colour table entries, 0 when there is none
    bool transparentColour = false;
};

// Qt hands GIFs back as 32-bit images, so the palette is read from the file itself: the header's
// colour table size, then the extensions before the first image for a declared transparent index.
GifFacts gifFacts(const QString& name) {
    QFile file(resource(name));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    const auto at = [&](qsizetype i) { return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0; };
    if (!bytes.startsWith("GIF8")) return {};
    GifFacts facts;
    if (at(10) & 0x80) facts.paletteSize = 2 << (at(10) & 7);
    for (qsizetype i = 13 + 3 * facts.paletteSize; at(i) == 0x21;) {
        if (at(i + 1) == 0xF9 && (at(i + 3) & 1)) facts.transparentColour = true;
        for (i += 2; at(i) != 0 && i < bytes.size(); i += at(i) + 1) {
        }
        ++i;
    }
    return facts;
}

TEST(AssetsTest, PicturesHaveTheirDesignSizeAndPalette) {
    for (const auto& picture : kPictures) {
        SCOPED_TRACE(picture.name);
        [&] {
            QImageReader reader(resource(QString::fromLatin1(picture.name) + ".gif"));
            EXPECT_EQ(reader.format(), "gif");
            EXPECT_EQ(reader.imageCount(), 1);
            const QImage image = reader.read();
            ASSERT_FALSE(image.isNull());
            EXPECT_EQ(image.size(), QSize(picture.width, picture.height));
            const GifFacts facts = gifFacts(QString::fromLatin1(picture.name) + ".gif");
            EXPECT_GT(facts.paletteSize, 0);
            EXPECT_LE(facts.paletteSize, picture.maxColours);
            EXPECT_EQ(facts.transparentColour, QString::fromLatin1(picture.name) == "frame");
            QSet<QRgb> colours;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) colours.insert(image.pixel(x, y));
            EXPECT_LE(colours.size(), picture.maxColours);
        }();
    }
}

TEST(AssetsTest, HighDpiVersionsAreExactlyDouble) {
    for (const auto& picture : kPictures) {
        SCOPED_TRACE(picture.name);
        const QImage image = load(QString::fromLatin1(picture.name) + "@2x.png");
        EXPECT_EQ(image.size(), QSize(2 * picture.width, 2 * picture.height));
    }
}

TEST(AssetsTest, PngCopiesHoldTheGifsPixels) {
    for (const auto& picture : kPictures) {
        SCOPED_TRACE(picture.name);
        [&] {
            const QImage gif =
                load(QString::fromLatin1(picture.name) + ".gif").convertToFormat(QImage::Format_ARGB32);
            const QImage png =
                load(QString::fromLatin1(picture.name) + ".png").convertToFormat(QImage::Format_ARGB32);
            ASSERT_EQ(png.size(), gif.size());
            int differing = 0;
            for (int y = 0; y < gif.height(); ++y)
                for (int x = 0; x < gif.width(); ++x) differing += gif.pixel(x, y) != png.pixel(x, y);
            EXPECT_EQ(differing, 0);
        }();
    }
}

// The frame's holes, where the cover, the play button and the page view show through.
const std::vector<QRect> kHoles = {
    QRect(QPoint(6, 21), QPoint(458, 24)),
    QRect(QPoint(6, 362), QPoint(458, 390)),
    QRect(QPoint(6, 25), QPoint(265, 361)),
    QRect(QPoint(455, 25), QPoint(458, 361)),
};

void expectFrameHoles(const QImage& frame, int scale) {
    ASSERT_EQ(frame.size(), QSize(465 * scale, 397 * scale));
    int wrong = 0;
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            const QPoint at(x / scale, y / scale);
            bool hole = false;
            for (const auto& rect : kHoles) hole = hole || rect.contains(at);
            const int alpha = qAlpha(frame.pixel(x, y));
            if (hole ? alpha != 0 : alpha != 255) {
                if (++wrong <= 5) ADD_FAILURE() << "pixel " << x << "," << y << " alpha " << alpha;
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST(AssetsTest, FrameIsOpaqueExceptItsHoles) {
    expectFrameHoles(load("frame.gif"), 1);
    expectFrameHoles(load("frame@2x.png"), 2);
}

TEST(AssetsTest, OnlyTheFrameHasTransparency) {
    for (const auto& picture : kPictures) {
        if (QString::fromLatin1(picture.name) == "frame") continue;
        SCOPED_TRACE(picture.name);
        EXPECT_FALSE(load(QString::fromLatin1(picture.name) + ".gif").hasAlphaChannel());
    }
}

TEST(AssetsTest, IconHoldsSixteenAndThirtyTwoPixelImages) {
    QImageReader reader(resource("icon.ico"));
    ASSERT_EQ(reader.imageCount(), 2);
    QSet<int> sides;
    for (int i = 0; i < reader.imageCount(); ++i) {
        ASSERT_TRUE(reader.jumpToImage(i));
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.width(), image.height());
        sides.insert(image.width());
    }
    EXPECT_EQ(sides, (QSet<int>{16, 32}));
}

TEST(AssetsTest, CursorIsBlackAndWhiteWithItsHotSpotOnTheHand) {
    const QImage cursor = load("cursor.png");
    ASSERT_EQ(cursor.size(), QSize(32, 32));
    QSet<QRgb> opaque;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QRgb pixel = cursor.pixel(x, y);
            if (qAlpha(pixel) == 0) continue;
            EXPECT_EQ(qAlpha(pixel), 255) << x << "," << y;
            opaque.insert(pixel);
        }
    }
    EXPECT_EQ(opaque, (QSet<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)}));
    EXPECT_EQ(qAlpha(cursor.pixel(6, 0)), 255);
}

TEST(AssetsTest, FontsRegisterAsLiberationSans) {
    for (const char* file : {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf"}) {
        SCOPED_TRACE(file);
        const int id = QFontDatabase::addApplicationFont(resource(QStringLiteral("fonts/") + file));
        ASSERT_NE(id, -1);
        EXPECT_TRUE(QFontDatabase::applicationFontFamilies(id).contains("Liberation Sans"));
    }
}

}  // namespace

}  // namespace discstart

int main(int argc, char** argv) {
    // Test discovery runs this binary without the test environment; it needs no display either.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
