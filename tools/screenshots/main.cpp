#include "app/StartupContext.h"
#include "app/TConfigDlg.h"
#include "app/TConfirm1Dlg.h"
#include "app/TRXProgAppForm.h"
#include "link/QtLinkEnvironment.h"
#include "netdlg/NetworkInterfaceAdapters.h"
#include "netdlg/TConfErrDlg.h"
#include "netdlg/TSetIPAddr1Dlg.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

// A PC with one LAN adapter, plus the loopback network as demo mode offers it.
class SampleAdapters final : public AdapterSource {
public:
    QList<Ipv4Adapter> Adapters() const override {
        return {{0xC0A8000Au, 0xFFFFFF00u}, NetworkInterfaceAdapters::LoopbackNetwork()};
    }
};

// Lets the window system map and paint the window before it is grabbed.
void Settle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool Save(QWidget& widget, const QDir& folder, const char* name) {
    widget.show();
    Settle(300);
    const QString file = folder.filePath(QString::fromLatin1(name));
    const bool saved = widget.grab().save(file);
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(file));
    widget.hide();
    return saved;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: tessaly-screenshots OUTPUT-FOLDER (under xvfb-run -a)\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }

    // The window's settings file and work folder go to a scratch folder, not beside this tool.
    QTemporaryDir scratch;
    SampleAdapters adapters;
    StartupContext context;
    context.executablePath = scratch.filePath(QStringLiteral("Tessaly"));
    context.environment = &QtLinkEnvironment::Instance();
    context.adapters = &adapters;
    context.connectOnShow = false;

    bool ok = true;
    TRXProgAppForm form(context);
    form.Timer1Timer();
    form.AddLog(QStringLiteral("Find ZMW R/W "), 1);
    form.AddLog(QStringLiteral("再書き込みモードで、ファームのアップデートを実行します。"), 1);
    form.STTitle->setText(QStringLiteral("書き込み"));
    form.CGauge1->setValue(40);
    ok &= Save(form, out, "main-window.png");

    // The file menu as it opens over the window: "ファームウェアを開く" and the rest.
    form.show();
    Settle(300);
    form.File1->popup(form.mapToGlobal(QPoint(4, form.menuBar()->height())));
    Settle(300);
    const QString menuFile = out.filePath(QStringLiteral("file-menu.png"));
    const bool menuSaved = form.File1->grab().save(menuFile);
    std::printf("%s %s\n", menuSaved ? "wrote" : "FAILED", qPrintable(menuFile));
    ok &= menuSaved;
    form.File1->hide();
    form.hide();

    int reWrite = 0;
    tagTCPIPPara params;
    TSetIPAddr1Dlg connection(adapters, params, reWrite);
    connection.SetModeIndex(0);
    connection.RGIPMode->setEnabled(false);
    ok &= Save(connection, out, "connection-dialog.png");

    TConfirm1Dlg result;
    result.Label2->setText(QStringLiteral("アップデートが正常に終了しました"));
    result.SetLabel1Size(72);
    ok &= Save(result, out, "result-dialog.png");

    TConfigDlg config;
    config.LoadFrom(form.Settings());
    ok &= Save(config, out, "environment-dialog.png");

    TConfErrDlg reWriteDialog;
    ok &= Save(reWriteDialog, out, "rewrite-dialog.png");
    return ok ? 0 : 1;
}
