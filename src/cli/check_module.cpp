// The disc check as a library of its own; see CMakeLists.txt for why.
#include <QByteArray>
#include <QTextStream>

#include <cstdio>

#include "cli/check_module.h"
#include "content/native_name.h"
#include "kit/disc_check.h"

namespace discstart {

extern "C" Q_DECL_EXPORT int discinfo_run_check(const char* folder) {
    QString text;
    QTextStream out(&text);
    const int status = RunDiscCheck(NameFromNativeBytes(QByteArray(folder)), out);
    // Through the C library's stdout, where discinfo sees whether the write succeeded.
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
    return status;
}

}  // namespace discstart
