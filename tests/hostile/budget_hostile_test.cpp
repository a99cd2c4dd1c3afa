// Small files made to freeze the window or fill the machine: the window opens at once and
// leaves out what is past a budget, as it leaves out what it cannot read.
#include <QByteArray>
#include <QTest>

#include <gtest/gtest.h>
#include <sys/resource.h>

#include "controls/form_label.h"
#include "controls/picture_box.h"
#include "disc_folder.h"
#include "jpeg_builder.h"
#include "message_box.h"

namespace {

qint64 PeakMegabytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

TEST(HostileBudgets, CoversPastABudgetAreLeftOut) {
    struct Case {
        const char* what;
        JpegSpec spec;
        bool shown;
    };
    const Case cases[] = {
        {"progressive grey 8192 x 8192 with 5000 scans (626 KB)", {8192, 8192, 1, true, 4999}, false},
        {"progressive CMYK 8192 x 8192 (524 KB)", {8192, 8192, 4, true, 0}, false},
        {"baseline grey 8200 x 8200, shown at the cover's size", {8200, 8200, 1, false, 0}, true},
    };
    const qint64 before = PeakMegabytes();
    for (const Case& c : cases) {
        DiscFolder disc;
        disc.add("film.avi", AviWithTitle("Film"));
        disc.add("cover.jpg", BuildJpegAs<QByteArray>(c.spec));
        auto started = StartForm(disc.path());
        Form1& form = *started->form;
        EXPECT_EQ(!form.Image1->picture().isNull(), c.shown) << c.what;
        EXPECT_TRUE(form.Label2->isHidden()) << c.what;
        EXPECT_FALSE(MessageBoxShown()) << c.what;
    }
    // Before the budgets the CMYK picture alone took 545 MB.
    EXPECT_LT(PeakMegabytes() - before, 100) << "peak memory grew, MB";
}

}  // namespace
