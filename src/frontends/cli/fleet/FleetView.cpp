#include "cli/fleet/FleetView.h"

#include "cli/IsTerminal.h"

namespace {

// Columns a text takes on a terminal: the Japanese step names are two columns a character.
int DisplayWidth(const QString& text) {
    int width = 0;
    for (const QChar c : text)
        width += c.unicode() >= 0x1100 ? 2 : 1;
    return width;
}

QString Padded(const QString& text, int width) {
    return text + QString(qMax(0, width - DisplayWidth(text)), QLatin1Char(' '));
}

QString Seconds(qint64 ms) {
    return QStringLiteral("%1 s").arg(double(ms) / 1000.0, 0, 'f', 1);
}

qint64 ElapsedMs(const FleetBoard::Row& row, qint64 nowMs) {
    if (row.phase == FleetBoard::Phase::Waiting)
        return 0;
    return (row.phase == FleetBoard::Phase::Done ? row.endedMs : nowMs) - row.startedMs;
}

void Print(std::FILE* out, const QString& line) {
    const QByteArray utf8 = line.toUtf8();
    std::fwrite(utf8.constData(), 1, std::size_t(utf8.size()), out);
    std::fputc('\n', out);
}

} // namespace

FleetView::FleetView(FleetBoard& board, std::FILE* out)
    : board_(board), out_(out), terminal_(IsTerminal(out)) {}

void FleetView::Refresh() {
    const int changes = board_.Changes();
    // The table's elapsed column moves on its own; the lines only when something happened.
    if (!terminal_ && changes == drawnChanges_)
        return;
    drawnChanges_ = changes;
    if (terminal_)
        DrawTable(board_.Rows());
    else
        PrintEvents();
    std::fflush(out_);
}

void FleetView::DrawTable(const std::vector<FleetBoard::Row>& rows) {
    if (drawnLines_ > 0)
        std::fprintf(out_, "\x1b[%dA", drawnLines_);
    const qint64 now = board_.NowMs();
    const auto line = [&](const QString& text) {
        std::fputs("\r\x1b[2K", out_);
        Print(out_, text);
    };
    line(Padded(QStringLiteral("R/W"), 22) + Padded(QStringLiteral("step"), 16) +
         Padded(QStringLiteral("progress"), 10) + Padded(QStringLiteral("elapsed"), 10) +
         QStringLiteral("result"));
    for (const FleetBoard::Row& row : rows) {
        const bool running = row.phase == FleetBoard::Phase::Running;
        line(Padded(row.name, 22) + Padded(running ? row.step : QString(), 16) +
             Padded(running && row.percent > 0 ? QStringLiteral("%1%").arg(row.percent, 3)
                                               : QString(),
                    10) +
             Padded(Seconds(ElapsedMs(row, now)), 10) +
             (row.phase == FleetBoard::Phase::Waiting ? QStringLiteral("waiting") : row.result));
    }
    drawnLines_ = int(rows.size()) + 1;
}

void FleetView::PrintEvents() {
    for (const FleetBoard::Row& event : board_.TakeEvents()) {
        if (event.phase == FleetBoard::Phase::Done)
            Print(out_,
                  QStringLiteral("%1 %2 %3")
                      .arg(event.name, event.result, Seconds(event.endedMs - event.startedMs)));
        else if (event.percent == 0)
            Print(out_, QStringLiteral("%1 %2").arg(event.name, event.step));
        else
            Print(out_, QStringLiteral("%1 %2 %3%").arg(event.name, event.step).arg(event.percent));
    }
}

void FleetView::Summary(int ok, int ng, int stopped, qint64 wallMs) {
    drawnChanges_ = -1;
    Refresh();
    QString text = QStringLiteral("fleet: %1 R/W, %2 OK, %3 NG").arg(ok + ng).arg(ok).arg(ng);
    if (stopped > 0)
        text += QStringLiteral(" (%1 stopped)").arg(stopped);
    Print(out_, text + QStringLiteral(", %1").arg(Seconds(wallMs)));
    std::fflush(out_);
}
