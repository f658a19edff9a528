// Reading and writing the `.e65` puzzle file, byte for byte as the format lays it out.
#include "files/puzzle_file.h"

#include "core/boxes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QtEndian>
#include <span>

namespace korvane {

namespace {

constexpr char kBar = '|';
constexpr char kCr = '\r';
constexpr char kLf = '\n';

constexpr int kConditionBoxes = BoxNumber(BoxRole::ChoiceB, kRules); // the condition line: ComboBox1..80
constexpr qsizetype kNameWindow = 254;    // a name's "|" is looked for this far ahead
constexpr qsizetype kLineWindow = 10'000; // a condition or option line's end this far from its start
constexpr qsizetype kValueBlockBytes = 4 * kBoxes;
constexpr qsizetype kMaxNameBytes = kNameWindow - 1;
constexpr qsizetype kMaxFieldBytes = 259; // a field and its "|" filled a 260-byte buffer
constexpr qsizetype kMaxLineBytes = kLineWindow - 1;
// Far beyond any puzzle (its text lines end within 30 kB); keeps a device or a stray huge file out.
constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;

constexpr const char* kCodePage = "windows-1252";

enum class Line { Names, Conditions, Options };

QString LineName(Line line) {
    switch (line) {
    case Line::Names:
        return QStringLiteral("la ligne des noms");
    case Line::Conditions:
        return QStringLiteral("la ligne des conditions");
    case Line::Options:
        return QStringLiteral("la ligne des options");
    }
    Q_UNREACHABLE();
}

// The grid cell of name field `index` (0..35), as the user sees it: rows are categories, column 0 holds
// the category's own name.
QString NameCell(int index) {
    const int column = index / kCategories;
    const int row = index % kCategories + 1;
    return column == 0 ? QStringLiteral("la case « Catégorie %1 / Nom »").arg(row)
                       : QStringLiteral("la case « Catégorie %1 / Choix %2 »").arg(row).arg(column);
}

// Condition box `n` (1..112) with the row and the role it plays there.
QString BoxName(int n) {
    static const char* const kMainRoles[] = {"catégorie A", "choix A", "relation", "catégorie B", "choix B"};
    int row = 0;
    QString role;
    if (n <= kConditionBoxes) {
        row = (n - 1) / 5 + 1;
        role = QString::fromUtf8(kMainRoles[(n - 1) % 5]);
    } else if (n <= kConditionBoxes + kRules) {
        row = n - kConditionBoxes;
        role = QStringLiteral("nombre de crans");
    } else {
        row = n - kConditionBoxes - kRules;
        role = QStringLiteral("n° de la catégorie à utiliser");
    }
    return QStringLiteral("la case ComboBox%1 (condition %2, %3)").arg(n).arg(row).arg(role);
}

FileError CutShort(Line line, qsizetype size, const QString& where = {}) {
    return {FileError::Kind::TextLinesCutShort,
            QStringLiteral("Fichier incomplet : il s'arrête après %1 octets, au milieu de %2%3.")
                .arg(size)
                .arg(LineName(line), where.isEmpty() ? QString() : QStringLiteral(", dans ") + where)};
}

// Converts between the file's Windows-1252 bytes and the model's UTF-8 texts through ICU, which reads
// every byte (the five Windows-1252 leaves undefined, 81 8D 8F 90 9D, as the control characters U+0081
// etc.) and writes each of those characters back as its byte: any field survives a round trip.
// A converter keeps its first error for good (resetState() does not clear ICU's), so a codec that has
// refused a text is done with.
class TextCodec {
public:
    std::string read(QByteArrayView field) {
        const QByteArray utf8 = QString(fromFile_.decode(field)).toUtf8();
        return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    }

    // The characters of UTF-8 `text`, or nothing when it is not valid UTF-8. A leading U+FEFF stays a
    // character (and is refused later) instead of being dropped as a byte order mark.
    std::optional<QString> fromUtf8(const std::string& text) {
        QString unicode = fromUtf8_.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
        if (fromUtf8_.hasError()) return std::nullopt;
        return unicode;
    }

