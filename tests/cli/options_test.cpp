#include "cli/options.h"
#include "cli/json_writer.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

namespace discstart {

namespace {

TEST(DiscinfoOptions, ModesPathsAndErrors) {
    using Mode = Options::Mode;
    const struct {
        QStringList args;
        Mode mode;
        bool json;
        QStringList paths;
        const char* error;  // a part of the message
    } cases[] = {
        {{"a", "b"}, Mode::Describe, false, {"a", "b"}, ""},
        {{"--json", "a"}, Mode::Describe, true, {"a"}, ""},
        {{"--", "--json", "-x"}, Mode::Describe, false, {"--json", "-x"}, ""},
        {{"-"}, Mode::Describe, false, {"-"}, ""},
        {{"--check", "d1", "d2"}, Mode::Check, false, {"d1", "d2"}, ""},
        {{"--bogus", "--help"}, Mode::Help, false, {}, ""},
        {{"a", "--version"}, Mode::Version, false, {"a"}, ""},
        {{"--", "--help"}, Mode::Describe, false, {"--help"}, ""},
        {{"a", "--jsno"}, Mode::Describe, false, {"a"}, "unknown option '--jsno'"},
        {{"-j", "a"}, Mode::Describe, false, {"a"}, "unknown option '-j'"},
        {{}, Mode::Describe, false, {}, "no path given"},
        {{"--json", "--"}, Mode::Describe, true, {}, "no path given"},
        {{"--check"}, Mode::Check, false, {}, "--check needs a disc folder"},
        {{"--check", "--json", "d"}, Mode::Check, true, {"d"}, "cannot be combined"},
        {{"--page", "intro.htm", "--json", "d"}, Mode::Describe, true, {"d"}, ""},
        {{"--json", "d", "--page"}, Mode::Describe, true, {"d"}, "--page needs a file name"},
        {{"--page", "", "d"}, Mode::Describe, false, {"d"}, "--page needs a file name"},
        {{"--page", "sub/intro.htm", "d"}, Mode::Describe, false, {"d"}, "--page needs a file name"},
        {{"--check", "--page", "p.htm", "d"}, Mode::Check, false, {"d"}, "--check and --page"},
    };
    for (const auto& c : cases) {
        const Options options = ParseOptions(c.args);
        const std::string line = c.args.join(' ').toStdString();
        EXPECT_EQ(options.mode, c.mode) << line;
        EXPECT_EQ(options.json, c.json) << line;
        EXPECT_EQ(options.paths, c.paths) << line;
        EXPECT_EQ(options.error.isEmpty(), *c.error == '\0') << line;
        EXPECT_TRUE(options.error.contains(QString::fromUtf8(c.error)))
            << line << ": " << options.error.toStdString();
    }
    EXPECT_EQ(ParseOptions({"--page", "-intro.htm", "d"}).page, "-intro.htm");
}

TEST(CompactJson, KeepsNameBytesAndReadsBackAsQtReadsIt) {
    const QString escaped =
        QString("caf") + QChar(char16_t(0xDCE9)) + ".avi";  // the byte E9 of a Latin-1 name
    const QJsonObject object{{"name", escaped},
                             {"text", QString::fromUtf8("t\xC3\xA9\"\\\n\x01\xF0\x9F\x8E\xAC")},
                             {"numbers", QJsonArray{25, 4.04, -1, qint64(5) << 40, 0.1}},
                             {"none", QJsonValue()},
                             {"flags", QJsonArray{true, false}}};
    const QByteArray json = CompactJson(object);
    EXPECT_TRUE(json.contains(R"("name":"caf\udce9.avi")")) << json.toStdString();
    EXPECT_TRUE(json.contains(R"("numbers":[25,4.04,-1,5497558138880,0.1])")) << json.toStdString();
    EXPECT_FALSE(json.contains('\n'));
    QJsonParseError error;
    const QJsonObject back = QJsonDocument::fromJson(json, &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << json.toStdString();
    EXPECT_TRUE(back.contains("name"));
    // Everything else reads back as written (Qt's reader makes the lone surrogate U+FFFD).
    QJsonObject expected = object;
    QJsonObject got = back;
    expected.remove("name");
    got.remove("name");
    EXPECT_EQ(got, expected) << json.toStdString();
}

}  // namespace

}  // namespace discstart
