#include "app/TConfirm1Dlg.h"

#include "app/UiFonts.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

void SetTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

} // namespace

TConfirm1Dlg::TConfirm1Dlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("マイコンへの書き込み"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setFixedSize(313, 190);
    setFont(UiFonts::PGothic(12));
    SetTextColour(this, Qt::blue);

    Label1 = new QLabel(QStringLiteral("OK"), this);
    Label1->setFixedSize(297, 97);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setFont(UiFonts::Gothic(96));
    SetTextColour(Label1, Qt::blue);

    Label2 = new QLabel(QStringLiteral("Label2"), this);
    Label2->setFont(UiFonts::PGothic(16));
    SetTextColour(Label2, QColor(128, 0, 0));

    OKBtn = new QPushButton(QStringLiteral("確認"), this);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &TConfirm1Dlg::OKBtnClick);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1, 0, Qt::AlignHCenter);
    layout->addWidget(Label2);
    layout->addLayout(buttons);
}

void TConfirm1Dlg::SetLabel1Size(int pointSize) {
    QFont font = Label1->font();
    font.setPointSize(pointSize);
    Label1->setFont(font);
}

void TConfirm1Dlg::SetLabel1Colour(const QColor& colour) {
    SetTextColour(Label1, colour);
}

void TConfirm1Dlg::OKBtnClick() {
    fShowing = 0;
    accept();
}

void TConfirm1Dlg::showEvent(QShowEvent* event) {
    fShowing = 1;
    QDialog::showEvent(event);
}

void TConfirm1Dlg::closeEvent(QCloseEvent* event) {
    // Nothing to confirm while the update still writes: the window stays.
    if (!OKBtn->isEnabled()) {
        event->ignore();
        return;
    }
    fShowing = 0;
    // Closed, it ends as "確認" ends it.
    QDialog::closeEvent(event);
}
