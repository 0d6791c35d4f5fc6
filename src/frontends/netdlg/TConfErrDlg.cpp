#include "netdlg/TConfErrDlg.h"

#include "app/DialogButtons.h"
#include "app/UiFonts.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

const QStringList& TConfErrDlg::GuidanceLines() {
    static const QStringList lines = {
        QStringLiteral("制御マイコンへの書き込みに失敗した場合"),
        QStringLiteral("　・上のチェックボックスにチェックをいれる"),
        QStringLiteral("　・R/Wの電源を入れ直す"),
        QStringLiteral("　・再度書き込みを行う"),
        QString(),
        QStringLiteral("内蔵CHIPへの書き込みまたは"),
        QStringLiteral("制御マイコンでのデータ照合に失敗した場合"),
        QStringLiteral("　・上のチェックボックスにチェックをいれない"),
        QStringLiteral("　・R/Wの電源を入れ直す"),
        QStringLiteral("　・再度書き込みを行う"),
    };
    return lines;
}

TConfErrDlg::TConfErrDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("書き込みエラー時の設定"));
    setFixedSize(366, 245);

    CBReWrite = new QCheckBox(QStringLiteral("再書き込みを行う"), this);
    CBReWrite->setStyleSheet(QStringLiteral("color: blue;"));

    Memo1 = new QPlainTextEdit(this);
    Memo1->setFont(UiFonts::Gothic(13));
    Memo1->setReadOnly(true);
    Memo1->setBackgroundRole(QPalette::Button);
    Memo1->viewport()->setBackgroundRole(QPalette::Button);
    Memo1->setPlainText(GuidanceLines().join(QLatin1Char('\n')));

    OKBtn = new QPushButton(QStringLiteral("設定"), this);
    CancelBtn = new QPushButton(QStringLiteral("キャンセル"), this);
    QHBoxLayout* buttons = AcceptRejectButtons(this, OKBtn, CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CBReWrite);
    layout->addWidget(Memo1);
    layout->addLayout(buttons);
}
