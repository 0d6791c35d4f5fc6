// The fleet on a terminal: every picture fits the window, so a fleet of hundreds never pushes
// lines into the scrollback, and what the operator must see (the counts, the running and the
// failed R/Ws) is on it.

#include "cli/fleet/FleetView.h"
#include "update/UpdateSteps.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

constexpr int kWindowLines = 12;

// Everything written to `file` so far.
QString Written(std::FILE* file) {
    std::fflush(file);
    std::rewind(file);
    QByteArray bytes;
    char chunk[4096];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
        bytes.append(chunk, qsizetype(n));
    return QString::fromUtf8(bytes);
}

// The pictures in the order drawn: each starts by clearing from the cursor down.
QStringList Pictures(const QString& written) {
    QStringList pictures = written.split(QStringLiteral("\r\x1b[J"));
    pictures.removeFirst(); // what came before the first picture
    return pictures;
}

} // namespace

TEST(FleetView, PicturesFitTheWindowAndShowTheRunningAndTheFailed) {
    std::vector<QString> names;
    for (int k = 0; k < 100; ++k)
        names.push_back(QStringLiteral("127.0.0.%1:9004").arg(k + 1));
    FleetBoard board(names);
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    FleetView view(board, out);
    view.SetTerminal(true, kWindowLines);

    RunEvent writing;
    writing.kind = RunEvent::Kind::StepStarted;
    writing.step = UpdateStep::Write;
    for (int k = 0; k < 3; ++k) {
        board.Start(k);
        board.Take(k, writing);
    }
    board.Start(3);
    board.Finish(3, QStringLiteral("NG (15)"));
    view.Refresh();
    for (int k = 10; k < 90; ++k) {
        board.Start(k);
        board.Take(k, writing);
    }
    view.Refresh();
    view.Summary(0, 1, 0, 0, 1000);

    const QString written = Written(out);
    std::fclose(out);
    const QStringList pictures = Pictures(written);
    ASSERT_EQ(pictures.size(), 3);
    // The summary line at the end comes below the last picture.
    for (const QString& picture : pictures)
        EXPECT_LT(picture.section(QStringLiteral("\nfleet: "), 0, 0).count(QLatin1Char('\n')),
                  kWindowLines - 1)
            << picture.toStdString();
    EXPECT_TRUE(pictures.last().endsWith(QStringLiteral("\nfleet: 1 R/W, 0 OK, 1 NG, 1.0 s\n")));
    // Few enough: every running and failed R/W has its row, under the counts.
    EXPECT_TRUE(pictures[0].startsWith(QStringLiteral("waiting 96 · 書き込み 3 · OK 0 · NG 1")))
        << pictures[0].toStdString();
    EXPECT_TRUE(pictures[0].contains(QStringLiteral("127.0.0.4:9004")));
    EXPECT_TRUE(pictures[0].contains(QStringLiteral("NG (15)")));
    // Too many: as many rows as fit, and how many more there are.
    EXPECT_TRUE(pictures[1].startsWith(QStringLiteral("waiting 16 · 書き込み 83 · OK 0 · NG 1")));
    EXPECT_TRUE(pictures[1].contains(QStringLiteral("... 76 more running or failed")))
        << pictures[1].toStdString();
}
