// The small pure pieces under the window: twips, centring, cutting, keys, open command.
#include <gtest/gtest.h>

#include <QLocale>

#include <limits>
#include <stdexcept>
#include "content/regional_format.h"

#include "app/controls/limited_line_edit.h"
#include "app/controls/mouse_keys.h"
#include "app/qt_platform.h"
#include "app/twips.h"

namespace discstart {

TEST(Twips, ConvertsWithFloor) {
    struct Case {
        double twips;
        int pixels;
    } cases[] = {{0, 0}, {15, 1}, {6975, 465}, {310, 20}, {380, 25}, {14, 0}, {-2, -1}, {-15, -1}, {-16, -2}};
    for (const Case& c : cases) EXPECT_EQ(TwipsToPixels(c.twips), c.pixels) << c.twips;
    EXPECT_EQ(TwipsRect(140, 380, 3825, 5460), QRect(9, 25, 255, 364));
}

TEST(CentredOffset, RoundsHalfToEvenThenHalvesTowardZero) {
    struct Case {
        float screen;
        float window;
        int offset;
    } cases[] = {
        {12000, 6975, 2512},                                       // 5025 halves to 2512, not 2513
        {6970, 6975, -2},                                          // -5 halves to -2, not -3
        {11520, 5955, 2782}, {6975, 6975, 0}, {6976.5f, 6975, 1},  // 1.5 rounds to 2
        {6977.5f, 6975, 1},                                        // 2.5 rounds to 2
        {6978.5f, 6975, 2},                                        // 3.5 rounds to 4
        {0, 6975, -3487},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CentredOffset(c.screen, c.window), c.offset) << c.screen << " " << c.window;
}

TEST(CentredOffset, RefusesWhatLeavesTheRange) {
    const float huge = 1e10f;
    const float infinite = std::numeric_limits<float>::infinity();
    const float cases[][2] = {
        {huge, 0}, {0, huge}, {infinite, 0}, {std::numeric_limits<float>::quiet_NaN(), 0}};
    for (const auto& c : cases) EXPECT_THROW(CentredOffset(c[0], c[1]), std::overflow_error) << c[0];
}

TEST(LimitedLineEdit, KeepsTheFirstCharactersWholeAndSignalsOnlyChanges) {
    const QString clef = QString::fromUtf8("\xF0\x9D\x84\x9E");  // one character, two UTF-16 units
    struct Case {
        QString text;
        QString kept;
        int changes;  // after this text, counted from the start
    } cases[] = {
        {QString(30, 'x'), QString(26, 'x'), 1},
        {QString(40, 'x'), QString(26, 'x'), 1},  // cuts to the same text: no change
        {QString(25, 'c') + clef + "d", QString(25, 'c') + clef, 2},
        {QString(26, 'y') + clef, QString(26, 'y'), 3},
        {clef.repeated(30), clef.repeated(26), 4},
        {"short", "short", 5},
    };
    LimitedLineEdit box(26);
    int changes = 0;
    QObject::connect(&box, &QLineEdit::textChanged, [&] { ++changes; });
    for (const Case& c : cases) {
        box.putText(c.text);
        EXPECT_EQ(box.text(), c.kept);
        EXPECT_EQ(changes, c.changes);
    }
}

TEST(MouseKeys, MapsButtonsModifiersAndKeys) {
    EXPECT_EQ(ButtonMask(Qt::LeftButton), 1);
    EXPECT_EQ(ButtonMask(Qt::RightButton), 2);
    EXPECT_EQ(ButtonMask(Qt::MiddleButton), 4);
    EXPECT_EQ(ButtonMask(Qt::LeftButton | Qt::MiddleButton), 5);
    EXPECT_EQ(ButtonMask(Qt::BackButton), 0);
    EXPECT_EQ(ModifierMask(Qt::ShiftModifier | Qt::AltModifier), 5);
    EXPECT_EQ(ModifierMask(Qt::ControlModifier), 2);
    EXPECT_EQ(ModifierMask(Qt::MetaModifier), 0);
    struct Case {
        int qtKey;
        int code;
    } keys[] = {{Qt::Key_F1, 112}, {Qt::Key_F4, 115},  {Qt::Key_F12, 123},  {Qt::Key_P, 'P'},
                {Qt::Key_0, '0'},  {Qt::Key_Space, 0}, {Qt::Key_Escape, 27}};
    for (const Case& c : keys) EXPECT_EQ(KeyCode(c.qtKey), c.code) << c.qtKey;
}

#ifndef _WIN32  // Windows hands the file to the shell (ShellExecuteW)
TEST(AssociatedOpen, PassesTheAbsolutePathAsOneArgumentFromTheRoot) {
    const QString spaced = QStringLiteral("/media/disc/My Film; rm -rf ~.avi");
    const OpenCommand command = AssociatedOpenCommand(spaced);
    EXPECT_EQ(command.program, "xdg-open");
    EXPECT_EQ(command.arguments, QStringList{spaced});
    EXPECT_EQ(command.workingDirectory, "/");
    EXPECT_TRUE(AssociatedOpenCommand("film.avi").arguments.front().startsWith('/'));
}
#endif

TEST(NumberFormatOf, TakesTheLocaleSeparators) {
    struct Case {
        QLocale::Language language;
        const char* decimal;
        const char* group;
    } cases[] = {{QLocale::English, ".", ","}, {QLocale::German, ",", "."}};
    for (const Case& c : cases) {
        const NumberFormat format = NumberFormatOf(QLocale(c.language));
        EXPECT_EQ(format.decimalSeparator, c.decimal);
        EXPECT_EQ(format.groupSeparator, c.group);
    }
}

#ifndef _WIN32
TEST(PreferX11WindowSystem, ChoosesXOnlyUnderWaylandWithXWaylandAndNoChoiceMade) {
    const char* names[] = {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "DISPLAY"};
    QByteArray saved[3];
    for (int i = 0; i < 3; ++i) saved[i] = qgetenv(names[i]);
    struct Case {
        const char* values[3];  // nullptr: unset
        const char* platform;   // QT_QPA_PLATFORM afterwards
    } cases[] = {
        {{nullptr, "wayland-0", ":0"}, "xcb"},
        {{"wayland", "wayland-0", ":0"}, "wayland"},
        {{nullptr, nullptr, ":0"}, nullptr},
        {{nullptr, "wayland-0", nullptr}, nullptr},
    };
    for (const Case& c : cases) {
        for (int i = 0; i < 3; ++i) c.values[i] ? qputenv(names[i], c.values[i]) : qunsetenv(names[i]);
        PreferX11WindowSystem();
        EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), QByteArray(c.platform))
            << c.values[0] << c.values[1] << c.values[2];
    }
    for (int i = 0; i < 3; ++i) saved[i].isNull() ? qunsetenv(names[i]) : qputenv(names[i], saved[i]);
}
#endif

}  // namespace discstart
