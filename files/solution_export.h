// Solution export: where the solution text file goes (next to the loaded puzzle, named after it), its
// bytes (Windows-1252, CR LF after every line), and a file writer that never loses what was there.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <variant>

#include "files/puzzle_file.h"

namespace korvane {

// The solution file's path for a window caption: the caption with its extension replaced by ".txt". The
// extension starts at the last "." after the last "\" and ":" (and "/" when the caption is an absolute
// path); without one, ".txt" is appended. "C:\Enigmes\zoo.e65" gives "C:\Enigmes\zoo.txt", an empty
// caption ".txt".
QString SolutionFilePath(const QString& caption);

// The bytes of the solution file for `lines`: each line in Windows-1252 followed by CR LF. Refuses, naming
// the line and the character, a line with a character Windows-1252 lacks, or with a CR or LF of its own.
std::variant<QByteArray, FileError> SolutionFileBytes(const QStringList& lines);

// SolutionFileBytes written with WriteFileSafely.
std::optional<FileError> SaveSolutionFile(const QString& path, const QStringList& lines);

} // namespace korvane
