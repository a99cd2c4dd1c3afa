#include "support/disc_folder.h"

#include <gtest/gtest.h>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTest>
#include <QtEndian>

#include "content/picture_load.h"

namespace discstart {

DiscFolder::DiscFolder() {
    dir_.setAutoRemove(true);
}

void DiscFolder::add(const QString& name, const QByteArray& bytes) {
    QFile file(QDir(path()).filePath(name));
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
}

void DiscFolder::addDirectory(const QString& name) {
    QDir(path()).mkpath(name);
}

namespace {
QByteArray Le32(qint32 value) {
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}
}  // namespace

QByteArray AviWithTitle(const QByteArray& title) {
    QByteArray file(320, '\0');
    file.replace(0, 4, "RIFF");
    file.replace(8, 4, "AVI ");
    const QByteArray text = title + '\0';
    const QByteArray content = "INAM" + Le32(text.size()) + text;
    file += "LIST" + Le32(4 + content.size()) + "INFO" + content;
    file.replace(4, 4, Le32(file.size() - 8));
    return file;
}

QByteArray JpegPicture(int width, int height, Qt::GlobalColor colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG");
    return bytes;
}

void WaitForCover(Form1& form) {
    // Hands the picture over as the window's own short wait does; nothing once it is in.
    auto* load = form.findChild<PictureLoad*>(QStringLiteral("coverLoad"));
    if (load != nullptr) load->settle(std::chrono::seconds(20));
}

}  // namespace discstart