    // The Windows-1252 bytes of `text`, or nothing when a character has none. Decoding them again guards
    // against a converter that drops a character (ICU drops U+FEFF) or writes a look-alike for it.
    std::optional<QByteArray> write(const QString& text) {
        QByteArray bytes = toFile_.encode(text);
        if (toFile_.hasError() || QString(fromFile_.decode(bytes)) != text) return std::nullopt;
        return bytes;
    }

private:
    QStringDecoder fromFile_{kCodePage, QStringDecoder::Flag::Stateless};
    QStringEncoder toFile_{kCodePage, QStringEncoder::Flag::Stateless};
    QStringDecoder fromUtf8_{QStringDecoder::Utf8,
                             QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom};
};

using FieldName = QString (*)(int index);

FileError Refusal(FileError::Kind kind, const QString& reason) {
    return {kind, QStringLiteral("Impossible d'enregistrer l'énigme : ") + reason};
}

// The first character of `unicode` that Windows-1252 lacks, with its code point.
std::pair<QString, char32_t> FirstCharacterWithoutByte(const QString& unicode) {
    for (qsizetype i = 0; i < unicode.size();) {
        const QChar c = unicode.at(i);
        const bool pair = c.isHighSurrogate() && i + 1 < unicode.size() && unicode.at(i + 1).isLowSurrogate();
        const QString character = unicode.mid(i, pair ? 2 : 1);
        if (!TextCodec().write(character))
            return {character, pair ? QChar::surrogateToUcs4(c, unicode.at(i + 1)) : c.unicode()};
        i += character.size();
    }
    Q_UNREACHABLE(); // a text refused whole has a character refused alone
}

// The file bytes of text field `index` (without its "|"), or why the format cannot carry it; `name`
// names the field for the user.
std::variant<QByteArray, FileError> EncodeField(TextCodec& codec, const std::string& text, int index, FieldName name) {
    const std::optional<QString> unicode = codec.fromUtf8(text);
    if (!unicode)
        return Refusal(FileError::Kind::NotUtf8,
                       QStringLiteral("le texte de %1 n'est pas de l'UTF-8 valide.").arg(name(index)));

    for (const QChar c : *unicode) {
        if (c == QLatin1Char(kBar))
            return Refusal(
                FileError::Kind::ReservedCharacter,
                QStringLiteral("%1 contient le caractère « | », qui termine les champs du fichier.").arg(name(index)));
        if (c == QLatin1Char(kCr) || c == QLatin1Char(kLf))
            return Refusal(
                FileError::Kind::ReservedCharacter,
                QStringLiteral("%1 contient un saut de ligne, qui termine les lignes du fichier.").arg(name(index)));
    }

    if (auto bytes = codec.write(*unicode)) return *std::move(bytes);
    const auto [character, code] = FirstCharacterWithoutByte(*unicode);
    return Refusal(FileError::Kind::NotWindows1252,
                   QStringLiteral("%1 contient le caractère « %2 » (U+%3), que le jeu de caractères "
                                  "Windows-1252 du fichier ne sait pas représenter.")
                       .arg(name(index), character, QString::number(code, 16).toUpper().rightJustified(4, u'0')));
}

// Walks a condition or option line from `start` as the format's reader does: a CR or LF ends it, each
// "|" ends a field, fields beyond `boxes` and bytes after the last "|" are dropped. Sets `end` to the
// position of the CR or LF.
std::optional<FileError> ReadTextLine(TextCodec& codec, QByteArrayView bytes, qsizetype start, Line line,
                                      std::span<std::string> boxes, qsizetype& end) {
    std::size_t field = 0;
    qsizetype fieldStart = start;
    for (qsizetype i = start; i < start + kLineWindow; ++i) {
        if (i >= bytes.size()) return CutShort(line, bytes.size());
        const char b = bytes[i];
        if (b == kCr || b == kLf) {
            end = i;
            return std::nullopt;
        }
        if (b == kBar) {
            if (field < boxes.size()) boxes[field] = codec.read(bytes.sliced(fieldStart, i - fieldStart));
            ++field;
            fieldStart = i + 1;
        }
    }
    return FileError{FileError::Kind::LineWithoutEnd,
                     QStringLiteral("Fichier illisible : %1, qui commence à l'octet %2, n'a pas de fin de ligne "
                                    "dans ses %3 premiers octets.")
                         .arg(LineName(line))
                         .arg(start + 1)
                         .arg(kLineWindow)};
}

// Appends one text line: each text followed by "|", then CR LF; or refuses it. `name(i)` names text i
// for the user; `maxField` bounds each text.
std::optional<FileError> WriteTextLine(TextCodec& codec, QByteArray& out, std::span<const std::string> texts, Line line,
                                       qsizetype maxField, FileError::Kind tooLong, FieldName name) {
    qsizetype lineBytes = 0;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const int index = static_cast<int>(i);
        auto encoded = EncodeField(codec, texts[i], index, name);
        if (auto* error = std::get_if<FileError>(&encoded)) return *error;
        const QByteArray& bytes = std::get<QByteArray>(encoded);
        if (bytes.size() > maxField)
            return Refusal(tooLong,
                           QStringLiteral("le texte de %1 occupe %2 octets dans le fichier, qui en admet au plus %3.")
                               .arg(name(index))
                               .arg(bytes.size())
                               .arg(maxField));
        lineBytes += bytes.size() + 1;
        out.append(bytes).append(kBar);
    }
    // Only the condition line can exceed this (36 names of 253 bytes fill 9,144, 32 options 8,320).
    if (lineBytes > kMaxLineBytes)
        return Refusal(FileError::Kind::LineTooLong,
                       QStringLiteral("%1 occuperait %2 octets dans le fichier, qui en admet au plus %3 ; "
                                      "raccourcissez des textes de cette ligne.")
                           .arg(LineName(line))
                           .arg(lineBytes)
                           .arg(kMaxLineBytes));
    out.append(kCr).append(kLf);
    return std::nullopt;
}

} // namespace

