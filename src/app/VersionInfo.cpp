#include "app/VersionInfo.h"

QString GetVersionInfoText(int selector) {
    switch (selector) {
    case VersionInfo::CompanyName:
        return QStringLiteral("OSKORA");
    case VersionInfo::FileDescription:
        return QStringLiteral("ZMW ファームウェアアップデート");
    case VersionInfo::FileVersion:
        return QStringLiteral(TESSALY_VERSION);
    case VersionInfo::InternalName:
        return QStringLiteral("Tessaly");
    case VersionInfo::LegalCopyright:
        return QStringLiteral("Copyright (C) OSKORA");
    case VersionInfo::OriginalFilename:
        return QStringLiteral("tessaly");
    case VersionInfo::ProductName:
        return QStringLiteral("KV5ファームウェアアップデートツール");
    default:
        return QStringLiteral(TESSALY_VERSION);
    }
}
