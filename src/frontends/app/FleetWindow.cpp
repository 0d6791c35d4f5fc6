#include "app/FleetWindow.h"

#include "app/FleetBatch.h"
#include "app/FleetRowDialog.h"
#include "app/ScanDialog.h"
#include "app/SettingsFile.h"
#include "app/TRXProgAppForm.h"
#include "fleet/FleetReport.h"
#include "records/RecordsFolder.h"
#include "update/UpdateSteps.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QByteArray kSection = "Fleet";
constexpr int kRefreshMs = 200;

} // namespace

FleetWindow::FleetWindow(TRXProgAppForm& form) : QWidget(nullptr, Qt::Window), form_(form) {
    setWindowTitle(QStringLiteral("複数台アップデート"));
    BuildControls();
    refresh_ = new QTimer(this);
    refresh_->setInterval(kRefreshMs);
    connect(refresh_, &QTimer::timeout, this, &FleetWindow::Refresh);
    LoadList();
    EnableButtons();
}

// A batch still running when the window goes (the program ends) is stopped where it is.
FleetWindow::~FleetWindow() = default;

void FleetWindow::BuildControls() {
    Table = new QTableView(this);
    Table->setModel(&model_);
    Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    Table->horizontalHeader()->setStretchLastSection(true);
    for (int column = 0; column < FleetTableModel::ColumnCount; ++column) {
        const QString title = model_.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        const QString widest = FleetTableModel::WidestText(column);
        Table->setColumnWidth(column, std::max(fontMetrics().horizontalAdvance(title),
                                               fontMetrics().horizontalAdvance(widest)) +
                                          2 * fontMetrics().averageCharWidth() + 4);
    }
    connect(Table, &QTableView::doubleClicked, this, &FleetWindow::ShowRow);

    const auto button = [this](const char* text, void (FleetWindow::*slot)()) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    AddButton = button("追加...", &FleetWindow::AddByHand);
    PasteButton = button("貼り付け", &FleetWindow::Paste);
    ImportButton = button("ファイルから読み込み...", &FleetWindow::Import);
    ScanButton = button("R/Wを探す...", &FleetWindow::Search);
    RemoveButton = button("削除", &FleetWindow::RemoveSelected);
    RunAllButton = new QPushButton(QStringLiteral("すべて更新"), this);
    // The main window's update key updates the whole list here.
    RunAllButton->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_U));
    connect(RunAllButton, &QPushButton::clicked, this, [this] { RunRows({}, false); });
    RetryButton = button("選択を再実行", &FleetWindow::RetrySelected);
    StopButton = button("停止", &FleetWindow::Stop);
    SkipCurrent = new QCheckBox(QStringLiteral("同じバージョンは書き込まない"), this);
    SkipVersion = new QLineEdit(this);
    SkipVersion->setPlaceholderText(QStringLiteral("1.01A0002"));
    Jobs = new QSpinBox(this);
    Jobs->setRange(1, kMaxFleetDevices);
    Jobs->setValue(kMaxFleetDevices);
    Jobs->setPrefix(QStringLiteral("同時に最大 "));
    Jobs->setSuffix(QStringLiteral(" 台"));
    Summary = new QLabel(this);
    Summary->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* list = new QHBoxLayout;
    for (QPushButton* b : {AddButton, PasteButton, ImportButton, ScanButton, RemoveButton})
        list->addWidget(b);
    list->addStretch();
    auto* run = new QHBoxLayout;
    run->addWidget(SkipCurrent);
    run->addWidget(SkipVersion);
    run->addWidget(Jobs);
    run->addStretch();
    for (QPushButton* b : {RunAllButton, RetryButton, StopButton})
        run->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(list);
    layout->addWidget(Table, 1);
    layout->addLayout(run);
    layout->addWidget(Summary);
    resize(1180, 520);
}

// ---- The list -------------------------------------------------------------------------------

QStringList FleetWindow::AddFromText(const QString& text) {
    QStringList refused;
    for (const HostsLine& line : ParseHostsText(text)) {
        if (line.problem)
            refused << QStringLiteral("%1行目: %2").arg(line.number).arg(*line.problem);
        else if (!model_.Add(line.target))
            refused << QStringLiteral("%1行目: %2 は一覧にあります")
                           .arg(line.number)
                           .arg(line.target.host);
    }
    SaveList();
    EnableButtons();
    return refused;
}

