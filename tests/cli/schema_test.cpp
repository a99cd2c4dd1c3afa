// discinfo --json against the JSON Schema in docs/, checked by an independent validator.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>

#include "discinfo_run.h"

namespace discstart {

namespace {

// Validates each line of `lines`; prints one line per invalid object. The last line must fail:
// it is the first object without its "facts", so a validator that passes everything shows.
constexpr const char* Validator = R"(
import json, os, sys
import jsonschema
schema = json.load(open(sys.argv[1]))
lines = open(sys.argv[2], encoding='utf-8', errors='surrogateescape').read().splitlines()
objects = [json.loads(line) for line in lines]
broken = dict(objects[0]); del broken['facts']
bad = 0
for i, o in enumerate(objects + [broken]):
    errors = list(jsonschema.Draft202012Validator(schema).iter_errors(o))
    if errors != [] and i < len(objects):
        bad += 1
        print('line %d: %s' % (i + 1, errors[0].message))
    if i == len(objects) and errors == []:
        bad += 1
        print('an object without facts passed')
    if i < len(objects) and o['moviePath'] is not None and not os.path.exists(os.fsencode(o['moviePath'])):
        bad += 1
        print('line %d: moviePath names no file' % (i + 1))
sys.exit(1 if bad else 0)
)";

TEST(DiscinfoSchema, EveryOutputMatchesTheSchema) {
    if (QProcess::execute("/usr/bin/python3", {"-c", "import jsonschema"}) != 0) {
        GTEST_SKIP() << "python3-jsonschema is missing (scripts/deps kit)";
    }
    QTemporaryDir dir;
    // A folder whose movie is named with a byte that is not UTF-8, whose page refers out of it.
    const QString odd = dir.filePath("odd");
    QDir().mkpath(odd);
    ASSERT_TRUE(QFile::copy(TEST_DATA_DIR "/avi-xvid-mp3.avi", odd + "/film" + QChar(0xE9) + ".avi"));
    QFile page(odd + "/page.htm");
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write("<img src=../outside.png><img src=here.png>");
    page.close();
    const QByteArray latin1 = QFile::encodeName(odd) + "/film\xE9.avi";
    ASSERT_EQ(
        ::rename(QFile::encodeName(odd + "/film" + QChar(0xE9) + ".avi").constData(), latin1.constData()), 0);

    QStringList paths{EXAMPLE_DISC_DIR, dir.path(), odd};
    for (const QString& name : QDir(TEST_DATA_DIR).entryList({"*.avi"})) paths << TEST_DATA_DIR "/" + name;
    const Outcome run = Discinfo(QStringList{"--json"} + paths);
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    ASSERT_EQ(run.out.count('\n'), paths.size());
    QFile lines(dir.filePath("lines.json"));
    ASSERT_TRUE(lines.open(QIODevice::WriteOnly));
    lines.write(run.out);
    lines.close();

    QProcess python;
    python.setProcessChannelMode(QProcess::MergedChannels);
    python.start("/usr/bin/python3", {"-c", Validator, SCHEMA_FILE, lines.fileName()});
    ASSERT_TRUE(python.waitForFinished(60000));
    EXPECT_EQ(python.exitCode(), 0) << python.readAll().toStdString();
    ::unlink(latin1.constData());  // a name QTemporaryDir cannot remove
}

}  // namespace

}  // namespace discstart
