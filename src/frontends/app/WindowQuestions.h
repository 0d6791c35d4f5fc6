#pragma once

#include "link/LinkOperator.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class TRXProgAppForm;

// What a device's session asks of a person, asked by the window on its own thread: the session
// waits on its thread until the operator has answered there. Once the window is going, nothing
// more is asked and a question gets the answer of a cancelled dialog.
class WindowQuestions final : public LinkQuestions {
public:
    explicit WindowQuestions(TRXProgAppForm& form);
    ~WindowQuestions() override;

    bool AskConnectionSettings(tagTCPIPPara& params, int& reWriteMode) override;
    void ShowErrorBox(const QString& text) override;
    void ShowOutOfRangeBox(const QString& text) override;

    // The window is going: every question from now on, and the one waiting, ends unanswered.
    void Abandon();

private:
    struct Pending;
    // Runs `ask` on the window's thread and waits for it; false when it was not asked.
    bool OnWindowThread(const std::function<void()>& ask);

    TRXProgAppForm& form_;
    std::shared_ptr<Pending> abandoned_;
};
