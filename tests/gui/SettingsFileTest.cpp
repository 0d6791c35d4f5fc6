#include "app/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& content) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
}

// The variable that names the per-user folder the settings fall back to.
#ifdef Q_OS_WIN
constexpr char kPerUserVariable[] = "APPDATA"; // + "\\OSKORA\\Tessaly"
#else
constexpr char kPerUserVariable[] = "XDG_CONFIG_HOME"; // + "/OSKORA/Tessaly"
#endif

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        qputenv(kPerUserVariable,
                QDir::toNativeSeparators(dir.path() + QStringLiteral("/config")).toUtf8());
        ini = dir.path() + QStringLiteral("/tessaly.ini");
    }
    void TearDown() override { qputenv(kPerUserVariable, saved); }

    const QByteArray saved = qgetenv(kPerUserVariable);
    QTemporaryDir dir;
    QString ini;
};

} // namespace

TEST(SettingsFileName, NamedAfterTheExecutable) {
    // (a rooted path gets its drive on Windows)
    const auto at = [](const char* path) {
        return QFileInfo(QString::fromLatin1(path)).absoluteFilePath();
    };
    EXPECT_EQ(SettingsFile::IniFileNameFor(QStringLiteral("/opt/t/Tessaly.exe")),
              at("/opt/t/Tessaly.ini"));
    EXPECT_EQ(SettingsFile::IniFileNameFor(QStringLiteral("/opt/t/tessaly")),
              at("/opt/t/tessaly.ini"));
    EXPECT_EQ(SettingsFile::IniFileNameFor(QStringLiteral("/opt/t.d/a.b.exe")),
              at("/opt/t.d/a.b.ini"));
}

TEST_F(SettingsFileTest, MissingFileReadsDefaults) {
    const tagTCPIPPara tcp = SettingsFile(ini).ReadTcpKeys();
    EXPECT_EQ(tcp.TCPPort, 9004);
    EXPECT_EQ(tcp.fTCPServer, 0);
    EXPECT_EQ(tcp.TCPServPort, 9004);
    EXPECT_EQ(tcp.TCPServAddr, QStringLiteral("192.168.0.1"));
}

TEST_F(SettingsFileTest, WritesTheTwentyKeysInOrderAndReadsTheTcpKeysBack) {
    AppSettings s;
    s.tcp.TCPPort = 9100;
    s.tcp.fTCPServer = 1;
    s.tcp.TCPServPort = 9200;
    s.tcp.TCPServAddr = QStringLiteral("127.0.0.5");
    s.option.fCPUType = 6;  // written as 5 whatever it holds
    s.option.fROMSize = 16; // written as 11
    s.option.BaudRate = 115200;
    s.fDispDebugInfo = 1;
    SettingsFile file(ini);
    ASSERT_TRUE(file.Write(s));
    // (a new file's lines end as the system's do: CR LF on Windows)
    EXPECT_EQ(ReadAll(ini).replace("\r\n", "\n"),
              QByteArray("[Option]\n"
                         "Port=1\nBaudRate=115200\nParityBits=0\nFlowCont=0\n"
                         "BpsMode=4\nBPSspeed=115200\nTCPPort=9100\nfTCPServer=1\n"
                         "TCPServPort=9200\nTCPServAddr=127.0.0.5\nfCPUType=5\n"
                         "fROMSize=11\nfreq=1356\nteibai1=4\nteibai2=2\n"
                         "fCpuProg=1\nResWaitTime=1000\nfDispDebugInfo=1\n"
                         "fDispTxInfo=0\nfDispRecInfo=0\n"));
    const tagTCPIPPara tcp = file.ReadTcpKeys();
    EXPECT_EQ(tcp.TCPPort, 9100);
    EXPECT_EQ(tcp.fTCPServer, 1);
    EXPECT_EQ(tcp.TCPServPort, 9200);
    EXPECT_EQ(tcp.TCPServAddr, QStringLiteral("127.0.0.5"));
}

TEST_F(SettingsFileTest, KeepsEverythingElseTheFileHeld) {
    WriteAll(ini, "; written by hand\r\n"
                  "[Other]\r\nTCPPort=1\r\nkeep=me\r\n"
                  "[option]\r\nfreq=9999\r\nMyKey=42\r\ntcpservaddr=127.0.0.9\r\n"
                  "[Last]\r\nx=\x93\xfa\x96\x7b\r\n"); // Shift-JIS bytes must survive
    SettingsFile file(ini);
    EXPECT_EQ(file.ReadTcpKeys().TCPServAddr, QStringLiteral("127.0.0.9"));
    EXPECT_EQ(file.ReadTcpKeys().TCPPort, 9004) << "keys of other sections are not ours";
    ASSERT_TRUE(file.Write(AppSettings{}));
    const QByteArray out = ReadAll(ini);
    EXPECT_TRUE(
        out.startsWith("; written by hand\r\n[Other]\r\nTCPPort=1\r\nkeep=me\r\n[option]\r\n"
                       "Port=1\r\n"));
    EXPECT_TRUE(out.contains("fDispRecInfo=0\r\nMyKey=42\r\n[Last]\r\nx=\x93\xfa\x96\x7b\r\n"));
    EXPECT_FALSE(out.contains("9999"));
    EXPECT_FALSE(out.contains("127.0.0.9"));
    EXPECT_EQ(out.count("freq="), 1);
}

TEST_F(SettingsFileTest, MalformedValuesReadAsTheirDefaults) {
    WriteAll(ini, "[Option]\nTCPPort=abc\nfTCPServer=\nTCPServPort=90x4\ngarbage line\n"
                  "TCPServAddr=not.an.address\n");
    const tagTCPIPPara tcp = SettingsFile(ini).ReadTcpKeys();
    EXPECT_EQ(tcp.TCPPort, 9004);
    EXPECT_EQ(tcp.fTCPServer, 0);
    EXPECT_EQ(tcp.TCPServPort, 9004);
    // the dialog judges addresses against the adapters; the text is kept as it was
    EXPECT_EQ(tcp.TCPServAddr, QStringLiteral("not.an.address"));
}

TEST_F(SettingsFileTest, UnwritableFolderMovesTheSettingsToThePerUserFolder) {
    // A settings file whose folder cannot exist (its parent is a plain file): even root
    // cannot write there.
    WriteAll(dir.path() + QStringLiteral("/plain"), "x");
    const QString blocked = dir.path() + QStringLiteral("/plain/tessaly.ini");
    SettingsFile file(blocked);
    AppSettings s;
    s.tcp.TCPServAddr = QStringLiteral("127.0.0.3");
    QString error;
    ASSERT_TRUE(file.Write(s, &error)) << error.toStdString();
    EXPECT_EQ(file.ActiveFileName(),
              dir.path() + QStringLiteral("/config/OSKORA/Tessaly/tessaly.ini"));
    EXPECT_EQ(SettingsFile(blocked).ReadTcpKeys().TCPServAddr, QStringLiteral("127.0.0.3"));
}
