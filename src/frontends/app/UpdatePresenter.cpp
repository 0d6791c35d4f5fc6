#include "app/UpdatePresenter.h"

#include "update/UpdateTexts.h"

namespace {
constexpr int kResultFontSize = 72;
}

void UpdatePresenter::Take(const RunEvent& event) {
    switch (event.kind) {
    case RunEvent::Kind::SequenceStarted:
        shown_ = true;
        view_.SetMainWindowEnabled(false);
        view_.OpenResultWindow();
        view_.SetResultMessage(UpdateText::DoNotPowerOff);
        view_.SetResultCaption(UpdateText::Starting);
        view_.SetStepTitle(QString());
        break;
    case RunEvent::Kind::StepStarted: {
        const StepInfo& step = Step(event.step);
        if (!shown_)
            break;
        if (!step.caption.isEmpty())
            view_.SetResultCaption(step.caption);
        if (step.setsMainTitle) {
            view_.SetStepTitle(step.mainTitle);
            view_.SetAddressText(QString());
        }
        break;
    }
    case RunEvent::Kind::Progress:
        view_.SetGauge(event.percent);
        break;
    case RunEvent::Kind::Address:
        view_.SetAddressText(event.text);
        break;
    case RunEvent::Kind::ChipUpdaterStarted:
        view_.SetResultWindowVisible(false);
        break;
    case RunEvent::Kind::StepEnded:
        if (shown_ && event.step == UpdateStep::Chip)
            view_.SetResultWindowVisible(true);
        break;
    case RunEvent::Kind::Finished:
        if (shown_)
            Finish(*event.outcome);
        break;
    default:
        break;
    }
}

void UpdatePresenter::Finish(const RunOutcome& outcome) {
    view_.SetStepTitle(QString());
    view_.SetResultFontSize(kResultFontSize);
    if (outcome.Ok()) {
        view_.SetResultMessage(UpdateText::SucceededLabel);
        view_.SetResultCaption(UpdateText::Ok);
        view_.SetResultColour(UpdateView::Colour::Blue);
        view_.PlaySound(UpdateView::Sound::Success);
        // A device rescued in re-write mode is not written twice in one session.
        if (outcome.record.reWrite)
            view_.SetUpdateCommandsEnabled(false);
    } else {
        view_.SetResultMessage(UpdateText::FailedLabel);
        view_.SetResultCaption(UpdateText::Ng);
        view_.SetResultColour(UpdateView::Colour::Red);
        view_.PlaySound(UpdateView::Sound::Failure);
        view_.SetMainWindowEnabled(true);
        // The R/W needs a power cycle and the program a restart before another attempt.
        view_.SetUpdateCommandsEnabled(false);
    }
    view_.RaiseResultWindow();
    view_.OfferConfirmation();
}

void UpdatePresenter::Confirmed() {
    shown_ = false;
    view_.SetStepTitle(QString());
    view_.SetGauge(0);
    view_.SetMainWindowEnabled(true);
}
