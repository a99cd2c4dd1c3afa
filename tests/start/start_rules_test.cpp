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

}  // namespace

}  // namespace discstart
