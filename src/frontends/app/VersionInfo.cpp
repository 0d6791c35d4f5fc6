#include "app/VersionInfo.h"

#include "app/VersionTexts.h"

#ifdef Q_OS_WIN
#include <windows.h>

#include <vector>

namespace {

const wchar_t* KeyFor(int selector) {
    switch (selector) {
    case VersionInfo::CompanyName:
        return L"CompanyName";
    case VersionInfo::FileDescription:
        return L"FileDescription";
    case VersionInfo::FileVersion:
        return L"FileVersion";
    case VersionInfo::InternalName:
        return L"InternalName";
    case VersionInfo::LegalCopyright:
        return L"LegalCopyright";
    case VersionInfo::OriginalFilename:
        return L"OriginalFilename";
    case VersionInfo::ProductName:
        return L"ProductName";
    default:
        return L"ProductVersion";
    }
}

} // namespace

// Read from the version resource of the running program through the system's version API;
// empty when the program has none or the key is missing.
QString GetVersionInfoText(int selector) {
    wchar_t path[MAX_PATH + 1] = {};
    if (GetModuleFileNameW(nullptr, path, MAX_PATH) == 0)
        return {};
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &handle);
    if (size == 0)
        return {};
    // Twice the reported size and two bytes more: room the system may use when it converts
    // the block.
    std::vector<char> block(size * 2 + 2);
    if (!GetFileVersionInfoW(path, 0, size, block.data()))
        return {};
    const QString query =
        QStringLiteral("\\StringFileInfo\\041103a4\\") + QString::fromWCharArray(KeyFor(selector));
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), reinterpret_cast<const wchar_t*>(query.utf16()), &value,
                        &length) ||
        value == nullptr || length == 0)
        return {};
    return QString::fromWCharArray(static_cast<const wchar_t*>(value)); // zero-terminated
}
#else
// Without a version resource the program carries the same record itself.
QString GetVersionInfoText(int selector) {
    switch (selector) {
    case VersionInfo::CompanyName:
        return QStringLiteral(TESSALY_COMPANY_NAME);
    case VersionInfo::FileDescription:
        return QStringLiteral(TESSALY_FILE_DESCRIPTION);
    case VersionInfo::InternalName:
        return QStringLiteral(TESSALY_INTERNAL_NAME);
    case VersionInfo::LegalCopyright:
        return QStringLiteral(TESSALY_LEGAL_COPYRIGHT);
    case VersionInfo::OriginalFilename:
        return QStringLiteral("tessaly");
    case VersionInfo::ProductName:
        return QStringLiteral(TESSALY_PRODUCT_NAME);
    default: // FileVersion, ProductVersion
        return QStringLiteral(TESSALY_VERSION);
    }
}
#endif
