#pragma once

#include "core/boot/BootFrames.h"
#include "link/TFlashWrRXCont.h"
#include "support/FakeLinkEnvironment.h"
#include "support/VectorLogSink.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QStringList>

#include <initializer_list>
#include <vector>

// Remembers what the boot-mode steps show the operator.
class RecordingOperator final : public LinkOperator {
public:
    void SetAddressText(const QString& text) override { addresses.append(text); }
    void SetGauge(int percent) override { gauge.push_back(percent); }
    QStringList addresses;
    std::vector<int> gauge;
};

// A link controller connected to the scripted peer of the fake environment, with debug lines
// shown so that tests see every line the boot-mode code writes.
class BootLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        link.TCPIPPara.TCPServAddr = QStringLiteral("127.0.0.9");
        link.fDispDebugInfo = 1;
        link.fDispTxInfo = 0;
        link.fDispRecInfo = 0;
        ASSERT_EQ(link.OpenLink(), 1);
    }

    static QByteArray Bytes(std::initializer_list<int> bytes) {
        QByteArray out;
        for (int b : bytes)
            out.append(static_cast<char>(b));
        return out;
    }
    static QByteArray Frame(const std::vector<std::uint8_t>& frame) {
        return QByteArray(reinterpret_cast<const char*>(frame.data()),
                          static_cast<qsizetype>(frame.size()));
    }
    // An inquiry reply: code, size, data, sum.
    static QByteArray InquiryReply(std::uint8_t code, const QByteArray& data) {
        std::vector<std::uint8_t> r{code, static_cast<std::uint8_t>(data.size())};
        r.insert(r.end(), data.begin(), data.end());
        r.push_back(tessaly::BootSum(r));
        return Frame(r);
    }
    // Every frame sent answers with `reply` after `delayMs`.
    void AnswerEveryFrame(const QByteArray& reply, std::uint32_t delayMs = 2) {
        env.SetResponder([this, reply, delayMs](const QByteArray&) { env.Reply(reply, delayMs); });
    }
    void UseKind(std::int32_t kind, std::int32_t romSizeCode = 11) {
        link.SetTargetDevice(kind, romSizeCode);
        link.ResetRomImage();
    }
    std::uint32_t Elapsed(std::uint32_t since) { return env.NowMs() - since; }

    FakeLinkEnvironment env;
    VectorLogSink log;
    RecordingOperator op;
    TFlashWrRXCont link{env, &log, tagOptionPara{}, {}, &op};
};
