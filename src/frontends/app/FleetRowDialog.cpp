#include "app/FleetRowDialog.h"

#include "app/UiFonts.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QJsonDocument>
#include <QPlainTextEdit>
#include <QVBoxLayout>

FleetRowDialog::FleetRowDialog(const FleetTableModel::Entry& entry, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(entry.target.Name());
    auto* text = new QPlainTextEdit(this);
    text->setReadOnly(true);
    text->setFont(UiFonts::Mincho(13));
    QString shown;
    if (entry.record)
        shown += QString::fromUtf8(
                     QJsonDocument(RunRecordJson(*entry.record)).toJson(QJsonDocument::Indented)) +
                 QLatin1Char('\n');
    QFile log(entry.logFile);
    if (!entry.logFile.isEmpty() && log.open(QIODevice::ReadOnly))
        shown += entry.logFile + QStringLiteral(":\n") + QString::fromUtf8(log.readAll());
    text->setPlainText(shown.isEmpty() ? QStringLiteral("まだ更新していません。") : shown);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(buttons);
    resize(720, 560);
}
