#include "update/ChipUpdaterCall.h"

#include "update/WorkFolder.h"

#include <QFileInfo>

namespace ChipUpdaterCall {

QString FileToRun(const QString& workDir, const QString& verDigits) {
    for (const QString& name :
         {WorkFolder::ChipUpdaterPath(workDir, verDigits), WorkFolder::ChipUpdaterPath(workDir)}) {
        if (QFileInfo(name).isFile())
            return name;
    }
    return {};
}

QString VersionDigits() {
    return QStringLiteral(TESSALY_VERSION).remove(QLatin1Char('.'));
}

QStringList Arguments(int chipAnswered, const tagTCPIPPara& params) {
    QStringList args;
    if (!chipAnswered)
        args << QStringLiteral("-BOOT");
    args << QStringLiteral("-IP") << QString::number(params.fTCPServer)
         << QString::number(params.TCPPort) << QString::number(params.TCPServPort)
         << params.TCPServAddr;
    return args;
}

} // namespace ChipUpdaterCall
