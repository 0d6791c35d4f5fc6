#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// "マイコンへの書き込み": the big step / OK / NG window of the update. The update sequence
// creates, fills, shows and closes it; the dialog itself only keeps fShowing.
class TConfirm1Dlg : public QDialog {
    Q_OBJECT
public:
    explicit TConfirm1Dlg(QWidget* parent = nullptr);

    QLabel* Label1;
    QLabel* Label2;
    QPushButton* OKBtn;

    // 1 from construction and each showing until "確認" is pressed or the window closes.
    int Showing() const { return fShowing; }

    // Label1's text size in points (18 for the running steps, 72 for OK / NG) and colour.
    void SetLabel1Size(int pointSize);
    void SetLabel1Colour(const QColor& colour);

public Q_SLOTS:
    void OKBtnClick();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    int fShowing = 1;
};
