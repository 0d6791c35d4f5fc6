#pragma once

#include "app/FleetTableModel.h"

#include <QDialog>

// One row of the fleet window, a double-click away: the run's record and its log.
class FleetRowDialog final : public QDialog {
    Q_OBJECT
public:
    FleetRowDialog(const FleetTableModel::Entry& entry, QWidget* parent = nullptr);
};
