// The `.e65` puzzle file: three lines of "|"-terminated Windows-1252 texts (the 36 grid names, the 80
// main condition boxes, the 32 steps and order boxes), each ended by CR LF, then the 112 rule values as
// little-endian 32-bit integers and a last CR LF.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>
#include <variant>

#include "core/model.h"

namespace korvane {

// Why a puzzle could not be read or written. `message` is French, meant for the user as it stands, and
// names the place in the file or the field of the puzzle at fault.
struct FileError {
    enum class Kind {
        // Reading
        TextLinesCutShort,  // the bytes end inside the name, condition or option line
        NameWithoutBar,     // a name without its "|" within 254 bytes
        LineWithoutEnd,     // a condition or option line without CR or LF within 10,000 bytes
        NoValueBlock,       // fewer than three CR bytes: nothing says where the values are
        ValueBlockCutShort, // the bytes end inside the 448 bytes of values
        // Writing: a text the format cannot carry
        NotUtf8,           // the text is not valid UTF-8
        ReservedCharacter, // "|", CR or LF
        NotWindows1252,    // a character without a Windows-1252 byte
        NameTooLong,       // a name over 253 bytes
        FieldTooLong,      // a box text over 259 bytes
        LineTooLong,       // a condition or option line over 9,999 bytes
        // The file system
        OpenFailed,
        ReadFailed,
        FileTooLarge,
        WriteFailed,
    };

    Kind kind;
    QString message;
};

// Parses a whole puzzle file held in `bytes`. Texts and values are taken where the format's reader
// finds them: the names up to their 36th "|", the condition line from the third byte after it and the
// option line from the second byte after the condition line's end (each tolerates missing or extra
// fields, which it drops, and stray bytes after its last "|"), the values right after the third CR of
// the file plus one byte, whatever follows them being ignored. Boxes the file has no field for are
// empty. Returns the complete puzzle, or an error when any of it is missing; never reads outside
// `bytes`.
std::variant<Puzzle, FileError> ReadPuzzle(QByteArrayView bytes);

// Renders `puzzle` as the bytes of its puzzle file. Refuses, naming the first field at fault in file
// order, any text the format cannot carry back unchanged: invalid UTF-8, "|", CR or LF, a character
// Windows-1252 lacks, a name over 253 bytes, a box text over 259 bytes, a condition or option line over
// 9,999 bytes. Whatever it returns as bytes, ReadPuzzle turns back into `puzzle`.
std::variant<QByteArray, FileError> WritePuzzle(const Puzzle& puzzle);

// Reads the file at `path` and parses it with ReadPuzzle. A file over 16 MiB is refused without being
// read to its end (a puzzle's text lines end within 30 kB). Errors name the file by its native path.
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
