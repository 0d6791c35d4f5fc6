#pragma once

#include <QString>

// The program's own version record: company, description, file and product version and the
// rest, as the about box and the title show them.
namespace VersionInfo {

enum Selector {
    CompanyName = 0,
    FileDescription = 1,
    FileVersion = 2,
    InternalName = 3,
    LegalCopyright = 4,
    OriginalFilename = 5,
    ProductName = 7,
    ProductVersion = 8, // any selector not listed above
};

} // namespace VersionInfo

// The entry `selector` names; every value without its own entry gives the product version.
QString GetVersionInfoText(int selector);
