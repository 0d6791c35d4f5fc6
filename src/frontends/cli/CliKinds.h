#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

// The target kinds as the command line names them: rx231, rx630, rx63t (any case).
std::optional<std::int32_t> KindFromCliName(const QString& name);
// "RX231", "RX630", "RX63T", or the code itself for a kind without a name.
QString KindDisplayName(std::int32_t kind);
// The message for a name that is not a kind.
QString UnknownKindText(const QString& name);
