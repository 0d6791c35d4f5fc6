#pragma once

#include "fleet/FleetTargets.h"
#include "scan/LanScan.h"

#include <QDialog>

#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

// "R/Wを探す": the LAN search of tessaly-cli scan, run beside the window; the R/Ws chosen in its
// list go to the fleet window (a R/W that seems to be in boot mode in re-write mode).
class ScanDialog final : public QDialog {
    Q_OBJECT
public:
    ScanDialog(QString bindAddress, QWidget* parent = nullptr);

    // Runs the search over the range in the field; the list shows what it found.
    void Search();
    std::vector<FleetTarget> Chosen() const;

    QLineEdit* Range;
    QSpinBox* Port;
    QPushButton* SearchButton;
    QTableWidget* Found;
    QLabel* Status;

Q_SIGNALS:
    void SearchFinished();

private:
    void Show(const std::vector<ScanFinding>& findings, const QString& problem);

    QString bindAddress_;
    std::vector<ScanFinding> findings_;
};
