// Running korvane-solve as a separate program, and the files its tests read and compare against: shared
// by the command-line tests.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <variant>

#include "files/puzzle_file.h"

inline QByteArray ReadAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

// An example puzzle file, and the expected output kept next to the tests.
inline QString Example(const char* name) { return QStringLiteral(KORVANE_EXAMPLES_DIR "/") + QLatin1String(name); }
inline QByteArray Golden(const char* name) { return ReadAll(QStringLiteral(KORVANE_GOLDEN_DIR "/") + QLatin1String(name)); }

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// korvane-solve run with `arguments`; exit code -1 when it crashed or took over a minute.
inline Run Solve(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(KORVANE_SOLVE), arguments);
    if (!process.waitForFinished(60'000) || process.exitStatus() != QProcess::NormalExit) return {};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

// The output of a --json run as an object (empty, with a warning, when it is not JSON).
inline QJsonObject Json(const Run& run) {
    QJsonParseError error;
    const QJsonObject json = QJsonDocument::fromJson(run.out, &error).object();
    if (error.error != QJsonParseError::NoError) qWarning("not JSON: %s", run.out.constData());
    return json;
}

// zebra.e65 saved as `path` with row 3's category box B showing "Coleur", which names no category: the
// solve stops there with "Erreur 201". False when it could not be written.
inline bool SaveMalformedZebra(const QString& path) {
    auto zebra = korvane::LoadPuzzleFile(Example("zebra.e65"));
    auto* puzzle = std::get_if<korvane::Puzzle>(&zebra);
    if (!puzzle) return false;
    puzzle->boxTexts[14 - 1] = "Coleur";
    puzzle->rules[3].categoryB = 0;
    return !korvane::SavePuzzleFile(path, *puzzle);
}
