#pragma once

#include <QDialog>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

// "書き込みエラー時の設定": whether the next update runs in re-write mode, with the guidance on
// when to tick it. The caller fills CBReWrite and reads it back when the dialog ends with "設定".
class TConfErrDlg : public QDialog {
    Q_OBJECT
public:
    explicit TConfErrDlg(QWidget* parent = nullptr);

    QCheckBox* CBReWrite;
    QPlainTextEdit* Memo1;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

    // The ten guidance lines, in order.
    static const QStringList& GuidanceLines();
};