std::variant<Puzzle, FileError> ReadPuzzle(QByteArrayView bytes) {
    Puzzle puzzle;
    TextCodec codec;

    // Name line: 36 fields, each ended by the first "|" within 254 bytes; nothing else ends them.
    qsizetype pos = 0;
    for (int n = 0; n < kNameCells; ++n) {
        const qsizetype window = std::min(kNameWindow, bytes.size() - pos);
        const qsizetype bar = bytes.sliced(pos, window).indexOf(kBar);
        if (bar < 0) {
            if (window < kNameWindow) return CutShort(Line::Names, bytes.size(), NameCell(n));
            return FileError{FileError::Kind::NameWithoutBar,
                             QStringLiteral("Fichier illisible : le nom de %1 n'a pas de « | » dans les %2 octets "
                                            "à partir de l'octet %3 (un nom compte au plus %4 octets).")
                                 .arg(NameCell(n))
                                 .arg(kNameWindow)
                                 .arg(pos + 1)
                                 .arg(kMaxNameBytes)};
        }
        puzzle.names[static_cast<std::size_t>(n)] = codec.read(bytes.sliced(pos, bar));
        pos += bar + 1;
    }

    // The two bytes after the 36th "|" are taken to be the name line's CR LF without being looked at; the
    // option line likewise starts two bytes after the condition line's end.
    const std::span<std::string> boxes(puzzle.boxTexts);
    qsizetype end = 0;
    if (auto error = ReadTextLine(codec, bytes, pos + 2, Line::Conditions, boxes.first(kConditionBoxes), end))
        return *error;
    if (auto error = ReadTextLine(codec, bytes, end + 2, Line::Options, boxes.subspan(kConditionBoxes), end))
        return *error;

    // The values follow the third CR of the file and the byte after it, wherever the text lines ended.
    int crs = 0;
    qsizetype thirdCr = -1;
    for (qsizetype i = 0; i < bytes.size() && thirdCr < 0; ++i)
        if (bytes[i] == kCr && ++crs == 3) thirdCr = i;
    if (thirdCr < 0)
        return FileError{FileError::Kind::NoValueBlock,
                         QStringLiteral("Fichier incomplet : les valeurs des conditions manquent (elles suivent le "
                                        "troisième retour chariot du fichier, qui n'en compte que %1).")
                             .arg(crs)};
    const qsizetype first = thirdCr + 2;
    if (bytes.size() - first < kValueBlockBytes)
        return FileError{FileError::Kind::ValueBlockCutShort,
                         QStringLiteral("Fichier incomplet : les %1 octets des valeurs des conditions commencent à "
                                        "l'octet %2, mais le fichier s'arrête après %3 octets.")
                             .arg(kValueBlockBytes)
                             .arg(first + 1)
                             .arg(bytes.size())};
    for (int n = 1; n <= kBoxes; ++n)
        puzzle.rules.value(n) = qFromLittleEndian<qint32>(bytes.data() + first + 4 * (n - 1));
    return puzzle;
}

std::variant<QByteArray, FileError> WritePuzzle(const Puzzle& puzzle) {
    TextCodec codec;
    QByteArray out;
    out.reserve(1024);
    const std::span<const std::string> boxes(puzzle.boxTexts);
    const auto conditionBox = [](int i) { return BoxName(i + 1); };
    const auto optionBox = [](int i) { return BoxName(kConditionBoxes + i + 1); };
    if (auto error =
            WriteTextLine(codec, out, puzzle.names, Line::Names, kMaxNameBytes, FileError::Kind::NameTooLong, NameCell))
        return *error;
    if (auto error = WriteTextLine(codec, out, boxes.first(kConditionBoxes), Line::Conditions, kMaxFieldBytes,
                                   FileError::Kind::FieldTooLong, conditionBox))
        return *error;
    if (auto error = WriteTextLine(codec, out, boxes.subspan(kConditionBoxes), Line::Options, kMaxFieldBytes,
                                   FileError::Kind::FieldTooLong, optionBox))
        return *error;
    for (int n = 1; n <= kBoxes; ++n) {
        char value[4];
        qToLittleEndian<qint32>(puzzle.rules.value(n), value);
        out.append(value, 4);
    }
    out.append(kCr).append(kLf);
    return out;
}

std::variant<Puzzle, FileError> LoadPuzzleFile(const QString& path) {
    const QString where = QDir::toNativeSeparators(path);
    const auto unreadable = [&](FileError::Kind kind, const QString& why) {
        return FileError{kind, QStringLiteral("Impossible de lire le fichier à importer\n%1 : %2").arg(where, why)};
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return unreadable(FileError::Kind::OpenFailed, file.errorString());
    const QByteArray bytes = file.read(kMaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError) return unreadable(FileError::Kind::ReadFailed, file.errorString());
    if (bytes.size() > kMaxFileBytes)
        return unreadable(FileError::Kind::FileTooLarge,
                          QStringLiteral("il dépasse %1 octets, ce n'est pas un fichier d'énigme.").arg(kMaxFileBytes));

    auto result = ReadPuzzle(bytes);
    if (auto* error = std::get_if<FileError>(&result))
        error->message = QStringLiteral("%1\n%2").arg(where, error->message);
    return result;
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
