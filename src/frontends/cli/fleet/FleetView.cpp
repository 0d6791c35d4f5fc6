#include "cli/fleet/FleetView.h"

#include "cli/IsTerminal.h"

#include <QStringList>

#include <algorithm>
#include <map>

namespace {

// Lines a picture may take at the least: the summary, the header, a row and "more" (and the
// line the cursor rests on); a terminal that does not say its size is taken for 24 lines.
constexpr int kFewestLines = 5;
constexpr int kUnknownLines = 24;

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
    int height = lines_ > 0 ? lines_ : TerminalLines(out_);
    if (height <= 0)
        height = kUnknownLines;
    // Even a tiny window gets the counts, the header, one row and how many more there are.
    height = std::max(height, kFewestLines);
    const qint64 now = board_.NowMs();
    int waiting = 0;
    int ok = 0;
    int ng = 0;
    int skipped = 0;
    std::map<QString, int> inStep;
    std::vector<const FleetBoard::Row*> shown; // running first, then failed
    std::vector<const FleetBoard::Row*> failed;
    for (const FleetBoard::Row& row : rows) {
        if (row.phase == FleetBoard::Phase::Waiting) {
            ++waiting;
        } else if (row.phase == FleetBoard::Phase::Running) {
            ++inStep[row.step];
            shown.push_back(&row);
        } else if (row.result == QLatin1String("OK")) {
            ++ok;
        } else if (row.result == QLatin1String("skipped")) {
            ++skipped;
        } else {
            ++ng;
            failed.push_back(&row);
        }
    }
    shown.insert(shown.end(), failed.begin(), failed.end());

    QStringList summary;
    if (waiting > 0)
        summary << QStringLiteral("waiting %1").arg(waiting);
    for (const auto& [step, count] : inStep)
        summary << QStringLiteral("%1 %2")
                       .arg(step.isEmpty() ? QStringLiteral("starting") : step)
                       .arg(count);
    summary << QStringLiteral("OK %1").arg(ok) << QStringLiteral("NG %1").arg(ng);
    if (skipped > 0)
        summary << QStringLiteral("skipped %1").arg(skipped);
    summary << Seconds(now);

    // The cursor is left on the last line drawn (no line feed after it), so a picture as tall
    // as the window never scrolls it.
    if (drawnLines_ > 1)
        std::fprintf(out_, "\x1b[%dA", drawnLines_ - 1);
    std::fputs("\r\x1b[J", out_);
    QStringList lines{summary.join(QStringLiteral(" · ")),
                      Padded(QStringLiteral("R/W"), 22) + Padded(QStringLiteral("step"), 16) +
                          Padded(QStringLiteral("progress"), 10) +
                          Padded(QStringLiteral("elapsed"), 10) + QStringLiteral("result")};
    const int room = height - 1 - int(lines.size());
    const int fitting = int(shown.size()) <= room ? int(shown.size()) : room - 1;
    for (int i = 0; i < fitting; ++i) {
        const FleetBoard::Row& row = *shown[std::size_t(i)];
        const bool running = row.phase == FleetBoard::Phase::Running;
        lines << Padded(row.name, 22) + Padded(running ? row.step : QString(), 16) +
                     Padded(running && row.percent > 0 ? QStringLiteral("%1%").arg(row.percent, 3)
                                                       : QString(),
                            10) +
                     Padded(Seconds(ElapsedMs(row, now)), 10) + row.result;
    }
    if (fitting < int(shown.size()))
        lines << QStringLiteral("... %1 more running or failed").arg(int(shown.size()) - fitting);
    const QByteArray picture = lines.join(QLatin1Char('\n')).toUtf8();
    std::fwrite(picture.constData(), 1, std::size_t(picture.size()), out_);
    drawnLines_ = int(lines.size());
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

void FleetView::Summary(int ok, int ng, int skipped, int stopped, qint64 wallMs) {
    drawnChanges_ = -1;
    Refresh();
    if (terminal_)
        std::fputc('\n', out_); // below the last picture, which ends without one
    QString text = QStringLiteral("fleet: %1 R/W, %2 OK").arg(ok + ng).arg(ok);
    if (skipped > 0)
        text += QStringLiteral(" (%1 skipped)").arg(skipped);
    text += QStringLiteral(", %1 NG").arg(ng);
    if (stopped > 0)
        text += QStringLiteral(" (%1 stopped)").arg(stopped);
    Print(out_, text + QStringLiteral(", %1").arg(Seconds(wallMs)));
    std::fflush(out_);
}
