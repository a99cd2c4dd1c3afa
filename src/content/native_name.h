#pragma once

#include <QByteArray>
#include <QString>
#include <string>

class QUrl;

namespace discstart {

// A disc can name its files with any bytes. Names that are not valid UTF-8 are carried in
// a QString losslessly: each byte that does not decode becomes U+DC80..U+DCFF (the
// surrogate-escape mapping), and NativePathBytes gives the exact bytes back for the OS.

// Bytes from the file system as a QString; valid UTF-8 decodes as usual.
QString NameFromNativeBytes(const QByteArray& bytes);
// The exact bytes to hand the OS for a path made of such names (UTF-8 on Windows).
QByteArray NativePathBytes(const QString& path);
// The same for the path type below Qt (system/system.h), where a path meets Qt.
QString QtPath(const std::string& path);
std::string SystemPath(const QString& path);
// What the window shows of a name: escaped bytes read as Windows-1252.
QString DisplayName(const QString& name);
QString DisplayName(const std::string& name);
// True when the name holds bytes that are not UTF-8.
bool HasEscapedBytes(const QString& name);

// The file: URL of an absolute path. A name that is not UTF-8 keeps its bytes percent-encoded,
// which QUrl carries as they are and a browser engine turns back into the same bytes.
QUrl LocalFileUrl(const QString& path);
// The path a local file: URL names, the bytes of a percent-encoded name that is not UTF-8 kept.
QString LocalFilePath(const QUrl& url);

}  // namespace discstart
