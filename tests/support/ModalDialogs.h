#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

// Answers the next modal dialog of type `Dialog` from inside its own event loop: `act` runs
// once the dialog is up and is expected to end it. A dialog of another type, or none at all
// within a bounded number of polls, fails the test and is rejected so that nothing hangs.
template <class Dialog>
void AnswerNextModal(std::function<void(Dialog*)> act, int pollsLeft = 200) {
    QTimer::singleShot(5, [act = std::move(act), pollsLeft]() mutable {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<Dialog*>(modal)) {
            act(dialog);
            return;
        }
        if (pollsLeft > 0 && !modal) {
            AnswerNextModal<Dialog>(std::move(act), pollsLeft - 1);
            return;
        }
        ADD_FAILURE() << "expected modal dialog did not appear";
        if (auto* other = qobject_cast<QDialog*>(modal))
            other->reject();
    });
}
