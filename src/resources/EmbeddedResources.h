#pragma once

#include <QByteArray>
#include <QString>

// The program's own resources, looked up by type and name as the program always has.
namespace EmbeddedResources {

// The bytes of resource `type`/`name`; empty when there is no such resource.
QByteArray Find(const QString& type, const QString& name);

} // namespace EmbeddedResources
