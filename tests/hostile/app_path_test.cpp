// The window's folder is the executable's, by its exact bytes, whatever they are.
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "run_discinfo.h"

namespace discstart {

namespace {

TEST(ApplicationDirectory, IsTheExecutablesFolderByItsBytes) {
    QFile probe(QStringLiteral(APP_PATH_PROBE));
    ASSERT_TRUE(probe.open(QIODevice::ReadOnly));
    const QByteArray program = probe.readAll();
    QTemporaryDir dir;
    const QByteArray base = QFile::encodeName(dir.path()) + '/';
    const QByteArray folders[] = {"plain", "Caf\xE9",
                                  "\xEF\xBB\xBF"
                                  "bom",
                                  "a b\nc",
                                  "\xE2\x80\xAE"
                                  "rtl"};
    for (const QByteArray& name : folders) {
        SCOPED_TRACE(name.constData());
        [&] {
            const QByteArray folder = base + name;
            ASSERT_EQ(::mkdir(folder.constData(), 0700), 0) << name.constData();
            const QByteArray copy = folder + "/probe";
            FILE* out = std::fopen(copy.constData(), "wb");
            ASSERT_NE(out, nullptr);
            std::fwrite(program.constData(), 1, std::size_t(program.size()), out);
            std::fclose(out);
            ASSERT_EQ(::chmod(copy.constData(), 0700), 0);
            const DiscinfoRun run = RunProgram(copy, {});
            EXPECT_EQ(run.status, 0) << name.constData() << run.err.constData();
            EXPECT_EQ(run.out, folder) << name.constData();
            ::unlink(copy.constData());
            ::rmdir(folder.constData());  // QTemporaryDir can't name them to remove them
        }();
    }
}

}  // namespace

}  // namespace discstart
