#pragma once

#include "app/SettingsFile.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QPushButton;
class QSpinBox;
class QTabWidget;

// "環境設定": the MCU and programming settings. LoadFrom fills the controls from the main
// window's settings; StoreTo writes them back when the dialog was confirmed.
class TConfigDlg : public QDialog {
    Q_OBJECT
public:
    explicit TConfigDlg(QWidget* parent = nullptr);

    void LoadFrom(const AppSettings& settings);
    // The edits' values, truncated where the record holds integers. The reset wait is always
    // 1000 ms whatever EdResTime shows; the CPU items map to the kind codes 6, 7 and 5.
    void StoreTo(AppSettings& settings) const;

    // "RX630", "RX63T", "RX231" and the kind codes they stand for.
    static int CpuIndexForKind(int kind);
    static int KindForCpuIndex(int index);

    QTabWidget* PageControl1;
    QComboBox* CBSelCPU;
    QComboBox* CBRomSize;
    QDoubleSpinBox* EdFreq;
    QSpinBox* EdTeibai1;
    QSpinBox* EdTeibai2;
    QSpinBox* EdSpeed;
    QSpinBox* EdResTime;
    QButtonGroup* RGProgSpeed;
    QCheckBox* CBDispDebugInfo;
    QCheckBox* CBDispTxInfo;
    QCheckBox* CBDispRecInfo;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

private:
    QWidget* BuildMcuPage();
    QWidget* BuildProgramPage();
};
