// The solution text file: its path, its Windows-1252 bytes and the safe writing of a file.
#include "files/solution_export.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>

namespace korvane {

namespace {

constexpr const char* kCodePage = "windows-1252";

// The Windows-1252 bytes of `text`, or nothing when a character has none. Decoding them again catches a
// converter that drops a character or writes a look-alike for it.
std::optional<QByteArray> Encode(const QString& text) {
    QStringEncoder toFile(kCodePage, QStringEncoder::Flag::Stateless);
    QStringDecoder fromFile(kCodePage, QStringDecoder::Flag::Stateless);
    QByteArray bytes = toFile.encode(text);
    if (toFile.hasError() || QString(fromFile.decode(bytes)) != text) return std::nullopt;
    return bytes;
}

// The first character of `line` that the file cannot carry.
QString FirstRefusedCharacter(const QString& line) {
    for (qsizetype i = 0; i < line.size();) {
        const bool pair = line.at(i).isHighSurrogate() && i + 1 < line.size() && line.at(i + 1).isLowSurrogate();
        const QString character = line.mid(i, pair ? 2 : 1);
        if (character == QLatin1String("\r") || character == QLatin1String("\n") || !Encode(character))
            return character;
        i += character.size();
    }
    Q_UNREACHABLE(); // a line refused whole has a character refused alone
}


} // namespace

QString SolutionFilePath(const QString& caption) {
    qsizetype folderEnd = std::max(caption.lastIndexOf(QLatin1Char('\\')), caption.lastIndexOf(QLatin1Char(':')));
    if (caption.startsWith(QLatin1Char('/'))) folderEnd = std::max(folderEnd, caption.lastIndexOf(QLatin1Char('/')));
    const qsizetype dot = caption.lastIndexOf(QLatin1Char('.'));
    return (dot > folderEnd ? caption.left(dot) : caption) + QStringLiteral(".txt");
}

std::variant<QByteArray, FileError> SolutionFileBytes(const QStringList& lines) {
    QByteArray out;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        const auto bytes = line.contains(QLatin1Char('\r')) || line.contains(QLatin1Char('\n'))
                               ? std::nullopt
                               : Encode(line);
        if (!bytes) {
            const QString character = FirstRefusedCharacter(line);
            return FileError{FileError::Kind::NotWindows1252,
                             QStringLiteral("Impossible d'enregistrer la solution : la ligne %1 contient le caractère"
                                            " « %2 » (U+%3), que le code Windows-1252 du fichier ne sait pas"
                                            " représenter.")
                                 .arg(i + 1)
                                 .arg(character)
                                 .arg(character.toUcs4().value(0), 4, 16, QLatin1Char('0'))};
        }
        out += *bytes;
        out += "\r\n";
    }
    return out;
}

std::optional<FileError> SaveSolutionFile(const QString& path, const QStringList& lines) {
    auto bytes = SolutionFileBytes(lines);
    if (auto* error = std::get_if<FileError>(&bytes)) return *error;
    return WriteFileSafely(path, std::get<QByteArray>(bytes));
}

} // namespace korvane
