#include "app/TAboutBox.h"

#include "app/VersionInfo.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    setFixedSize(298, 176);

    auto* panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    ProgramIcon = new QLabel(panel);
    ProgramIcon->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(32, 32));
    ProductName = new QLabel(GetVersionInfoText(VersionInfo::ProductName), panel);
    Version = new QLabel(QStringLiteral("KV5Update   Version ") +
                             GetVersionInfoText(VersionInfo::ProductVersion),
                         panel);
    Copyright = new QLabel(GetVersionInfoText(VersionInfo::LegalCopyright), panel);
    Comments = new QLabel(panel);
    Comments->hide();

    auto* grid = new QGridLayout(panel);
    grid->addWidget(ProgramIcon, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(ProductName, 0, 1);
    grid->addWidget(Version, 1, 1);
    grid->addWidget(Copyright, 2, 1);
    grid->addWidget(Comments, 3, 1);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    layout->addWidget(OKButton, 0, Qt::AlignHCenter);
}
