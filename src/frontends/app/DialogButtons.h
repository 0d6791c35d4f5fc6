#pragma once

class QDialog;
class QHBoxLayout;
class QPushButton;

// A dialog's closing buttons at the bottom right: `ok` is the default button and accepts the
// dialog, `cancel` rejects it.
QHBoxLayout* AcceptRejectButtons(QDialog* dialog, QPushButton* ok, QPushButton* cancel);
