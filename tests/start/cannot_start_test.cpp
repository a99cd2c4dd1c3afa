#include "start/cannot_start.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace discstart {

namespace {

using Start::Obstacle;

TEST(CannotStart, WhatTheLoaderSays) {
    struct Case {
        const char* name;
        std::string report;
        const char* missing;
        const char* tooOld;
        const char* cLibrary;
    } cases[] = {
        {"all found",
         "\tlinux-vdso.so.1 (0x00007ffd)\n\tlibxcb.so.1 => /lib/x86_64-linux-gnu/libxcb.so.1 (0x7f)\n", "",
         "", ""},
        {"two missing, one found between",
         "\tlibxcb.so.1 => not found\n\tlibz.so.1 => /lib/libz.so.1 (0x1)\n\tlibwayland-client.so.0 => not "
         "found\n",
         "libxcb.so.1, libwayland-client.so.0", "", ""},
        {"the newest C library version wins, whatever the order",
         "./d: /lib/x86_64-linux-gnu/libc.so.6: version `GLIBC_2.33' not found (required by ./d)\n"
         "./d: /lib/x86_64-linux-gnu/libc.so.6: version `GLIBC_2.34' not found (required by ./d)\n"
         "./d: /lib/x86_64-linux-gnu/libc.so.6: version `GLIBC_2.9' not found (required by ./d)\n",
         "", "", "2.34"},
        {"the math library's versions are the C library's",
         "./d: /lib/x86_64-linux-gnu/libc.so.6: version `GLIBC_2.28' not found (required by ./d)\n"
         "./d: /lib/x86_64-linux-gnu/libm.so.6: version `GLIBC_2.29' not found (required by ./d)\n",
         "", "", "2.29"},
        {"GLIBCXX is the C++ library's",
         "./d: /usr/lib/libstdc++.so.6: version `GLIBCXX_3.4.30' not found (required by ./d)\n"
         "./d: /lib/libc.so.6: version `GLIBC_PRIVATE' not found (required by ./d)\n",
         "", "libstdc++.so.6, libc.so.6", ""},
        {"a library named once however often it lacks a version",
         "/m/My: Film/d-host: /usr/lib/libQt6Core.so.6: version `Qt_6.4' not found (required by /m/d)\n"
         "/m/My: Film/d-host: /usr/lib/libstdc++.so.6: version `GLIBCXX_3.4.30' not found (required by "
         "/m/d)\n"
         "/m/My: Film/d-host: /usr/lib/libstdc++.so.6: version `CXXABI_1.3.13' not found (required by "
         "/m/d)\n",
         "", "libQt6Core.so.6, libstdc++.so.6", ""},
        {"a library there but unusable",
         "./d: error while loading shared libraries: libxcb.so.1: file too short\n", "libxcb.so.1", "", ""},
        {"half a line says nothing",
         "./d: /lib/libc.so.6: version `GLIBC_2.34\n=> not found\n\tlibx.so => not foun\n", "", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Start::LoaderReport report = Start::ParseLoaderReport(c.report);
        EXPECT_EQ(report.missing.view(), c.missing);
        EXPECT_EQ(report.tooOld.view(), c.tooOld);
        EXPECT_EQ(report.cLibrary.view(), c.cLibrary);
        EXPECT_EQ(report.runs(), std::string(c.missing) + c.tooOld + c.cLibrary == "");
    }
}

TEST(CannotStart, VersionsCompareByNumber) {
    struct Case {
        const char* a;
        const char* b;
        int order;
    } cases[] = {{"2.9", "2.10", -1},
                 {"2.31", "2.31", 0},
                 {"2.34", "2.3", 1},
                 {"2.31.1", "2.31", 1},
                 {"3", "2.99", 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " " + c.b);
        EXPECT_EQ(Start::CompareVersions(c.a, c.b), c.order);
        EXPECT_EQ(Start::CompareVersions(c.b, c.a), -c.order);
    }
}

TEST(CannotStart, TheMessageSaysWhyAndWhatInstead) {
    Obstacle oldC;
    oldC.kind = Obstacle::Kind::Loader;
    oldC.loader = Start::ParseLoaderReport(
        "\tlibxcb.so.1 => not found\n./d: /lib/libc.so.6: version `GLIBC_2.31' not found (required by "
        "./d)\n");
    oldC.machineCLibrary = "2.28";
    Obstacle noDisplay;
    Obstacle refused;
    refused.kind = Obstacle::Kind::CannotRun;
    refused.error = ENOEXEC;
    struct Case {
        const char* name;
        const Obstacle& obstacle;
        std::string path;
        bool film;
        bool opener;
        std::string said;
    } cases[] = {
        {"old C library and a missing library, film handed over", oldC, "/media/cd/Night Train.avi", true,
         true,
         "It needs the C library glibc 2.31 or newer; this system has glibc 2.28. It needs libraries this "
         "system "
         "lacks: libxcb.so.1. The film opens in the system's player instead: /media/cd/Night Train.avi"},
        {"no display, no opener", noDisplay, "/media/cd/Film.avi", true, false,
         "There is no display to show its window on (neither DISPLAY nor WAYLAND_DISPLAY is set). Open the "
         "film "
         "with a player: /media/cd/Film.avi"},
        {"no film named: the folder", noDisplay, "/media/cd", false, true,
         "There is no display to show its window on (neither DISPLAY nor WAYLAND_DISPLAY is set). The disc's "
         "folder opens instead: /media/cd"},
        {"a name that is not UTF-8", noDisplay, "/m/K\xF6ln.avi", true, false,
         "There is no display to show its window on (neither DISPLAY nor WAYLAND_DISPLAY is set). Open the "
         "film "
         "with a player: /m/K?ln.avi"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Start::FixedText<2048> text;
        Start::Explain(c.obstacle, c.path, c.film, c.opener, text);
        EXPECT_EQ(text.view(), c.said);
    }
    Start::FixedText<2048> text;
    Start::Explain(refused, "/m/F.avi", true, true, text);
    EXPECT_NE(text.view().find("zisofs"), std::string_view::npos) << text.view();
}

TEST(CannotStart, TextForDBus) {
    struct Case {
        std::string text;
        const char* utf8;
        const char* quoted;
    } cases[] = {
        {"plain", "plain", "\"plain\""},
        {"a \"quote\" and a \\", "a \"quote\" and a \\", "\"a \\\"quote\\\" and a \\\\\""},
        {"K\xC3\xB6ln \xE2\x82\xAC", "K\xC3\xB6ln \xE2\x82\xAC", "\"K\xC3\xB6ln \xE2\x82\xAC\""},
        {"cut \xE2\x82", "cut ??", "\"cut ??\""},
        {"overlong \xC0\xAF, surrogate \xED\xA0\x80", "overlong ??, surrogate ???",
         "\"overlong ??, surrogate ???\""},
        {"past U+10FFFF \xF4\x90\x80\x80", "past U+10FFFF ????", "\"past U+10FFFF ????\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Start::FixedText<2048> valid;
        Start::ValidUtf8(c.text, valid);
        EXPECT_EQ(valid.view(), c.utf8);
        Start::FixedText<4096> quoted;
        Start::GVariantString(c.text, quoted);
        EXPECT_EQ(quoted.view(), c.quoted);
    }
}

// Notification servers read the body as markup: the film "Tom &amp; Jerry <RLO>4pm.exe.mkv"
// showed as "Tom & Jerry vkm.exe.mp4".
TEST(CannotStart, TheNotificationShowsTheNameAsItIs) {
    const struct {
        std::string text;
        std::string notified;
        std::string written;
    } cases[] = {
        {"Tom &amp; Jerry \xE2\x80\xAE"
         "4pm.exe.mkv",
         "Tom &amp;amp; Jerry \\u202E4pm.exe.mkv", "Tom &amp; Jerry \\u202E4pm.exe.mkv"},
        {"<b>x</b><a href=\"h\">y</a><img src=\"i\"/>",
         "&lt;b&gt;x&lt;/b&gt;&lt;a href=\"h\"&gt;y&lt;/a&gt;&lt;img src=\"i\"/&gt;",
         "<b>x</b><a href=\"h\">y</a><img src=\"i\"/>"},
        {"a\nb\x1B[2J\x7F\xC2\x9B", "a\\x0Ab\\x1B[2J\\x7F\\x9B", "a\\x0Ab\\x1B[2J\\x7F\\x9B"},
        {"\xE2\x81\xA6\xE2\x80\x8B\xEF\xBB\xBF\xF3\xA0\x81\x81", "\\u2066\\u200B\\uFEFF\\U000E0041",
         "\\u2066\\u200B\\uFEFF\\U000E0041"},
        {"caf\xE9 \xC3\xA9 \xE2\x80\x90", "caf? \xC3\xA9 \xE2\x80\x90", "caf? \xC3\xA9 \xE2\x80\x90"},
    };
    for (const auto& c : cases) {
        Start::FixedText<2048> notified, written;
        Start::NotificationText(c.text, notified);
        Start::TerminalText(c.text, written);
        EXPECT_EQ(notified.view(), c.notified) << c.text;
        EXPECT_EQ(written.view(), c.written) << c.text;
    }
}

// A full body ends before an escape it has no room for, never inside one.
TEST(CannotStart, TheNotificationIsCutBetweenEscapes) {
    const struct {
        size_t room;
        const char* text;
        const char* shown;
    } cases[] = {
        {5, "&", "&amp;"},       {4, "&", ""},   {6, "\xE2\x80\xAE", "\\u202E"},
        {5, "\xE2\x80\xAE", ""}, {1, "a&", "a"},
    };
    for (const auto& c : cases) {
        Start::FixedText<2048> out;
        out << std::string(2048 - c.room, '.');
        Start::NotificationText(c.text, out);
        EXPECT_EQ(out.view().substr(2048 - c.room), c.shown) << c.room << ' ' << c.text;
    }
}

TEST(CannotStart, TextIsCutAtItsCapacity) {
    Start::FixedText<4> text;
    text << "ab"
         << "cde" << 'f';
    EXPECT_EQ(text.view(), "abcd");
    EXPECT_STREQ(text.c_str(), "abcd");
}

}  // namespace

}  // namespace discstart
