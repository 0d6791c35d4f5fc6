// tessaly-cli image: loads a firmware file (or the built-in firmware) into the ROM image exactly
// as the program does, and reports what the image holds.

#include "cli/CliCommand.h"
#include "cli/CliKinds.h"
#include "cli/CliOptions.h"
#include "cli/ConsoleLog.h"
#include "cli/JsonStdout.h"
#include "core/image/RomImage.h"
#include "core/link/ByteDump.h"
#include "core/link/TargetDevice.h"
#include "link/LinkOperator.h"
#include "link/QtLinkEnvironment.h"
#include "link/TFlashWrRXCont.h"
#include "records/RunRecord.h"
#include "resources/EmbeddedResources.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <optional>

namespace {

namespace ImageExit {
constexpr int Unreadable = 10;  // the file could not be opened or read
constexpr int NotFirmware = 11; // the file name ends in neither .MOT nor .HEX
constexpr int NoEmbedded = 12;  // this build carries no firmware
} // namespace ImageExit

constexpr char kHelp[] =
    "load a firmware file into the ROM image and report what it holds\n"
    "\n"
    "usage: tessaly-cli image FILE [--kind rx231|rx630|rx63t] [--rom-size-code N] [--json]\n"
    "       tessaly-cli image --embedded [--kind ...] [--rom-size-code N] [--json]\n"
    "\n"
    "FILE is a Motorola S-record file (.MOT) or an Intel HEX file (.HEX), any letter case.\n"
    "  --embedded          the firmware built into the program instead of a file\n"
    "  --kind K            MCU kind: rx231 (default), rx630, rx63t\n"
    "  --rom-size-code N   ROM-size code as in the environment dialog (default 11: 256K)\n"
    "  --json              print the report as one JSON object on standard output at the\n"
    "                      end; the lines above go to standard error\n"
    "\n"
    "Prints the image bounds, the loader's log lines, the data ranges stored, the bytes\n"
    "stored, the 256-byte pages that hold data, the image CRC and the result; with\n"
    "--embedded also whether the built-in firmware is the generated test image\n"
    "(firmware: stand-in, written to a R/W on loopback only) or the real one.\n"
    "\n"
    "exit codes: 0 loaded, 1 not loaded (damaged record, data outside the image, no record\n"
    "            of the format, or no byte for this microcontroller and ROM size), 2 bad\n"
    "            command line, 10 file unreadable (or no ordinary file, or too large),\n"
    "            11 not a .MOT or .HEX file name,\n"
    "            12 no built-in firmware in this build";

struct ImageOptions {
    QString file;
    bool embedded = false;
    std::int32_t kind = tessaly::kKindRx231;
    std::int32_t romSizeCode = 11;
    bool json = false;
};

int UsageError(const QString& why) {
    return CliUsageError(QStringLiteral("image"), why);
}

// Reads the command line; the problem for a bad one.
std::optional<QString> ParseOptions(const QStringList& arguments, ImageOptions& options) {
    QCommandLineParser parser;
    CliOption::Declare(parser, {"embedded", "json"}, {"kind", "rom-size-code"});
    if (auto problem = ParseCliOptions(parser, arguments, 1))
        return problem;
    if (auto problem =
            CliOption::FirstProblem({CliOption::Kind(parser, options.kind),
                                     CliOption::Number(parser, QStringLiteral("rom-size-code"), 0,
                                                       99, options.romSizeCode)}))
        return problem;
    options.embedded = parser.isSet(QStringLiteral("embedded"));
    options.json = parser.isSet(QStringLiteral("json"));
    options.file = parser.positionalArguments().value(0);
    if (options.embedded == !options.file.isEmpty())
        return QStringLiteral("give either FILE or --embedded");
    return std::nullopt;
}

// The out-of-range message box, as a line of output.
class ConsoleOperator final : public LinkOperator {
public:
    void ShowOutOfRangeBox(const QString& text) override {
        outOfRange = true;
        CliPrint(QStringLiteral("message: ") + text);
    }
    bool outOfRange = false;
};

QString Hex8(std::uint32_t value) {
    return QString::fromStdString(tessaly::HexDigits(value, 8));
}

// How the load ended: the exit code, why it failed (empty when it did not), and whether the
// file got as far as the image (then its contents are reported).
struct Verdict {
    int exitCode = CliExit::Ok;
    QString reason;
    bool reachedImage = false;
};

Verdict Load(TFlashWrRXCont& link, const ImageOptions& options, const ConsoleOperator& person) {
    bool loaded = false;
    if (options.embedded) {
        const QByteArray text =
            EmbeddedResources::Find(QStringLiteral("HEXDATA"), QStringLiteral("HexData1"));
        if (text.isEmpty())
            return {ImageExit::NoEmbedded,
                    QStringLiteral("this build carries no built-in firmware")};
        loaded = link.LoadSRecordText(text);
    } else {
        const QString extension = QFileInfo(options.file).suffix().toUpper();
        if (extension != QLatin1String("MOT") && extension != QLatin1String("HEX"))
            return {ImageExit::NotFirmware,
                    QStringLiteral("not a firmware file name (.MOT or .HEX)")};
        loaded = link.LoadRomImageFile(options.file);
        if (!link.RomImageFileError.isEmpty())
            return {ImageExit::Unreadable, QStringLiteral("the file could not be read")};
    }
    if (loaded)
        return {CliExit::Ok, QString(), true};
    if (person.outOfRange)
        return {CliExit::Failed, QStringLiteral("data outside the image; nothing kept"), true};
    const QString line = QString::number(link.RomImageDamagedLine);
    switch (link.RomImageDamage) {
    case tessaly::ImageDamage::NotFirmware:
        return {CliExit::Failed,
                QStringLiteral("not a firmware file: line %1 is no record of its format").arg(line),
                true};
    case tessaly::ImageDamage::Checksum:
        return {CliExit::Failed,
                QStringLiteral("a damaged record at line %1 (checksum); nothing kept").arg(line),
                true};
    case tessaly::ImageDamage::Count:
        return {CliExit::Failed,
                QStringLiteral("a damaged record at line %1 (count); nothing kept").arg(line),
                true};
    case tessaly::ImageDamage::Wraps:
        return {CliExit::Failed,
                QStringLiteral("a damaged record at line %1 (data past FFFFFFFF); nothing kept")
                    .arg(line),
                true};
    case tessaly::ImageDamage::None:
        break;
    }
    return {CliExit::Failed, QStringLiteral("no data for this microcontroller and ROM size"), true};
}

void PrintImage(const TFlashWrRXCont& link, const ImageSummary& image) {
    CliPrint(QStringLiteral("ranges: %1").arg(link.RomImageRanges.size()));
    for (const tessaly::AddressRange& r : link.RomImageRanges)
        CliPrint(QStringLiteral("  %1-%2 (%3 bytes)")
                     .arg(Hex8(r.first), Hex8(r.last))
                     .arg(std::uint64_t{r.last} - r.first + 1));
    CliPrint(QStringLiteral("stored: %1 bytes").arg(image.bytes));
    CliPrint(QStringLiteral("pages with data: %1 of %2")
                 .arg(image.pages)
                 .arg((link.RomImage.size() + tessaly::kRomPageSize - 1) / tessaly::kRomPageSize));
    CliPrint(QStringLiteral("image CRC: 0x%1 (%2-%3)")
                 .arg(image.crc, Hex8(link.RomImageBase), Hex8(link.RomImageCrcEnd)));
}

QJsonObject Range(std::uint32_t first, std::uint32_t last) {
    return QJsonObject{
        {QStringLiteral("from"), Hex8(first)},
        {QStringLiteral("to"), Hex8(last)},
        {QStringLiteral("bytes"), static_cast<qint64>(std::uint64_t{last} - first + 1)}};
}

QJsonObject ImageJson(const TFlashWrRXCont& link, const ImageSummary& image,
                      const Verdict& verdict) {
    QJsonArray ranges;
    for (const tessaly::AddressRange& r : link.RomImageRanges)
        ranges.append(Range(r.first, r.last));
    const bool ok = verdict.reason.isEmpty();
    return QJsonObject{
        {QStringLiteral("source"), image.source},
        {QStringLiteral("bounds"), Range(link.RomImageBase, link.RomImageEnd)},
        {QStringLiteral("ranges"), ranges},
        {QStringLiteral("bytes"), static_cast<qint64>(image.bytes)},
        {QStringLiteral("pages"), static_cast<qint64>(image.pages)},
        {QStringLiteral("crc"), image.crc},
        {QStringLiteral("result"), ok ? QStringLiteral("OK") : QStringLiteral("NG")},
        {QStringLiteral("reason"), ok ? QJsonValue(QJsonValue::Null) : QJsonValue(verdict.reason)},
    };
}

int RunImage(const QStringList& arguments) {
    ImageOptions options;
    if (const std::optional<QString> error = ParseOptions(arguments, options))
        return UsageError(*error);

    std::optional<JsonStdout> json;
    if (options.json)
        json.emplace();
    tagOptionPara settings;
    settings.fCPUType = options.kind;
    settings.fROMSize = options.romSizeCode;
    ConsoleLog log;
    ConsoleOperator person;
    TFlashWrRXCont link(QtLinkEnvironment::Instance(), &log, settings, {}, &person);

    CliPrint(QStringLiteral("source: %1")
                 .arg(options.embedded ? QStringLiteral("built-in firmware") : options.file));
    if (options.embedded)
        CliPrint(EmbeddedResources::FirmwareIsStandIn() ? QStringLiteral("firmware: stand-in")
                                                        : QStringLiteral("firmware: real"));
    CliPrint(QStringLiteral("target: %1, ROM-size code %2")
                 .arg(KindDisplayName(options.kind))
                 .arg(options.romSizeCode));
    CliPrint(QStringLiteral("bounds: %1-%2 (%3 bytes)")
                 .arg(Hex8(link.RomImageBase), Hex8(link.RomImageEnd))
                 .arg(link.RomImage.size()));

    const Verdict verdict = Load(link, options, person);
    ImageSummary image = SummarizeImage(link);
    image.source = options.embedded ? QStringLiteral("built-in") : options.file;
    if (verdict.reachedImage)
        PrintImage(link, image);
    CliPrint(verdict.reason.isEmpty() ? QStringLiteral("result: OK")
                                      : QStringLiteral("result: NG: ") + verdict.reason);
    if (json)
        json->Print(ImageJson(link, image, verdict));
    return verdict.exitCode;
}

const CliCommand kImageCommand("image", kHelp, &RunImage);

} // namespace
