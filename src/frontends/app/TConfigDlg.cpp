#include "app/TConfigDlg.h"

#include "app/DialogButtons.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

constexpr int kResetWaitMs = 1000;

QSpinBox* MakeIntEdit(QWidget* parent, int minimum, int maximum) {
    auto* edit = new QSpinBox(parent);
    edit->setRange(minimum, maximum);
    return edit;
}

} // namespace

int TConfigDlg::CpuIndexForKind(int kind) {
    if (kind == 6)
        return 0;
    if (kind == 7)
        return 1;
    return 2;
}

int TConfigDlg::KindForCpuIndex(int index) {
    if (index == 0)
        return 6;
    if (index == 1)
        return 7;
    return 5;
}

TConfigDlg::TConfigDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("環境設定"));
    setFixedSize(468, 249);

    PageControl1 = new QTabWidget(this);
    PageControl1->addTab(BuildMcuPage(), QStringLiteral("マイコン設定"));
    PageControl1->addTab(BuildProgramPage(), QStringLiteral("プログラム設定"));
    PageControl1->setCurrentIndex(0);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    CancelBtn = new QPushButton(QStringLiteral("キャンセル"), this);
    QHBoxLayout* buttons = AcceptRejectButtons(this, OKBtn, CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1);
    layout->addLayout(buttons);
}

QWidget* TConfigDlg::BuildMcuPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet1"));
    page->setAutoFillBackground(true);
    QPalette cream = page->palette();
    cream.setColor(QPalette::Window, QColor(255, 251, 240));
    page->setPalette(cream);

    CBSelCPU = new QComboBox(page);
    CBSelCPU->addItems({QStringLiteral("RX630"), QStringLiteral("RX63T"), QStringLiteral("RX231")});
    CBRomSize = new QComboBox(page);
    CBRomSize->addItems({QStringLiteral("4K"), QStringLiteral("8K"), QStringLiteral("12K"),
                         QStringLiteral("16K"), QStringLiteral("24K"), QStringLiteral("32K"),
                         QStringLiteral("48K"), QStringLiteral("64K"), QStringLiteral("96K"),
                         QStringLiteral("128K"), QStringLiteral("192K"), QStringLiteral("256K"),
                         QStringLiteral("320K"), QStringLiteral("384K"), QStringLiteral("512K"),
                         QStringLiteral("768K"), QStringLiteral("1M"), QStringLiteral("1.5M"),
                         QStringLiteral("2M")});

    EdFreq = new QDoubleSpinBox(page);
    EdFreq->setDecimals(2);
    EdFreq->setRange(1.0, 100.0);
    EdFreq->setSingleStep(0.01);
    EdFreq->setSuffix(QStringLiteral(" MHz"));
    EdTeibai1 = MakeIntEdit(page, 1, 32);
    EdTeibai2 = MakeIntEdit(page, 1, 32);
    EdSpeed = MakeIntEdit(page, 1200, 2000000);
    EdResTime = MakeIntEdit(page, 0, 60000);

    auto* form = new QFormLayout(page);
    form->addRow(QStringLiteral("マイコン"), CBSelCPU);
    form->addRow(QStringLiteral("ROMサイズ"), CBRomSize);
    form->addRow(QStringLiteral("入力周波数"), EdFreq);
    form->addRow(QStringLiteral("逓倍比１"), EdTeibai1);
    form->addRow(QStringLiteral("逓倍比２"), EdTeibai2);
    form->addRow(QStringLiteral("通信スピード"), EdSpeed);
    form->addRow(QStringLiteral("リセット後の待ち時間"), EdResTime);
    return page;
}

QWidget* TConfigDlg::BuildProgramPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet2"));

    auto* speedBox = new QGroupBox(QStringLiteral("R/Wスピード"), page);
    auto* speedLayout = new QHBoxLayout(speedBox);
    RGProgSpeed = new QButtonGroup(this);
    const QStringList speeds = {QStringLiteral("9600bps"), QStringLiteral("19.2kbps"),
                                QStringLiteral("38.4kbps"), QStringLiteral("56.7kbps"),
                                QStringLiteral("115.2kbps")};
    for (int i = 0; i < speeds.size(); ++i) {
        auto* item = new QRadioButton(speeds[i], speedBox);
        RGProgSpeed->addButton(item, i);
        speedLayout->addWidget(item);
    }

    auto* debugBox = new QGroupBox(QStringLiteral("デバッグ表示"), page);
    CBDispDebugInfo = new QCheckBox(QStringLiteral("デバッグ用表示"), debugBox);
    CBDispTxInfo = new QCheckBox(QStringLiteral("送信ログの表示"), debugBox);
    CBDispRecInfo = new QCheckBox(QStringLiteral("受信ログの表示"), debugBox);
    auto* debugLayout = new QVBoxLayout(debugBox);
    debugLayout->addWidget(CBDispDebugInfo);
    debugLayout->addWidget(CBDispTxInfo);
    debugLayout->addWidget(CBDispRecInfo);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(speedBox);
    layout->addWidget(debugBox);
    layout->addStretch();
    return page;
}

void TConfigDlg::LoadFrom(const AppSettings& settings) {
    const tagOptionPara& option = settings.option;
    if (QAbstractButton* speed = RGProgSpeed->button(option.BpsMode))
        speed->setChecked(true);
    CBDispDebugInfo->setChecked(settings.fDispDebugInfo != 0);
    CBDispTxInfo->setChecked(settings.fDispTxInfo != 0);
    CBDispRecInfo->setChecked(settings.fDispRecInfo != 0);
    EdFreq->setValue(option.freq);
    EdTeibai1->setValue(option.teibai1);
    EdTeibai2->setValue(option.teibai2);
    EdSpeed->setValue(option.BPSspeed);
    EdResTime->setValue(settings.ResWaitTime);
    CBSelCPU->setCurrentIndex(CpuIndexForKind(option.fCPUType));
    CBRomSize->setCurrentIndex(option.fROMSize);
}

void TConfigDlg::StoreTo(AppSettings& settings) const {
    tagOptionPara& option = settings.option;
    option.BpsMode = RGProgSpeed->checkedId();
    settings.fDispDebugInfo = CBDispDebugInfo->isChecked() ? 1 : 0;
    settings.fDispTxInfo = CBDispTxInfo->isChecked() ? 1 : 0;
    settings.fDispRecInfo = CBDispRecInfo->isChecked() ? 1 : 0;
    option.freq = static_cast<float>(EdFreq->value());
    option.teibai1 = static_cast<std::uint8_t>(EdTeibai1->value());
    option.teibai2 = static_cast<std::uint8_t>(EdTeibai2->value());
    option.BPSspeed = EdSpeed->value();
    settings.ResWaitTime = kResetWaitMs;
    option.fCPUType = KindForCpuIndex(CBSelCPU->currentIndex());
    option.fROMSize = CBRomSize->currentIndex();
}
