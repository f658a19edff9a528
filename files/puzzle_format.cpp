// Reading and writing the `.e65` puzzle file, byte for byte as the format lays it out.
#include "files/puzzle_format.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <sys/stat.h>

#include "boxes/boxes.h"
#include "files/cp1252.h"

namespace korvane {

namespace {

constexpr char kBar = '|';
constexpr char kCr = '\r';
constexpr char kLf = '\n';

constexpr int kConditionBoxes = BoxNumber(BoxRole::ChoiceB, kRules); // the condition line: ComboBox1..80
constexpr std::size_t kNameWindow = 254;    // a name's "|" is looked for this far ahead
constexpr std::size_t kLineWindow = 10'000; // a condition or option line's end this far from its start
constexpr std::size_t kValueBlockBytes = 4 * kBoxes;
constexpr std::size_t kMaxNameBytes = kNameWindow - 1;
constexpr std::size_t kMaxFieldBytes = 259; // a field and its "|" filled a 260-byte buffer
constexpr std::size_t kMaxLineBytes = kLineWindow - 1;
// Far beyond any puzzle (its text lines end within 30 kB); keeps a device or a stray huge file out.
constexpr std::size_t kMaxFileBytes = 16 * 1024 * 1024;

std::string Number(std::uint64_t n) { return std::to_string(n); }

enum class Line { Names, Conditions, Options };

std::string LineName(Line line) {
    switch (line) {
    case Line::Names:
        return "la ligne des noms";
    case Line::Conditions:
        return "la ligne des conditions";
    case Line::Options:
        return "la ligne des options";
    }
    return {}; // unreachable: every line is named above
}

// The grid cell of name field `index` (0..35), as the user sees it: rows are categories, column 0 holds
// the category's own name.
std::string NameCell(int index) {
    const int column = index / kCategories;
    const std::string row = Number(static_cast<std::uint64_t>(index % kCategories + 1));
    return column == 0 ? "la case « Catégorie " + row + " / Nom »"
                       : "la case « Catégorie " + row + " / Choix " + Number(static_cast<std::uint64_t>(column)) + " »";
}

std::string RoleName(BoxRole role) {
    switch (role) {
    case BoxRole::CategoryA:
        return "catégorie A";
    case BoxRole::ChoiceA:
        return "choix A";
    case BoxRole::Steps:
        return "nombre de crans";
    case BoxRole::Relation:
        return "relation";
    case BoxRole::Order:
        return "n° de la catégorie à utiliser";
    case BoxRole::CategoryB:
        return "catégorie B";
    case BoxRole::ChoiceB:
        return "choix B";
    }
    return {}; // unreachable: every role is named above
}

// Condition box `n` (1..112) with the row and the role it plays there.
std::string BoxName(int n) {
    const BoxPlace place = PlaceOf(n);
    return "la case ComboBox" + Number(static_cast<std::uint64_t>(n)) + " (condition " +
           Number(static_cast<std::uint64_t>(place.row)) + ", " + RoleName(place.role) + ")";
}

FormatError CutShort(Line line, std::size_t size, const std::string& where = {}) {
    return {FileErrorKind::TextLinesCutShort, "Fichier incomplet : il s'arrête après " + Number(size) +
                                                  " octets, au milieu de " + LineName(line) +
                                                  (where.empty() ? std::string() : ", dans " + where) + "."};
}

using FieldName = std::string (*)(int index);

FormatError Refusal(FileErrorKind kind, const std::string& reason) {
    return {kind, "Impossible d'enregistrer l'énigme : " + reason};
}

// "U+" and at least four upper-case hexadecimal digits.
std::string CodePoint(char32_t c) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
    return text;
}

// The file bytes of text field `index` (without its "|"), or why the format cannot carry it; `name`
// names the field for the user. The whole text must be UTF-8 before its characters are judged.
std::variant<std::string, FormatError> EncodeField(std::string_view text, int index, FieldName name) {
    if (!IsUtf8(text))
        return Refusal(FileErrorKind::NotUtf8, "le texte de " + name(index) + " n'est pas de l'UTF-8 valide.");
    // "|", CR and LF end fields and lines; the first of them in the text names the fault.
    if (const std::size_t reserved = text.find_first_of("|\r\n"); reserved != std::string_view::npos)
        return Refusal(FileErrorKind::ReservedCharacter,
                       name(index) + (text[reserved] == kBar
                                          ? " contient le caractère « | », qui termine les champs du fichier."
                                          : " contient un saut de ligne, qui termine les lignes du fichier."));

    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t start = pos;
        const char32_t c = *NextUtf8(text, pos);
        if (const auto byte = Cp1252Byte(c)) {
            bytes += static_cast<char>(*byte);
            continue;
        }
        return Refusal(FileErrorKind::NotWindows1252,
                       name(index) + " contient le caractère « " + std::string(text.substr(start, pos - start)) +
                           " » (" + CodePoint(c) +
                           "), que le jeu de caractères Windows-1252 du fichier ne sait pas représenter.");
    }
    return bytes;
}

