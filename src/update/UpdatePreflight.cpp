#include "update/UpdatePreflight.h"

#include "core/image/RomImage.h"
#include "link/TFlashWrRXCont.h"
#include "update/UpdateTexts.h"

bool UpdateMayStart(TFlashWrRXCont& link) {
    // Re-write mode rewrites the whole flash; otherwise the R/W's reserved top stays.
    const bool keepsReservedTop = link.ReWriteMode == 0;
    if (!link.RomImageLoaded || !tessaly::HasDataToProgram(link.RomImage, keepsReservedTop)) {
        link.AddLog(UpdateText::NoImage, 1);
        return false;
    }
    return true;
}
