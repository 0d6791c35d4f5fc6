#include "app/MemoLogSink.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

int MemoLogSink::LineCount() const {
    const QTextDocument* document = memo_->document();
    if (document->isEmpty())
        return holdsLines_ ? 1 : 0;
    return document->blockCount();
}

void MemoLogSink::Clear() {
    memo_->clear();
    holdsLines_ = false;
}

void MemoLogSink::AppendLine(const QString& line, bool /*forced*/) {
    QTextCursor cursor(memo_->document());
    cursor.movePosition(QTextCursor::End);
    if (LineCount() > 0)
        cursor.insertBlock();
    cursor.insertText(line);
    holdsLines_ = true;
    // Keep the newest line in view, as a log is read.
    memo_->verticalScrollBar()->setValue(memo_->verticalScrollBar()->maximum());
}
