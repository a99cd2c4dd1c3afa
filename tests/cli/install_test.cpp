// cmake --install: what the Debian package is made of, and discinfo finding its check there.
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace discstart {

namespace {

TEST(Install, ProgramsManPagesCompletionLicenceTheCheckAndTheKit) {
    QTemporaryDir prefix;
    QProcess install;
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start("cmake", {"--install", BUILD_DIR, "--prefix", prefix.path()});
    ASSERT_TRUE(install.waitForFinished(120000));
    ASSERT_EQ(install.exitCode(), 0) << install.readAll().toStdString();
    for (const char* path :
         {"bin/discstart", "bin/discinfo", "bin/make-disc", "share/man/man1/discinfo.1.gz",
          "share/man/man1/discstart.1.gz", "share/man/man1/make-disc.1.gz",
          "share/bash-completion/completions/discinfo", "share/bash-completion/completions/make-disc",
          "share/doc/discstart/copyright", "share/doc/discstart/changelog.gz",
          "share/discstart/disckit/makedisc.py", "share/discstart/disckit/installed.json",
          "share/discstart/licences/discstart"}) {
        EXPECT_TRUE(QFileInfo(prefix.filePath(path)).isFile()) << path;
    }
    QDirIterator start(prefix.path(), {"disc_start"}, QDir::Files | QDir::Executable,
                       QDirIterator::Subdirectories);
    EXPECT_TRUE(start.hasNext()) << "the disc's start program";
    // The installed make-disc finds its kit and the installed programs: it runs discinfo on its
    // inputs before it refuses an image that would overwrite the film.
    const QString film = EXAMPLE_DISC_DIR "/film.avi";
    QProcess make;
    make.setProcessChannelMode(QProcess::MergedChannels);
    make.start(prefix.filePath("bin/make-disc"),
               {"--linux-only", "--force", "--iso", film, film, prefix.filePath("disc")});
    ASSERT_TRUE(make.waitForFinished(60000));
    const QString said = QString::fromUtf8(make.readAll());
    EXPECT_EQ(make.exitCode(), 1) << said.toStdString();
    EXPECT_TRUE(said.contains("is the movie: writing the image would destroy it")) << said.toStdString();
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
