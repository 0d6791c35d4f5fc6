#include "app/TGuage1Dlg.h"

#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

TGuage1Dlg::TGuage1Dlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("変換実行中"));
    // Minimise and maximise only: the wait cannot be closed from its title bar.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowMinMaxButtonsHint);
    setFixedSize(333, 125);

    Panel1 = new QFrame(this);
    Panel1->setFrameShape(QFrame::StyledPanel);
    Label1 = new QLabel(Panel1);
    Label1->setFixedSize(313, 25);
    Label1->setAlignment(Qt::AlignCenter);
    Button1 = new QPushButton(QStringLiteral("&Cancel"), Panel1);
    connect(Button1, &QPushButton::clicked, this, &TGuage1Dlg::Button1Click);
    Panel2 = new QFrame(Panel1);
    ProgressBar1 = new QProgressBar(Panel2);
    ProgressBar1->setFixedSize(314, 16);
    ProgressBar1->setTextVisible(false);
    auto* barLayout = new QVBoxLayout(Panel2);
    barLayout->setContentsMargins(0, 0, 0, 0);
    barLayout->addWidget(ProgressBar1);

    auto* panelLayout = new QVBoxLayout(Panel1);
    panelLayout->addWidget(Label1, 0, Qt::AlignHCenter);
    panelLayout->addWidget(Panel2, 0, Qt::AlignHCenter);
    panelLayout->addWidget(Button1, 0, Qt::AlignHCenter);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Panel1);
}

void TGuage1Dlg::PrepareForConnect(const QString& caption, const QString& text) {
    Button1->hide();
    Panel2->hide();
    ProgressBar1->hide();
    setWindowTitle(caption);
    Label1->setText(text);
}

void TGuage1Dlg::Button1Click() {
    running_ = 0;
}

void TGuage1Dlg::showEvent(QShowEvent* event) {
    running_ = 1;
    QDialog::showEvent(event);
}
