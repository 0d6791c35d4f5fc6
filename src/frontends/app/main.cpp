#include "app/QtTranslations.h"
#include "app/StartupContext.h"
#include "app/TRXProgAppForm.h"
#include "app/WindowUpdate.h"

#include <QApplication>

#include <cstdio>

namespace {

// On an X11 / Wayland desktop without a display there is no window to show: say how to run
// the program headless instead of letting the toolkit abort with its own message.
bool NoDisplay() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    return qEnvironmentVariableIsEmpty("DISPLAY") &&
           qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
           qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
#else
    return false;
#endif
}

} // namespace

int main(int argc, char** argv) {
    if (NoDisplay()) {
        std::fprintf(stderr, "tessaly: no display. Run it under a virtual display "
                             "(xvfb-run -a tessaly), with QT_QPA_PLATFORM=offscreen, "
                             "or use tessaly-cli for headless work.\n");
        return 2;
    }
    QApplication app(argc, argv);
    InstallQtTranslations(app);
    TRXProgAppForm window(StartupContext::ForRunningProgram());
    WindowUpdate update(window);
    QObject::connect(&window, &TRXProgAppForm::ApplicationEndRequested, &app,
                     &QCoreApplication::quit, Qt::QueuedConnection);
    window.show();
    return app.exec();
}
