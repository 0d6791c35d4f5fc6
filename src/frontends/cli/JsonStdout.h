#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

// With --json, standard output carries one JSON object and nothing else. While an object of
// this class lives, everything written to standard output, by this program and by the
// programs it starts (the chip updater inherits the descriptor), goes to standard error
// instead; Print writes the object to the real standard output.
class JsonStdout {
public:
    JsonStdout();
    ~JsonStdout();
    JsonStdout(const JsonStdout&) = delete;
    JsonStdout& operator=(const JsonStdout&) = delete;

    void Print(const QJsonObject& object);
    void Print(const QJsonArray& list);

private:
    void Print(const QJsonDocument& document);

    int savedStdout_;
};
