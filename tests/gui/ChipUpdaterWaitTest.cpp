// The wait for the chip updater keeps the windows alive: the child here ends only once the
// window has been repainted while it ran, so a wait that blocks the event loop fails the test
// (after the child's own time limit) instead of hanging it.
#include "support/TestChildProgram.h"
#include "update/ExecChildProcess.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>

namespace {

class PaintWatcher final : public QWidget {
public:
    std::function<void()> onPaint;

protected:
    void paintEvent(QPaintEvent*) override {
        if (onPaint)
            onPaint();
    }
};

} // namespace

TEST(ChipUpdaterWait, DisabledWindowIsRepaintedWhileTheChildRuns) {
    ASSERT_TRUE(QFile::exists(TestChildProgram()))
        << "helper not built: " << TestChildProgram().toStdString();
    QTemporaryDir dir;
    const QString painted = dir.filePath(QStringLiteral("painted"));
    PaintWatcher window;
    window.resize(200, 100);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    // As the main window is while the updater runs.
    window.setEnabled(false);

    bool childRunning = false;
    bool paintedWhileRunning = false;
    window.onPaint = [&] {
        if (!childRunning)
            return;
        paintedWhileRunning = true;
        QFile(painted).open(QIODevice::WriteOnly); // lets the child end
    };
    QTimer::singleShot(0, &window, [&] { window.update(); });

    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::tmpfile(), &std::fclose);
    childRunning = true;
    const int result =
        ExecChildProcess(TestChildProgram(), {QStringLiteral("--until"), painted}, out.get());
    childRunning = false;
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(paintedWhileRunning);
}
