#include "cli/CliKinds.h"

#include "core/link/TargetDevice.h"

namespace {

QString NameOf(std::int32_t kind) {
    const std::string_view name = tessaly::KindName(kind);
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

} // namespace

std::optional<std::int32_t> KindFromCliName(const QString& name) {
    const QString lower = name.toLower();
    for (const tessaly::McuKind kind : tessaly::kNamedKinds)
        if (lower == NameOf(kind))
            return kind;
    return std::nullopt;
}

QString KindDisplayName(std::int32_t kind) {
    const QString name = NameOf(kind);
    return name.isEmpty() ? QString::number(kind) : name.toUpper();
}

QString UnknownKindText(const QString& name) {
    return QStringLiteral("unknown kind '%1' (rx231, rx630 or rx63t)").arg(name);
}
