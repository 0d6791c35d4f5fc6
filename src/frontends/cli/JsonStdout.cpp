#include "cli/JsonStdout.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
int Dup(int fd) {
    return _dup(fd);
}
void Dup2(int from, int to) {
    _dup2(from, to);
}
void Close(int fd) {
    _close(fd);
}
int Write(int fd, const char* data, qsizetype size) {
    return _write(fd, data, static_cast<unsigned>(size));
}
#else
int Dup(int fd) {
    return dup(fd);
}
void Dup2(int from, int to) {
    dup2(from, to);
}
void Close(int fd) {
    close(fd);
}
int Write(int fd, const char* data, qsizetype size) {
    return static_cast<int>(write(fd, data, static_cast<std::size_t>(size)));
}
#endif

} // namespace

JsonStdout::JsonStdout() {
    std::fflush(stdout);
    savedStdout_ = Dup(fileno(stdout));
    if (savedStdout_ >= 0)
        Dup2(fileno(stderr), fileno(stdout));
}

JsonStdout::~JsonStdout() {
    std::fflush(stdout);
    if (savedStdout_ < 0)
        return;
    Dup2(savedStdout_, fileno(stdout));
    Close(savedStdout_);
}

void JsonStdout::Print(const QJsonObject& object) {
    Print(QJsonDocument(object));
}

void JsonStdout::Print(const QJsonArray& list) {
    Print(QJsonDocument(list));
}

void JsonStdout::Print(const QJsonDocument& document) {
    std::fflush(stdout);
    const QByteArray text = document.toJson(QJsonDocument::Indented);
    for (qsizetype done = 0; savedStdout_ >= 0 && done < text.size();) {
        const int n = Write(savedStdout_, text.constData() + done, text.size() - done);
        if (n <= 0)
            return;
        done += n;
    }
}
