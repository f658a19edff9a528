// The solution text file: its path, its Windows-1252 bytes and the safe writing of a file.
#include "files/solution_export.h"

#include <algorithm>

#include "files/cp1252.h"

namespace korvane {

QString SolutionFilePath(const QString& caption) {
    qsizetype folderEnd = std::max(caption.lastIndexOf(QLatin1Char('\\')), caption.lastIndexOf(QLatin1Char(':')));
    if (caption.startsWith(QLatin1Char('/'))) folderEnd = std::max(folderEnd, caption.lastIndexOf(QLatin1Char('/')));
    const qsizetype dot = caption.lastIndexOf(QLatin1Char('.'));
    return (dot > folderEnd ? caption.left(dot) : caption) + QStringLiteral(".txt");
}

std::variant<QByteArray, FileError> SolutionFileBytes(const QStringList& lines) {
    QByteArray out;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString& line = lines[n];
        for (qsizetype i = 0; i < line.size();) {
            const QChar unit = line.at(i);
            const bool pair = unit.isHighSurrogate() && i + 1 < line.size() && line.at(i + 1).isLowSurrogate();
            const char32_t c = pair ? QChar::surrogateToUcs4(unit, line.at(i + 1)) : unit.unicode();
            const auto byte = c == U'\r' || c == U'\n' ? std::nullopt : Cp1252Byte(c);
            if (!byte)
                return FileError{FileError::Kind::NotWindows1252,
                                 QStringLiteral("Impossible d'enregistrer la solution : la ligne %1 contient le "
                                                "caractère « %2 » (U+%3), que le code Windows-1252 du fichier ne "
                                                "sait pas représenter.")
                                     .arg(n + 1)
                                     .arg(line.mid(i, pair ? 2 : 1))
                                     .arg(static_cast<uint>(c), 4, 16, QLatin1Char('0'))};
            out += static_cast<char>(*byte);
            i += pair ? 2 : 1;
        }
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
