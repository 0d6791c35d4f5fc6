#include "update/LinkEventAdapter.h"

void LinkEventAdapter::Tell(RunEvent::Kind kind, const QString& text) {
    RunEvent event;
    event.kind = kind;
    event.text = text;
    events_.Emit(event);
}

void LinkEventAdapter::AppendLine(const QString& line, bool forced) {
    RunEvent event;
    event.kind = RunEvent::Kind::Log;
    event.text = line;
    event.forced = forced;
    events_.Emit(event);
}

void LinkEventAdapter::SetStatusText(const QString& text) {
    Tell(RunEvent::Kind::Status, text);
}

void LinkEventAdapter::SetAddressText(const QString& text) {
    Tell(RunEvent::Kind::Address, text);
}

void LinkEventAdapter::SetGauge(int percent) {
    RunEvent event;
    event.kind = RunEvent::Kind::Progress;
    event.percent = percent;
    events_.Emit(event);
}

void LinkEventAdapter::ShowConnectProgress(const QString& caption, const QString& text) {
    RunEvent event;
    event.kind = RunEvent::Kind::SearchShown;
    event.caption = caption;
    event.text = text;
    events_.Emit(event);
}

void LinkEventAdapter::HideConnectProgress() {
    Tell(RunEvent::Kind::SearchHidden);
}

void LinkEventAdapter::CloseMainWindow() {
    Tell(RunEvent::Kind::ConnectionCancelled);
}

bool LinkEventAdapter::AskConnectionSettings(tagTCPIPPara& params, int& reWriteMode) {
    return (questions_ ? *questions_ : defaults_).AskConnectionSettings(params, reWriteMode);
}

void LinkEventAdapter::ShowErrorBox(const QString& text) {
    (questions_ ? *questions_ : defaults_).ShowErrorBox(text);
}

void LinkEventAdapter::ShowOutOfRangeBox(const QString& text) {
    (questions_ ? *questions_ : defaults_).ShowOutOfRangeBox(text);
}
