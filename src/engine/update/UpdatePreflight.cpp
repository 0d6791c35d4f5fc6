#include "update/UpdatePreflight.h"

#include "core/image/RomImage.h"
#include "link/TFlashWrRXCont.h"
#include "resources/EmbeddedResources.h"
#include "update/UpdateTexts.h"

#include <QHostAddress>

namespace {

// 127.0.0.0/8 only: "::1" or a host name is not where the simulator runs.
bool IsLoopbackIPv4(const QString& host) {
    QHostAddress address;
    return address.setAddress(host.trimmed()) &&
           address.protocol() == QAbstractSocket::IPv4Protocol &&
           (address.toIPv4Address() >> 24) == 127;
}

} // namespace

bool UpdateMayStart(TFlashWrRXCont& link) {
    return UpdateMayStart(link, EmbeddedResources::FirmwareIsStandIn());
}

bool UpdateMayStart(TFlashWrRXCont& link, bool builtInIsStandIn) {
    // Re-write mode rewrites the whole flash; otherwise the R/W's reserved top stays.
    const bool keepsReservedTop = link.ReWriteMode == 0;
    if (!link.RomImageLoaded || !tessaly::HasDataToProgram(link.RomImage, keepsReservedTop)) {
        link.AddLog(UpdateText::NoImage, 1);
        return false;
    }
    const bool writesStandIn = builtInIsStandIn && link.RomImageSource.isEmpty();
    const QString& host = link.TCPIPPara.TCPServAddr;
    if (writesStandIn && !IsLoopbackIPv4(host)) {
        link.AddLog(UpdateText::StandInRefused(host), 1);
        return false;
    }
    return true;
}