// Walks a condition or option line from `start`, as loading always reads one: a CR or LF ends it, each
// "|" ends a field, fields beyond `boxes` and bytes after the last "|" are dropped. Sets `end` to the
// position of the CR or LF.
std::optional<FormatError> ReadTextLine(std::string_view bytes, std::size_t start, Line line,
                                        std::span<std::string> boxes, std::size_t& end) {
    std::size_t field = 0;
    std::size_t fieldStart = start;
    for (std::size_t i = start; i < start + kLineWindow; ++i) {
        if (i >= bytes.size()) return CutShort(line, bytes.size());
        const char b = bytes[i];
        if (b == kCr || b == kLf) {
            end = i;
            return std::nullopt;
        }
        if (b == kBar) {
            if (field < boxes.size()) boxes[field] = Cp1252ToUtf8(bytes.substr(fieldStart, i - fieldStart));
            ++field;
            fieldStart = i + 1;
        }
    }
    return FormatError{FileErrorKind::LineWithoutEnd, "Fichier illisible : " + LineName(line) +
                                                          ", qui commence à l'octet " + Number(start + 1) +
                                                          ", n'a pas de fin de ligne dans ses " + Number(kLineWindow) +
                                                          " premiers octets."};
}

// Appends one text line: each text followed by "|", then CR LF; or refuses it. `name(i)` names text i
// for the user; `maxField` bounds each text.
std::optional<FormatError> WriteTextLine(std::string& out, std::span<const std::string> texts, Line line,
                                         std::size_t maxField, FileErrorKind tooLong, FieldName name) {
    std::size_t lineBytes = 0;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const int index = static_cast<int>(i);
        auto encoded = EncodeField(texts[i], index, name);
        if (auto* error = std::get_if<FormatError>(&encoded)) return *error;
        const std::string& bytes = std::get<std::string>(encoded);
        if (bytes.size() > maxField)
            return Refusal(tooLong, "le texte de " + name(index) + " occupe " + Number(bytes.size()) +
                                        " octets dans le fichier, qui en admet au plus " + Number(maxField) + ".");
        lineBytes += bytes.size() + 1;
        out += bytes;
        out += kBar;
    }
    // Only the condition line can exceed this (36 names of 253 bytes fill 9,144, 32 options 8,320).
    if (lineBytes > kMaxLineBytes)
        return Refusal(FileErrorKind::LineTooLong, LineName(line) + " occuperait " + Number(lineBytes) +
                                                       " octets dans le fichier, qui en admet au plus " +
                                                       Number(kMaxLineBytes) +
                                                       " ; raccourcissez des textes de cette ligne.");
    out += kCr;
    out += kLf;
    return std::nullopt;
}

std::int32_t LittleEndian32(const char* bytes) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return static_cast<std::int32_t>(value); // two's complement, as the file stores it
}

void AppendLittleEndian32(std::string& out, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((bits >> (8 * i)) & 0xFF);
}

} // namespace

