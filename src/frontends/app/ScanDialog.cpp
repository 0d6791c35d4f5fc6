#include "app/ScanDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>

#include <memory>

ScanDialog::ScanDialog(QString bindAddress, QWidget* parent)
    : QDialog(parent), bindAddress_(std::move(bindAddress)) {
    setWindowTitle(QStringLiteral("R/Wを探す"));
    Range = new QLineEdit(QStringLiteral("192.168.0.0/24"), this);
    Range->setToolTip(QStringLiteral("A-B または A/N（最大4096アドレス）"));
    Port = new QSpinBox(this);
    Port->setRange(1, 65535);
    Port->setValue(9004);
    SearchButton = new QPushButton(QStringLiteral("検索"), this);
    connect(SearchButton, &QPushButton::clicked, this, &ScanDialog::Search);
    Found = new QTableWidget(0, 7, this);
    Found->setHorizontalHeaderLabels({QStringLiteral("アドレス"), QStringLiteral("MAC"),
                                      QStringLiteral("ブリッジ"), QStringLiteral("R/W"),
                                      QStringLiteral("ROM"), QStringLiteral("CHIP"),
                                      QStringLiteral("ブートモード")});
    Found->horizontalHeader()->setStretchLastSection(true);
    Found->setSelectionBehavior(QAbstractItemView::SelectRows);
    Status = new QLabel(this);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("一覧に追加"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* where = new QHBoxLayout;
    where->addWidget(new QLabel(QStringLiteral("範囲"), this));
    where->addWidget(Range, 1);
    where->addWidget(new QLabel(QStringLiteral("ポート"), this));
    where->addWidget(Port);
    where->addWidget(SearchButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(where);
    layout->addWidget(Found, 1);
    layout->addWidget(Status);
    layout->addWidget(buttons);
    resize(760, 420);
}

void ScanDialog::Search() {
    ScanSetup setup;
    const QString text = Range->text().trimmed();
    const auto problem = text.contains(QLatin1Char('/')) ? ParseScanSubnet(text, setup.range)
                                                         : ParseScanRange(text, setup.range);
    if (problem) {
        Status->setText(QStringLiteral("範囲が正しくありません: ") + *problem);
        return;
    }
    setup.tcpPort = Port->value();
    setup.bindAddress = bindAddress_;
    SearchButton->setEnabled(false);
    Status->setText(QStringLiteral("%1アドレスを検索中...").arg(setup.range.Count()));
    // The search waits on its own thread; the window keeps answering.
    auto findings = std::make_shared<std::vector<ScanFinding>>();
    auto failure = std::make_shared<std::optional<QString>>();
    QThread* worker =
        QThread::create([setup, findings, failure] { *failure = RunLanScan(setup, *findings); });
    connect(worker, &QThread::finished, this, [this, worker, findings, failure] {
        worker->deleteLater();
        Show(*findings, failure->value_or(QString()));
    });
    worker->start();
}

void ScanDialog::Show(const std::vector<ScanFinding>& findings, const QString& problem) {
    SearchButton->setEnabled(true);
    findings_ = findings;
    Found->setRowCount(int(findings.size()));
    for (int row = 0; row < int(findings.size()); ++row) {
        const ScanFinding& f = findings[std::size_t(row)];
        const QStringList cells{f.address,
                                f.mac,
                                f.bridgeBps ? QString::number(f.bridgeBps) : QString(),
                                f.readerAnswered ? QStringLiteral("応答あり")
                                                 : QStringLiteral("応答なし"),
                                f.romVersion,
                                f.chipVersion,
                                f.BootSuspected() ? QStringLiteral("疑いあり") : QString()};
        for (int column = 0; column < int(cells.size()); ++column)
            Found->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    Found->selectAll();
    Status->setText(problem.isEmpty()
                        ? QStringLiteral("%1台のブリッジが応答しました").arg(findings.size())
                        : QStringLiteral("検索できませんでした: ") + problem);
    Q_EMIT SearchFinished();
}

std::vector<FleetTarget> ScanDialog::Chosen() const {
    std::vector<FleetTarget> chosen;
    for (const QModelIndex& index : Found->selectionModel()->selectedRows()) {
        const ScanFinding& f = findings_[std::size_t(index.row())];
        FleetTarget target;
        target.host = f.address;
        target.port = Port->value();
        // A R/W left in boot mode is written again in re-write mode.
        target.rewrite = f.BootSuspected();
        chosen.push_back(target);
    }
    return chosen;
}
