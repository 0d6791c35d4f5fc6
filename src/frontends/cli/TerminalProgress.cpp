#include "cli/TerminalProgress.h"

#include "cli/IsTerminal.h"

#include <algorithm>

namespace {
constexpr int kBarWidth = 40;
}

TerminalProgress::TerminalProgress(std::FILE* out) : out_(out), enabled_(IsTerminal(out)) {}

void TerminalProgress::Update(int percent) {
    percent = std::clamp(percent, 0, 100);
    // The gauge is reset to 0 at the end of a run with no step running: nothing to show.
    if (!enabled_ || phase_.isEmpty() || (drawn_ && percent == lastPercent_))
        return;
    const int filled = percent * kBarWidth / 100;
    const QByteArray bar = QByteArray(filled, '#') + QByteArray(kBarWidth - filled, '.');
    std::fprintf(out_, "\r\x1b[K%s [%s] %3d%%", phase_.toUtf8().constData(), bar.constData(),
                 percent);
    std::fflush(out_);
    drawn_ = true;
    lastPercent_ = percent;
}

void TerminalProgress::Clear() {
    if (!drawn_)
        return;
    std::fputs("\r\x1b[K", out_);
    std::fflush(out_);
    drawn_ = false;
}
