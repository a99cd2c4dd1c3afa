// The real opener: xdg-open started without a shell, the file's exact bytes as its one
// argument, from "/", in a session of its own. A fake xdg-open records what it was given.
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include "app/qt_platform.h"
#include "awkward_names.h"
#include "content/native_name.h"
#include "message_box.h"
#include "support/disc_folder.h"

namespace discstart {

namespace {

constexpr const char* FakeOpener =
    "#!/bin/sh\n"
    "{ printf '%s\\0' \"$(pwd)\"; read -r stat < /proc/$$/stat; printf '%s\\0' \"$stat\";\n"
    "  for a in \"$@\"; do printf '%s\\0' \"$a\"; done; } > \"$OPENER_RECORD.part\"\n"
    "/bin/mv \"$OPENER_RECORD.part\" \"$OPENER_RECORD\"\n";

// PATH holds only a folder of our choosing while a test runs.
class OpenerTest : public testing::Test {
  protected:
    void SetUp() override {
        savedPath_ = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin_.path()));
        qputenv("OPENER_RECORD", QFile::encodeName(record()));
    }
    void TearDown() override {
        qputenv("PATH", savedPath_);
        qunsetenv("OPENER_RECORD");
        while (::waitpid(-1, nullptr, WNOHANG) > 0) {
        }
    }
    void installFakeOpener() {
        QFile script(QDir(bin_.path()).filePath("xdg-open"));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(FakeOpener);
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    }
    QString record() const { return QDir(work_.path()).filePath("record"); }
    // The recorded fields: working directory, /proc stat line, then the arguments.
    QList<QByteArray> waitForRecord() {
        QFile file(record());
        if (!QTest::qWaitFor([&] { return file.exists(); }, 10000)) return {};
        if (!file.open(QIODevice::ReadOnly)) return {};
        QList<QByteArray> fields = file.readAll().split('\0');
        if (!fields.isEmpty() && fields.last().isEmpty()) fields.removeLast();
        file.remove();
        return fields;
    }

    QTemporaryDir bin_;
    QTemporaryDir work_;
    QByteArray savedPath_;
};

TEST_F(OpenerTest, HandsTheExactBytesAsOneArgumentFromTheRootInANewSession) {
    installFakeOpener();
    QtPlatform platform;
    for (const AwkwardName& name : AwkwardNames()) {
        const QByteArray path = QFile::encodeName(work_.path()) + '/' + name.bytes;
        ASSERT_TRUE(platform.openWithAssociatedApplication(NameFromNativeBytes(path), nullptr)) << name.label;
        const QList<QByteArray> fields = waitForRecord();
        ASSERT_EQ(fields.size(), 3) << name.label;
        EXPECT_EQ(fields[0], "/") << name.label;
        const QList<QByteArray> stat = fields[1].split(' ');
        ASSERT_GE(stat.size(), 6) << name.label;
        EXPECT_EQ(stat[5], stat[0]) << name.label << ": not a session leader";
        EXPECT_EQ(fields[2], path) << name.label;
    }
}

// The real platform but for the folder the window reads.
class DiscPlatform : public QtPlatform {
  public:
    QString directory;
    QString applicationDirectory() const override { return directory; }
};

TEST_F(OpenerTest, WithoutAnOpenerPlayKeepsTheWindow) {
    QtPlatform platform;
    EXPECT_FALSE(platform.openWithAssociatedApplication(QStringLiteral("/disc/film.avi"), nullptr));

    DiscFolder disc;
    disc.add("film.avi", AviWithTitle("Film"));
    DiscPlatform real;
    real.directory = disc.path();
    Form1 form(real, [](QWidget* parent) { return new FakePageView(parent); });
    const Form1Ui& ui = Form1View(form).ui();
    form.Form_Load();
    form.show();
    QTest::mouseClick(ui.cmdPlay, Qt::LeftButton);
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(MessageBoxShown());
}

}  // namespace

}  // namespace discstart
