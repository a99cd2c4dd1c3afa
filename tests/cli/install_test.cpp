// cmake --install: what the Debian package is made of, and discinfo finding its check there.
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace discstart {

namespace {

TEST(Install, ProgramsManPagesCompletionLicenceAndTheCheck) {
    QTemporaryDir prefix;
    QProcess install;
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start("cmake", {"--install", BUILD_DIR, "--prefix", prefix.path()});
    ASSERT_TRUE(install.waitForFinished(120000));
    ASSERT_EQ(install.exitCode(), 0) << install.readAll().toStdString();
    for (const char* path :
         {"bin/discstart", "bin/discinfo", "share/man/man1/discinfo.1.gz", "share/man/man1/discstart.1.gz",
          "share/bash-completion/completions/discinfo", "share/doc/discstart/copyright"}) {
        EXPECT_TRUE(QFileInfo(prefix.filePath(path)).isFile()) << path;
    }
    // Nothing beside the installed discinfo: the check comes from the library folder.
    QTemporaryDir empty;
    QProcess check;
    check.start(prefix.filePath("bin/discinfo"), {"--check", empty.path()});
    ASSERT_TRUE(check.waitForFinished(30000));
    EXPECT_EQ(check.exitCode(), 2) << check.readAllStandardError().toStdString();
    EXPECT_TRUE(check.readAllStandardOutput().contains("error[no-movie]"));
}

}  // namespace

}  // namespace discstart
