#include "cli/CliKinds.h"

#include "core/link/TargetDevice.h"

namespace {

struct KindName {
    const char* name;
    std::int32_t kind;
};
constexpr KindName kKinds[] = {
    {"rx231", tessaly::kKindRx231}, {"rx630", tessaly::kKindRx630}, {"rx63t", tessaly::kKindRx63T}};

} // namespace

std::optional<std::int32_t> KindFromCliName(const QString& name) {
    const QString lower = name.toLower();
    for (const KindName& k : kKinds)
        if (lower == QLatin1String(k.name))
            return k.kind;
    return std::nullopt;
}

QString KindDisplayName(std::int32_t kind) {
    for (const KindName& k : kKinds)
        if (k.kind == kind)
            return QString::fromLatin1(k.name).toUpper();
    return QString::number(kind);
}

QString UnknownKindText(const QString& name) {
    return QStringLiteral("unknown kind '%1' (rx231, rx630 or rx63t)").arg(name);
}

std::optional<QString> ReadKindOption(const QStringList& arguments, qsizetype& i,
                                      std::int32_t& kind) {
    if (i + 1 >= arguments.size())
        return QStringLiteral("--kind needs a value");
    const QString value = arguments[++i];
    const auto found = KindFromCliName(value);
    if (!found)
        return UnknownKindText(value);
    kind = *found;
    return std::nullopt;
}