std::variant<Puzzle, FormatError> ParsePuzzle(std::string_view bytes) {
    Puzzle puzzle;

    // Name line: 36 fields, each ended by the first "|" within 254 bytes; nothing else ends them.
    std::size_t pos = 0;
    for (int n = 0; n < kNameCells; ++n) {
        const std::size_t window = std::min(kNameWindow, bytes.size() - pos);
        const std::size_t bar = bytes.substr(pos, window).find(kBar);
        if (bar == std::string_view::npos) {
            if (window < kNameWindow) return CutShort(Line::Names, bytes.size(), NameCell(n));
            return FormatError{FileErrorKind::NameWithoutBar,
                               "Fichier illisible : le nom de " + NameCell(n) + " n'a pas de « | » dans les " +
                                   Number(kNameWindow) + " octets à partir de l'octet " + Number(pos + 1) +
                                   " (un nom compte au plus " + Number(kMaxNameBytes) + " octets)."};
        }
        puzzle.names[static_cast<std::size_t>(n)] = Cp1252ToUtf8(bytes.substr(pos, bar));
        pos += bar + 1;
    }

    // The two bytes after the 36th "|" are taken to be the name line's CR LF without being looked at; the
    // option line likewise starts two bytes after the condition line's end.
    const std::span<std::string> boxes(puzzle.boxTexts);
    std::size_t end = 0;
    if (auto error = ReadTextLine(bytes, pos + 2, Line::Conditions, boxes.first(kConditionBoxes), end)) return *error;
    if (auto error = ReadTextLine(bytes, end + 2, Line::Options, boxes.subspan(kConditionBoxes), end)) return *error;

    // The values follow the third CR of the file and the byte after it, wherever the text lines ended.
    int crs = 0;
    std::size_t thirdCr = std::string_view::npos;
    for (std::size_t i = 0; i < bytes.size() && thirdCr == std::string_view::npos; ++i)
        if (bytes[i] == kCr && ++crs == 3) thirdCr = i;
    if (thirdCr == std::string_view::npos)
        return FormatError{FileErrorKind::NoValueBlock,
                           "Fichier incomplet : les valeurs des conditions manquent (elles suivent le troisième "
                           "retour chariot du fichier, qui n'en compte que " +
                               Number(static_cast<std::uint64_t>(crs)) + ")."};
    const std::size_t first = thirdCr + 2;
    if (bytes.size() < first || bytes.size() - first < kValueBlockBytes)
        return FormatError{FileErrorKind::ValueBlockCutShort,
                           "Fichier incomplet : les " + Number(kValueBlockBytes) +
                               " octets des valeurs des conditions commencent à l'octet " + Number(first + 1) +
                               ", mais le fichier s'arrête après " + Number(bytes.size()) + " octets."};
    for (int n = 1; n <= kBoxes; ++n)
        BoxValue(puzzle.rules, n) = LittleEndian32(bytes.data() + first + 4 * static_cast<std::size_t>(n - 1));
    return puzzle;
}

std::variant<std::string, FormatError> RenderPuzzle(const Puzzle& puzzle) {
    std::string out;
    out.reserve(1024);
    const std::span<const std::string> boxes(puzzle.boxTexts);
    const auto conditionBox = [](int i) { return BoxName(i + 1); };
    const auto optionBox = [](int i) { return BoxName(kConditionBoxes + i + 1); };
    if (auto error = WriteTextLine(out, puzzle.names, Line::Names, kMaxNameBytes, FileErrorKind::NameTooLong, NameCell))
        return *error;
    if (auto error = WriteTextLine(out, boxes.first(kConditionBoxes), Line::Conditions, kMaxFieldBytes,
                                   FileErrorKind::FieldTooLong, conditionBox))
        return *error;
    if (auto error = WriteTextLine(out, boxes.subspan(kConditionBoxes), Line::Options, kMaxFieldBytes,
                                   FileErrorKind::FieldTooLong, optionBox))
        return *error;
    for (int n = 1; n <= kBoxes; ++n)
        AppendLittleEndian32(out, BoxValue(puzzle.rules, n));
    out += kCr;
    out += kLf;
    return out;
}

std::variant<Puzzle, FormatError> ReadPuzzleFile(const std::string& path, std::string_view shownPath) {
    const auto unreadable = [&](FileErrorKind kind, const std::string& why) {
        return FormatError{kind, "Impossible de lire le fichier à importer\n" + std::string(shownPath) + " : " + why};
    };
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) return unreadable(FileErrorKind::OpenFailed, std::strerror(errno));
    // A folder opens for reading here; it is refused at opening, as a missing file is.
    struct stat status {};
    if (fstat(fileno(file.get()), &status) == 0 && S_ISDIR(status.st_mode))
        return unreadable(FileErrorKind::OpenFailed, std::strerror(EISDIR));

    // Read in pieces up to one byte past the limit: enough to tell a file too large without reading it all.
    std::string bytes;
    char buffer[1 << 16];
    while (bytes.size() <= kMaxFileBytes) {
        const std::size_t wanted = std::min(sizeof buffer, kMaxFileBytes + 1 - bytes.size());
        const std::size_t got = std::fread(buffer, 1, wanted, file.get());
        bytes.append(buffer, got);
        if (got < wanted) {
            if (std::ferror(file.get())) return unreadable(FileErrorKind::ReadFailed, std::strerror(errno));
            break;
        }
    }
    if (bytes.size() > kMaxFileBytes)
        return unreadable(FileErrorKind::FileTooLarge, "il dépasse " + Number(kMaxFileBytes) +
                                                           " octets, ce n'est pas un fichier d'énigme.");

    auto result = ParsePuzzle(bytes);
    if (auto* error = std::get_if<FormatError>(&result))
        error->message = std::string(shownPath) + "\n" + error->message;
    return result;
}

} // namespace korvane
