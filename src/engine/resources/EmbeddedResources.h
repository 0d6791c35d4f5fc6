#pragma once

#include <QByteArray>
#include <QString>

// The program's own resources, looked up by type and name as the program always has.
namespace EmbeddedResources {

// The bytes of resource `type`/`name`; empty when there is no such resource.
QByteArray Find(const QString& type, const QString& name);

// True when the built-in firmware is the stand-in generated for the tests and the demo, false
// when the build was given the real one (TESSALY_FIRMWARE). The stand-in must never be written
// to a real R/W.
bool FirmwareIsStandIn();

} // namespace EmbeddedResources
