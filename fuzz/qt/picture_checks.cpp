#include <QImage>
#include <span>
#include <string>

#include "check_support.h"
#include "content/picture.h"
#include "media/jpeg/jpeg_layout.h"
#include "qt_checks.h"

namespace discstart {

namespace {

bool IsJpegMarkerCount(FileBytes file, int scans) {
    int markers = 0;
    for (std::size_t i = 0; i + 1 < file.size(); ++i) markers += file[i] == 0xFF && file[i + 1] == 0xDA;
    return scans <= markers;
}

}  // namespace

Problems CheckPicture(FileBytes file) {
    Problems problems;
    const Jpeg::Layout layout = Jpeg::ReadLayout(file);
    Expect(IsJpegMarkerCount(file, layout.scans), problems, "more scans than start-of-scan markers");
    Expect(layout.scans > 0 || layout.blockScans == 0, problems, "blocks decoded without a scan");
    if (layout.valid) {
        Expect(
            layout.width > 0 && layout.height > 0 && layout.components >= 1 && layout.components <= 4,
            problems,
            "a usable frame of size " + std::to_string(layout.width) + " x " + std::to_string(layout.height));
        Expect(layout.progressive || layout.scans > 1 || layout.coefficientBytes == 0, problems,
               "coefficients kept for a single sequential scan");
    }

    const QByteArray bytes(reinterpret_cast<const char*>(file.data()), qsizetype(file.size()));
    const QSize cover(255, 364);
    const QImage shown = DecodePicture(bytes, "jpg", cover);
    Expect(shown.isNull() || shown.size() == cover, problems, "a cover decoded at another size");
    const bool overBudget = layout.scans > MaxJpegScans || layout.blockScans > quint64(MaxJpegBlockScans) ||
                            layout.coefficientBytes > quint64(MaxDecoderBytes);
    Expect(!(Jpeg::LooksLikeJpeg(file) && overBudget && !shown.isNull()), problems,
           "a JPEG past a budget decoded");

    constexpr qint64 cap = 4096;
    const QImage own = DecodePicture(bytes, "bmp", QSize(), cap);
    Expect(own.isNull() || qint64(own.width()) * own.height() <= cap, problems,
           "a picture decoded past its cap");
    return problems;
}

}  // namespace discstart