void FleetWindow::SayRefused(const QStringList& lines) {
    if (lines.isEmpty())
        return;
    QMessageBox box(QMessageBox::Warning, windowTitle(),
                    QStringLiteral("次の行は追加しませんでした:\n") + lines.join(QLatin1Char('\n')),
                    QMessageBox::Ok, this);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.exec();
}

void FleetWindow::AddByHand() {
    bool ok = false;
    const QString text = QInputDialog::getText(this, QStringLiteral("R/Wを追加"),
                                               QStringLiteral("アドレス[:ポート] [boot]"),
                                               QLineEdit::Normal, QString(), &ok);
    if (ok)
        SayRefused(AddFromText(text));
}

void FleetWindow::Paste() {
    SayRefused(AddFromText(QApplication::clipboard()->text()));
}

void FleetWindow::Import() {
    const QString fileName =
        QFileDialog::getOpenFileName(this, QStringLiteral("R/Wの一覧を読み込む"), QString(),
                                     QStringLiteral("一覧 (*.txt *.hosts);;すべてのファイル (*)"));
    if (fileName.isEmpty())
        return;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        SayRefused({fileName + QStringLiteral(": ") + file.errorString()});
        return;
    }
    SayRefused(AddFromText(QString::fromUtf8(file.readAll())));
}

