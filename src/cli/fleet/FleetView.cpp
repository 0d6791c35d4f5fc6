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

FleetView::FleetView(const FleetBoard& board, std::FILE* out)
    : board_(board), out_(out), terminal_(IsTerminal(out)) {}

void FleetView::Refresh() {
    const int changes = board_.Changes();
    // The table's elapsed column moves on its own; the lines only when something happened.
    if (!terminal_ && changes == drawnChanges_)
        return;
    drawnChanges_ = changes;
    const std::vector<FleetBoard::Row> rows = board_.Rows();
    if (terminal_)
        DrawTable(rows);
    else
        PrintChanges(rows);
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
             Padded(running ? QStringLiteral("%1%").arg(row.percent, 3) : QString(), 10) +
             Padded(Seconds(ElapsedMs(row, now)), 10) +
             (row.phase == FleetBoard::Phase::Waiting ? QStringLiteral("waiting") : row.result));
    }
    drawnLines_ = int(rows.size()) + 1;
}

void FleetView::PrintChanges(const std::vector<FleetBoard::Row>& rows) {
    printed_.resize(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const FleetBoard::Row& row = rows[i];
        FleetBoard::Row& last = printed_[i];
        const bool ended = row.phase == FleetBoard::Phase::Done;
        // A new step, and every quarter of a long one (erase, write).
        const bool moved = row.phase == FleetBoard::Phase::Running && !row.step.isEmpty() &&
                           (row.step != last.step || row.percent / 25 > last.percent / 25);
        if (ended && last.phase != FleetBoard::Phase::Done)
            Print(out_, QStringLiteral("%1 %2 %3")
                            .arg(row.name, row.result, Seconds(row.endedMs - row.startedMs)));
        else if (moved)
            Print(out_, QStringLiteral("%1 %2 %3%").arg(row.name, row.step).arg(row.percent));
        else
            continue;
        last = row;
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
