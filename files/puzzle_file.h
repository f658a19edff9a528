// Loading and saving `.e65` puzzle files for the window: the format of files/puzzle_format.h with Qt's
// strings and paths, and saving through a temporary file so that a failed save loses nothing.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>
#include <variant>

#include "core/model.h"
#include "files/puzzle_format.h"

namespace korvane {

// Why a puzzle could not be read or written: the format's error with its message as a QString.
struct FileError {
    using Kind = FileErrorKind;

    Kind kind;
    QString message;

    static FileError From(const FormatError& error) { return {error.kind, QString::fromStdString(error.message)}; }
};

// ParsePuzzle and RenderPuzzle of files/puzzle_format.h, with Qt's types.
std::variant<Puzzle, FileError> ReadPuzzle(QByteArrayView bytes);
std::variant<QByteArray, FileError> WritePuzzle(const Puzzle& puzzle);

// ReadPuzzleFile of files/puzzle_format.h: errors name the file by its native path.
std::variant<Puzzle, FileError> LoadPuzzleFile(const QString& path);

// Writes `bytes` to `path`. A regular file is replaced only once every byte is on disk, through a
// temporary file beside it; a target that exists and is no regular file (a device, a pipe) is written in
// place, never replaced. Errors name the file by its native path and say why.
std::optional<FileError> WriteFileSafely(const QString& path, const QByteArray& bytes);

// WritePuzzle written with WriteFileSafely: a temporary file replaces the target only once every byte is
// on disk, so a refusal or a failure leaves an existing file as it was. Returns nothing on success.
// Errors name the file by its native path, except refusals of WritePuzzle, which name the field.
std::optional<FileError> SavePuzzleFile(const QString& path, const Puzzle& puzzle);

} // namespace korvane