void FleetWindow::Search() {
    ScanDialog dialog(SettingsFile(form_.IniFileName()).ReadBridgeBindAddress(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QStringList refused;
    for (const FleetTarget& target : dialog.Chosen())
        if (!model_.Add(target))
            refused << QStringLiteral("%1 は一覧にあります").arg(target.host);
    SaveList();
    EnableButtons();
    SayRefused(refused);
}

void FleetWindow::RemoveSelected() {
    model_.Remove(SelectedRows());
    SaveList();
    EnableButtons();
}

std::vector<int> FleetWindow::SelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : Table->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void FleetWindow::SaveList() {
    QStringList hosts;
    for (const FleetTableModel::Entry& e : model_.Entries())
        hosts << e.target.Name() + (e.target.rewrite ? QStringLiteral(" boot") : QString());
    SettingsFile(form_.IniFileName())
        .WriteSection(kSection, {{"Hosts", hosts.join(QLatin1Char(';')).toUtf8()},
                                 {"Geometry", saveGeometry().toBase64()},
                                 {"SkipCurrent", SkipCurrent->isChecked() ? "1" : "0"},
                                 {"SkipVersion", SkipVersion->text().toUtf8()},
                                 {"Jobs", QByteArray::number(Jobs->value())}});
}

void FleetWindow::LoadList() {
    const SettingsFile file(form_.IniFileName());
    AddFromText(QString::fromUtf8(file.ReadValue(kSection, "Hosts")).replace(';', '\n'));
    restoreGeometry(QByteArray::fromBase64(file.ReadValue(kSection, "Geometry")));
    SkipCurrent->setChecked(file.ReadValue(kSection, "SkipCurrent") == "1");
    SkipVersion->setText(QString::fromUtf8(file.ReadValue(kSection, "SkipVersion")));
    bool jobsRead = false;
    const int jobs = file.ReadValue(kSection, "Jobs").toInt(&jobsRead);
    if (jobsRead)
        Jobs->setValue(jobs); // clamped to the box's range
}

// ---- A batch ----------------------------------------------------------------------------------

void FleetWindow::RetrySelected() {
    std::vector<int> failed;
    for (const int row : SelectedRows()) {
        const auto& record = model_.At(row).record;
        if (!record || !record->ok)
            failed.push_back(row);
    }
    if (!failed.empty())
        RunRows(failed, true);
}

void FleetWindow::RunRows(std::vector<int> rows, bool retry) {
    if (batch_ || form_.Gate().WaitRunning())
        return;
    if (!form_.FirmwareLoaded()) {
        SayRefused({QStringLiteral("ＲＯＭデータがありません。読み込んでから再実行してください")});
        return;
    }
    if (rows.empty())
        for (int row = 0; row < model_.rowCount(); ++row)
            rows.push_back(row);
    if (rows.empty())
        return;
    const AppSettings& s = form_.Settings();
    const QString workDir = form_.WorkDir();
    FleetSetup setup;
    for (const int row : rows) {
        FleetTarget target = model_.At(row).target;
        // As --retry: a R/W whose write failed has been power-cycled and is written again in
        // re-write mode.
        const auto& record = model_.At(row).record;
        if (retry && record && record->exitCode == Step(UpdateStep::Write).exitCode)
            target.rewrite = true;
        setup.targets.push_back(target);
    }
    setup.image = form_.FirmwareFile();
    setup.kind = s.option.fCPUType;
    setup.romSizeCode = s.option.fROMSize;
    setup.bindAddress = SettingsFile(form_.IniFileName()).ReadBridgeBindAddress();
    setup.debug = s.fDispDebugInfo != 0;
    if (SkipCurrent->isChecked())
        setup.skipCurrent = SkipVersion->text().trimmed();
    setup.workDir = workDir;
    setup.recordsDir = RecordsFolder::ForWorkDir(workDir);
    setup.logDir = setup.recordsDir;
    setup.behindTheWindow = true;
    setup.jobs = Jobs->value();

    batchRows_ = rows;
    model_.Queue(rows);
    form_.Gate().Begin();
    Summary->setText(QStringLiteral("%1台を更新中...").arg(rows.size()));
    batch_ = std::make_unique<FleetBatch>(setup);
    connect(batch_.get(), &FleetBatch::Done, this, &FleetWindow::BatchDone);
    EnableButtons();
    refresh_->start();
    batch_->Start();
}

void FleetWindow::Stop() {
    if (batch_)
        batch_->Stop();
}

void FleetWindow::Refresh() {
    if (!batch_)
        return;
    const std::vector<FleetBoard::Row> rows = batch_->Board().Rows();
    for (std::size_t i = 0; i < rows.size(); ++i)
        model_.Show(batchRows_[i], rows[i]);
}

void FleetWindow::BatchDone(const FleetReport& report, const QString& reportFile,
                            const QString& reportError) {
    refresh_->stop();
    Refresh();
    int ok = 0;
    int ng = 0;
    int skipped = 0;
    for (std::size_t i = 0; i < report.rows.size(); ++i) {
        const FleetRow& row = report.rows[i];
        model_.Finish(batchRows_[i], row.record, row.log);
        if (row.record && row.record->skipped)
            ++skipped;
        else if (row.record && row.record->ok)
            ++ok;
        else
            ++ng;
    }
    lastReport_ = reportFile;
    Summary->setText(QStringLiteral("OK %1 / NG %2 / スキップ %3  (%4 秒)")
                         .arg(ok)
                         .arg(ng)
                         .arg(skipped)
                         .arg(double(report.started.msecsTo(report.finished)) / 1000.0, 0, 'f', 1) +
                     (reportError.isEmpty()
                          ? QString()
                          : QStringLiteral("  報告を保存できませんでした: ") + reportError));
    if (ng == 0)
        sounds_.PlaySuccess();
    else
        sounds_.PlayFailure();
    batch_.release()->deleteLater(); // its signal is what called this
    form_.Gate().End();
    EnableButtons();
    Q_EMIT BatchFinished();
    if (closeAfterBatch_)
        close();
}

void FleetWindow::EnableButtons() {
    const bool idle = !batch_;
    for (QPushButton* b : {AddButton, PasteButton, ImportButton, ScanButton, RemoveButton})
        b->setEnabled(idle);
    RunAllButton->setEnabled(idle && model_.rowCount() > 0);
    RetryButton->setEnabled(idle && model_.rowCount() > 0);
    StopButton->setEnabled(!idle);
}

void FleetWindow::ShowRow(const QModelIndex& index) {
    FleetRowDialog(model_.At(index.row()), this).exec();
}

void FleetWindow::closeEvent(QCloseEvent* event) {
    SaveList();
    if (!batch_) {
        event->accept();
        return;
    }
    // A batch is stopped at the R/Ws' next safe point, and its report is kept.
    const auto answer = QMessageBox::question(
        this, windowTitle(),
        QStringLiteral("更新中のR/Wがあります。中止して閉じますか？\n"
                       "（書き込み中に中止したR/Wは、電源を入れ直して再書き込みが必要です）"));
    event->ignore();
    if (answer != QMessageBox::Yes)
        return;
    closeAfterBatch_ = true;
    Stop();
}
