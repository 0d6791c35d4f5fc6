// What the main window's commands do. Each that talks to the R/W hands its work to the device
// as one wait; the window stays responsive meanwhile and refuses the other commands.

#include "app/TRXProgAppForm.h"

#include "app/FleetWindow.h"
#include "app/TAboutBox.h"
#include "app/TConfigDlg.h"
#include "link/TFlashWrRXCont.h"
#include "records/AtomicFile.h"
#include "records/RecordsFolder.h"
#include "update/UpdateTexts.h"

#include <QApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QUrl>

namespace {

QStringList LocalFiles(const QMimeData* mime) {
    QStringList files;
    if (!mime || !mime->hasUrls())
        return files;
    const QList<QUrl> urls = mime->urls();
    for (const QUrl& url : urls)
        if (url.isLocalFile())
            files.append(url.toLocalFile());
    return files;
}

} // namespace

void TRXProgAppForm::TB_WriteClick() {
    if (onUpdateRequested && !gate_.WaitRunning())
        onUpdateRequested();
}

void TRXProgAppForm::MnSetConfigClick() {
    gate_.Begin();
    TConfigDlg dialog(this);
    dialog.LoadFrom(settings_);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    gate_.End();
    if (!accepted)
        return;
    dialog.StoreTo(settings_);
    ApplySettingsToDevice();
}

void TRXProgAppForm::ApplySettingsToDevice() {
    const AppSettings s = settings_;
    RunOnDevice([s](DeviceSession& session) {
        LinkStartUp& next = session.StartUp();
        next.option = s.option;
        next.fDispDebugInfo = s.fDispDebugInfo;
        next.fDispTxInfo = s.fDispTxInfo;
        next.fDispRecInfo = s.fDispRecInfo;
        TFlashWrRXCont& link = session.Link();
        link.fDispDebugInfo = s.fDispDebugInfo;
        link.fDispTxInfo = s.fDispTxInfo;
        link.fDispRecInfo = s.fDispRecInfo;
        link.OptionPara = s.option;
        link.SetTargetDevice(s.option.fCPUType, s.option.fROMSize);
    });
}

void TRXProgAppForm::RunDiagnostic(BootDiagHandler handler) {
    const BootDiagSettings settings{settings_.option, settings_.fCpuProg};
    RunOnDevice([handler, settings](DeviceSession& session) {
        BootDiagnostics diag(session.Link(), settings);
        (diag.*handler)();
    });
}

void TRXProgAppForm::Clsoe1Click() {
    RunOnDevice([](DeviceSession& session) {
        session.Link().CloseLink();
        session.Link().AddLog(QStringLiteral("Clse COM Port"), 1);
    });
}

void TRXProgAppForm::Rom1Click() {
    RunOnDevice([](DeviceSession& session) {
        TFlashWrRXCont& link = session.Link();
        if (link.GetRomVersion(0))
            link.AddLog(UpdateText::RomVersionPrefix + link.RomVersionText(), 1);
    });
}

void TRXProgAppForm::Boot1Click() {
    RunOnDevice([](DeviceSession& session) {
        TFlashWrRXCont& link = session.Link();
        // The switch itself always reports success; only an answer from the R/W counts here.
        const bool ok = link.SetProgMode() != 0 && link.LastReplyOk != 0;
        link.AddLog(QStringLiteral("SetProgMode : ") +
                        (ok ? QStringLiteral(" : OK") : QStringLiteral(" : NG")),
                    1);
    });
}

void TRXProgAppForm::MnFleetClick() {
    if (!fleetWindow_)
        fleetWindow_ = std::make_unique<FleetWindow>(*this);
    fleetWindow_->show();
    fleetWindow_->raise();
    fleetWindow_->activateWindow();
}

void TRXProgAppForm::MnClearClick() {
    memoSink_->Clear();
}

void TRXProgAppForm::MnSaveLogClick() {
    const QString suggested =
        QStringLiteral("tessaly-%1.log")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    const QString fileName = QFileDialog::getSaveFileName(
        this, QStringLiteral("ログを保存"), suggested, QStringLiteral("ログ (*.log *.txt)"));
    if (fileName.isEmpty())
        return;
    QString error;
    if (!SaveLog(fileName, &error))
        QMessageBox::critical(this, QStringLiteral("ログを保存"),
                              QStringLiteral("ログを保存できませんでした。\n%1").arg(error));
}

void TRXProgAppForm::MnOpenRecordsClick() {
    // Before the first run the folder does not exist yet; the file manager shows it empty.
    const QString folder = QDir::toNativeSeparators(RecordsFolder::ForWorkDir(workDir_));
    QDir().mkpath(folder);
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        return;
    // Nothing on this PC opens folders: the operator goes there by its name.
    QMessageBox box(
        QMessageBox::Information, QStringLiteral("記録フォルダ"),
        QStringLiteral("記録フォルダを開けませんでした。記録は次のフォルダにあります:\n") + folder,
        QMessageBox::Ok, this);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box.exec();
}

bool TRXProgAppForm::SaveLog(const QString& fileName, QString* error) const {
    QByteArray text = SPTMemo->toPlainText().toUtf8();
    if (!text.isEmpty())
        text.append('\n');
    QString reason;
    if (WriteFileAtomically(fileName, text, &reason))
        return true;
    *error = fileName + QStringLiteral(": ") + reason;
    return false;
}

void TRXProgAppForm::HelpAboutItemClick() {
    gate_.Begin();
    AboutBox->exec();
    gate_.End();
}

// ---- Dropped files ------------------------------------------------------------------------

bool TRXProgAppForm::AcceptsDrop(const QMimeData* mime) const {
    return !gate_.WaitRunning() && !LocalFiles(mime).isEmpty();
}

void TRXProgAppForm::dragEnterEvent(QDragEnterEvent* event) {
    if (AcceptsDrop(event->mimeData()))
        event->acceptProposedAction();
}

void TRXProgAppForm::dropEvent(QDropEvent* event) {
    // A new image in the middle of an update would be written half old, half new.
    if (gate_.WaitRunning()) {
        event->ignore();
        AddLog(CommandGateText::kDropRefused, 0);
        return;
    }
    event->acceptProposedAction();
    DropFiles(LocalFiles(event->mimeData()));
}

void TRXProgAppForm::DropFiles(const QStringList& fileNames) {
    raise();
    activateWindow();
    dropFileName_ = fileNames.isEmpty() ? QString() : fileNames.first();
    if (!dropFileName_.isEmpty())
        LoadFirmwareFile(dropFileName_);
}

void TRXProgAppForm::MnOpenFirmwareClick() {
    gate_.Begin();
    const QString fileName = QFileDialog::getOpenFileName(
        this, QStringLiteral("ファームウェアを開く"), QFileInfo(dropFileName_).absolutePath(),
        QStringLiteral("ファームウェア (*.mot *.MOT *.hex *.HEX);;すべてのファイル (*)"));
    gate_.End();
    if (fileName.isEmpty())
        return;
    dropFileName_ = fileName;
    LoadFirmwareFile(fileName);
}

void TRXProgAppForm::LoadFirmwareFile(const QString& fileName) {
    // A large file takes a while to read: the device reads it, the window shows that it works.
    QApplication::setOverrideCursor(Qt::BusyCursor);
    RunOnDevice(
        [file = fileName](DeviceSession& session) {
            TFlashWrRXCont& link = session.Link();
            const bool loaded = link.LoadRomImageFile(file);
            link.AddLog(loaded ? UpdateText::ImageRead : UpdateText::ImageNotRead, 1);
        },
        [] { QApplication::restoreOverrideCursor(); });
}
