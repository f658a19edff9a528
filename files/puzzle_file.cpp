// The window's side of the `.e65` file: Qt's types around the format, and safe saving with QSaveFile.
#include "files/puzzle_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace korvane {

namespace {

std::variant<Puzzle, FileError> WithFileError(std::variant<Puzzle, FormatError>&& result) {
    if (const auto* error = std::get_if<FormatError>(&result)) return FileError::From(*error);
    return std::get<Puzzle>(std::move(result));
}

} // namespace

std::variant<Puzzle, FileError> ReadPuzzle(QByteArrayView bytes) {
    return WithFileError(ParsePuzzle(std::string_view(bytes.data(), static_cast<std::size_t>(bytes.size()))));
}

std::variant<QByteArray, FileError> WritePuzzle(const Puzzle& puzzle) {
    const auto rendered = RenderPuzzle(puzzle);
    if (const auto* error = std::get_if<FormatError>(&rendered)) return FileError::From(*error);
    return QByteArray::fromStdString(std::get<std::string>(rendered));
}

std::variant<Puzzle, FileError> LoadPuzzleFile(const QString& path) {
    return WithFileError(
        ReadPuzzleFile(QFile::encodeName(path).toStdString(), QDir::toNativeSeparators(path).toStdString()));
}

namespace {

FileError WriteFailure(const QString& path, const QString& why) {
    return {FileError::Kind::WriteFailed,
            QStringLiteral("Impossible d'enregistrer le fichier %1 : %2").arg(QDir::toNativeSeparators(path), why)};
}

} // namespace

std::optional<FileError> WriteFileSafely(const QString& path, const QByteArray& bytes) {
    const QFileInfo target(path);
    if (target.exists() && !target.isFile() && !target.isDir()) {
        // Renaming a temporary file over a device would replace the device itself.
        QFile device(path);
        if (device.open(QIODevice::WriteOnly) && device.write(bytes) == bytes.size() && device.flush()) return std::nullopt;
        return WriteFailure(path, device.errorString());
    }
    // commit() may report success over a short write (it loses the error of the flush it makes while
    // closing), so every byte is flushed, and checked, first.
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush() && file.commit())
        return std::nullopt;
    return WriteFailure(path, file.errorString());
}

std::optional<FileError> SavePuzzleFile(const QString& path, const Puzzle& puzzle) {
    auto bytes = WritePuzzle(puzzle);
    if (auto* error = std::get_if<FileError>(&bytes)) return *error;
    return WriteFileSafely(path, std::get<QByteArray>(bytes));
}

} // namespace korvane
