// The disc check as a library of its own; see CMakeLists.txt for why.
#include <QByteArray>
#include <QTextStream>

#include "cli/check_module.h"
#include "kit/disc_check.h"

namespace discstart {

extern "C" Q_DECL_EXPORT int discinfo_run_check(const char* folder, CheckOutput output) {
    QString text;
    QTextStream out(&text);
    const int status = RunDiscCheck(folder, out);
    // Through discinfo's own writer: it knows a console from a file and sees a failed write.
    const QByteArray bytes = text.toUtf8();
    return output(bytes.constData(), std::size_t(bytes.size())) ? status : -1;
}

}  // namespace discstart
