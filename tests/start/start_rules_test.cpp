#include "start/start_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace discstart {

namespace {

using Start::QtSource;

TEST(StartRules, WindowSystemOfTheSession) {
    struct Case {
        const char* name;
        Start::Session session;
        const char* setPlatform;  // nullptr: left alone
        const char* first;
    } cases[] = {
        {"X alone", {nullptr, ":0", nullptr}, nullptr, "xcb"},
        {"Wayland alone", {nullptr, nullptr, "wayland-0"}, "wayland", "wayland"},
        {"XWayland: X", {nullptr, ":0", "wayland-0"}, "xcb", "xcb"},
        {"empty values count as unset", {"", ":0", ""}, nullptr, "xcb"},
        {"the viewer's choice stands", {"wayland", ":0", "wayland-0"}, nullptr, "wayland"},
        {"a choice with arguments", {"wayland-egl:foo", nullptr, "w"}, nullptr, "wayland"},
        {"a list names the first", {"xcb;wayland", nullptr, "w"}, nullptr, "xcb"},
        {"headless", {"offscreen", ":0", nullptr}, nullptr, ""},
        {"nothing at all", {nullptr, nullptr, nullptr}, nullptr, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const char* set = Start::PlatformToSet(c.session);
        EXPECT_EQ(std::string(set ? set : "-"), std::string(c.setPlatform ? c.setPlatform : "-"));
        Start::Session after = c.session;
        if (set) after.platform = set;
        EXPECT_EQ(Start::FirstWindowSystem(after), c.first);
    }
}

TEST(StartRules, WhatIsReadBeforeTheLauncherStarts) {
    struct Case {
        const char* line;
        QtSource source;
        const char* windowSystem;
        bool read;
    } cases[] = {
        {"host discstart-host", QtSource::Host, "xcb", true},
        {"host discstart-host", QtSource::Disc, "xcb", false},
        {"disc qt/lib/libQt6Core.so.6", QtSource::Disc, "", true},
        {"disc qt/lib/libQt6Core.so.6", QtSource::Host, "xcb", false},
        {"xcb qt/lib/libQt6XcbQpa.so.6", QtSource::Disc, "xcb", true},
        {"xcb qt/lib/libQt6XcbQpa.so.6", QtSource::Disc, "wayland", false},
        {"wayland qt/lib/libQt6WaylandClient.so.6", QtSource::Disc, "wayland", true},
        {"wayland qt/lib/libQt6WaylandClient.so.6", QtSource::Disc, "", false},
        {"late qt/lib/libicudata.so.72", QtSource::Disc, "xcb", false},
        {"start discstart", QtSource::Disc, "xcb", false},
        {"disc qt/a name with spaces.so\r", QtSource::Disc, "xcb", true},
        {"disc", QtSource::Disc, "xcb", false},
        {"disc ", QtSource::Disc, "xcb", false},
        {" disc x", QtSource::Disc, "xcb", false},
        {"", QtSource::Disc, "xcb", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const Start::OrderLine line = Start::ParseOrderLine(c.line);
        EXPECT_EQ(Start::ReadBeforeStart(line, c.source, c.windowSystem), c.read);
    }
    EXPECT_EQ(Start::ParseOrderLine("disc qt/a name with spaces.so\r").path, "qt/a name with spaces.so");
}

TEST(StartRules, ReadOrderFooter) {
    struct Case {
        std::string footer;
        size_t length;
    } cases[] = {
        {"\n#read-order 0000002372\n", 2372},
        {"\n#read-order 0000000000\n", 0},
        {"\n#read-order 00000023x2\n", 0},
        {"\n#read-order 0000002372 ", 0},
        {"\n#read-orders000002372\n", 0},
        {"#read-order 0000002372\n", 0},
        {std::string(Start::OrderFooterSize, '\0'), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.footer);
        EXPECT_EQ(Start::OrderLength(c.footer), c.length);
    }
}

TEST(StartRules, TheFilmAndTheDisplay) {
    EXPECT_EQ(Start::FilmOf("start discstart\nmovie Night Train.avi\ndisc discstart-disc\n"),
              "Night Train.avi");
    EXPECT_EQ(Start::FilmOf("movie\nmovies a.avi\n"), "");
    EXPECT_EQ(Start::FilmOf(""), "");
    EXPECT_FALSE(Start::ReadBeforeStart(Start::ParseOrderLine("movie film.avi"), QtSource::Disc, "xcb"));
    EXPECT_TRUE(Start::NoDisplay({nullptr, "", nullptr}));
    EXPECT_FALSE(Start::NoDisplay({"offscreen", nullptr, nullptr}));
    EXPECT_FALSE(Start::NoDisplay({nullptr, nullptr, "wayland-0"}));
}

TEST(StartRules, TheViewersWish) {
    EXPECT_EQ(Start::ParseQtWish("disc"), Start::QtWish::Disc);
    EXPECT_EQ(Start::ParseQtWish("host"), Start::QtWish::Host);
    for (const char* other : {"", "Disc", "yes", static_cast<const char*>(nullptr)})
        EXPECT_EQ(Start::ParseQtWish(other), Start::QtWish::Either) << (other ? other : "unset");
}

// A read order is the disc's: it names files of the disc's folder and nothing else.
TEST(StartRules, APathStaysOnTheDisc) {
    const struct {
        std::string path;
        bool inside;
    } cases[] = {
        {"qt/lib/libQt6Core.so.6", true},
        {"discstart-disc", true},
        {"a..b/..c/d..", true},
        {"./x", true},
        {"..", false},
        {"../outside", false},
        {"qt/../../outside", false},
        {"qt/..", false},
        {"/dev/zero", false},
        {"", false},
        {std::string("ok\0/../x", 8), false},
    };
    for (const auto& c : cases) EXPECT_EQ(Start::StaysInside(c.path), c.inside) << c.path;

    const struct {
        const char* resolved;
        const char* folder;
        bool beneath;
    } places[] = {
        {"/media/disc/qt/lib", "/media/disc", true},
        {"/media/disc/x", "/media/disc/", true},
        {"/media/disc", "/media/disc", false},
        {"/media/disc/", "/media/disc", false},
        {"/media/disc2/x", "/media/disc", false},
        {"/etc/passwd", "/media/disc", false},
        {"/x", "/", true},
    };
    for (const auto& p : places) EXPECT_EQ(Start::Beneath(p.resolved, p.folder), p.beneath) << p.resolved;
}

// The window's movie lists and their order, as the start program applies them to a disc
// whose read order names no film of its own.
TEST(StartRules, TheWindowsFilmRules) {
    const struct {
        const char* name;
        int list;
    } names[] = {
        {"film.avi", 1}, {"FILM.AVI", 1}, {"a.mkv", 2},   {"b.MP4", 2},        {"c.m4v", 2},    {"d.WebM", 2},
        {".avi", 1},     {".x.MKV", 2},   {"e.webm2", 0}, {"sub/film.avi", 0}, {"film.txt", 0}, {"avi", 0},
    };
    for (const auto& n : names) EXPECT_EQ(Start::FilmListOf(n.name), n.list) << n.name;

    const struct {
        const char* a;
        const char* b;
        bool before;
    } orders[] = {
        {"a.avi", "B.avi", true},   {"B.avi", "a.avi", false}, {"A.avi", "a.avi", true},
        {"a.avi", "A.avi", false},  {"a.avi", "a.avi", false}, {"ab.avi", "a.avi", false},
        {"a_.avi", "aa.avi", true}, {"Z", "a", false},
    };
    for (const auto& o : orders) EXPECT_EQ(Start::ListedBefore(o.a, o.b), o.before) << o.a << " " << o.b;
}

}  // namespace

}  // namespace discstart
