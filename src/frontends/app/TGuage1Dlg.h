#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;

// "変換実行中": the wait window. The connection procedure turns it into a plain "please wait"
// window (PrepareForConnect) and shows it around its search for the R/W.
class TGuage1Dlg : public QDialog {
    Q_OBJECT
public:
    explicit TGuage1Dlg(QWidget* parent = nullptr);

    QFrame* Panel1;
    QLabel* Label1;
    QPushButton* Button1;
    QFrame* Panel2;
    QProgressBar* ProgressBar1;

    // 1 from construction and each showing until "&Cancel" is pressed.
    int Running() const { return running_; }

    // No cancel and no bar, `caption` as the title and `text` in Label1.
    void PrepareForConnect(const QString& caption, const QString& text);

public Q_SLOTS:
    void Button1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    int running_ = 1;
};
