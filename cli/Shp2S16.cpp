#include "Shp2S16.h"

#include <QCommandLineParser>
#include <QFile>

#include "ConvertShpToS16.h"
#include "Version.h"

namespace drovana {
namespace {

constexpr const char* kProgram = "shp2s16";

const char* kDescription =
    "Converts an SHP picture map into an S16 picture.\n"
    "\n"
    "Examples:\n"
    "  shp2s16 maps/MAP07.SHP peg/MAP07.s16\n"
    "      converts one map; an existing peg/MAP07.s16 is replaced only once\n"
    "      the new picture is complete.";

void SetUpParser(QCommandLineParser& parser) {
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    parser.addPositionalArgument(QStringLiteral("SOURCE"), QStringLiteral("SHP picture to read."));
    parser.addPositionalArgument(QStringLiteral("TARGET"), QStringLiteral("S16 picture to write."));
}

void PrintUsageError(std::FILE* err, const QString& message) {
    std::fprintf(err, "%s: %s\nUsage: %s SOURCE TARGET\nTry '%s --help' for more information.\n",
                 kProgram, message.toLocal8Bit().constData(), kProgram, kProgram);
}

// File names are passed to the core as the bytes the user typed.
std::filesystem::path ToPath(const QString& text) {
    return std::filesystem::path(QFile::encodeName(text).toStdString());
}

int ConvertOne(const QString& source, const QString& target, std::FILE* err) {
    const ConvertResult result = ConvertShpFile(ToPath(source), ToPath(target));
    if (result.Ok()) {
        return kExitSuccess;
    }
    std::fprintf(err, "%s: %s: %s\n", kProgram, QFile::encodeName(source).constData(),
                 DescribeConvertResult(result).c_str());
    return kExitFailure;
}

}  // namespace

int RunShp2S16(const QStringList& arguments, std::FILE* out, std::FILE* err) {
    QCommandLineParser parser;
    SetUpParser(parser);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();

    // parse(), not process(): a usage error must exit with its own status.
    if (!parser.parse(arguments)) {
        PrintUsageError(err, parser.errorText());
        return kExitUsage;
    }
    if (parser.isSet(help)) {
        std::fputs(parser.helpText().toLocal8Bit().constData(), out);
        return kExitSuccess;
    }
    if (parser.isSet(version)) {
        std::fprintf(out, "%s %s\n", kProgram, kVersion);
        return kExitSuccess;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() != 2) {
        PrintUsageError(err, files.size() < 2 ? QStringLiteral("missing file operand")
                                              : QStringLiteral("too many operands"));
        return kExitUsage;
    }
    return ConvertOne(files[0], files[1], err);
}

}  // namespace drovana
