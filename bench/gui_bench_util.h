// What the wizard's benchmarks share: the best time of a few runs, and a desktop that opens
// nothing, shows no message and cancels the colour dialog.
#pragma once

#include "appearance_page/colour_dialog.h"
#include "wizard_shell/desktop_services.h"
#include "wizard_shell/document_opener.h"

#include <algorithm>
#include <chrono>
#include <functional>

namespace tovaro::bench {

inline double BestMs(const std::function<void()>& f, int runs = 5)
{
    double best = 1e18;
    for (int i = 0; i < runs; ++i) {
        auto t0 = std::chrono::steady_clock::now();
        f();
        auto t1 = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    return best;
}

struct NullOpener : gui::DocumentOpener {
    void Open(const QString&) override { }
};

/// A colour dialog that is always cancelled.
struct NoDialog : gui::ColourDialog {
    bool Run(QWidget*, ColourValue&) override { return false; }
};

struct NullMessages : gui::MessageBoxes {
    void Information(QWidget*, const QString&, const QString&) override { }
    void Warning(QWidget*, const QString&, const QString&) override { }
};

} // namespace tovaro::bench
