// The `.e65` reader and writer: golden bytes, round trips, the odd layouts that loading accepts,
// damaged files, texts the format cannot carry, and saving that never loses an existing file.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>
#include <csignal>
#include <functional>
#include <sys/resource.h>

#include "boxes/boxes.h"
#include "files/puzzle_file.h"

using korvane::BoxValue;
using korvane::FileError;
using korvane::Puzzle;

namespace {

using Change = std::function<void(Puzzle&)>;

// The smallest telling puzzle: one condition, "M2 corresponds to C4", the golden example.e65.
Puzzle ExamplePuzzle() {
    Puzzle p;
    const char* categories[] = {"Maison", "Nation", "Animal", "Boisson", "Sport", "Couleur"};
    const char letters[] = "MNABSC";
    for (int row = 1; row <= 6; ++row) {
        p.name(0, row) = categories[row - 1];
        for (int column = 1; column <= 5; ++column)
            p.name(column, row) = std::string(1, letters[row - 1]) + std::to_string(column);
    }
    p.boxTexts[0] = "Maison";
    p.boxTexts[1] = "M2";
    p.boxTexts[2] = "Correspond à";
    p.boxTexts[3] = "Couleur";
    p.boxTexts[4] = "C4";
    p.rules[1] = {1, 2, 1, 6, 4, 0, 0};
    return p;
}

QByteArray Golden(const char* name) {
    QFile file(QStringLiteral(KORVANE_GOLDEN_DIR "/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly)) qFatal("missing golden file %s", name);
    return file.readAll();
}

// One text line: every field followed by "|", then `end`.
QByteArray Line(const QList<QByteArray>& fields, const QByteArray& end = "\r\n") {
    QByteArray line;
    for (const QByteArray& f : fields)
        line += f + '|';
    return line + end;
}

QByteArray Bars(int count, const QByteArray& end = "\r\n") {
    return QByteArray(count, '|') + end;
}

// The three lines of the example file, taken apart for the odd layouts below.
const QByteArray kNames = Golden("example.e65").left(135);
const QByteArray kNamesWithoutEnd = kNames.chopped(2);
const QByteArray kConditions = Golden("example.e65").mid(135, 111);
const QByteArray kConditionFields = Line({"Maison", "M2", "Correspond \xE0", "Couleur", "C4"}, "");
const QByteArray kValues = Golden("example.e65").right(450);

QString Utf8(const std::string& s) {
    return QString::fromStdString(s);
}

// Compares field by field so that a failure names the field.
void ComparePuzzles(const Puzzle& actual, const Puzzle& expected) {
    for (std::size_t i = 0; i < actual.names.size(); ++i)
        QCOMPARE(Utf8(actual.names[i]), Utf8(expected.names[i]));
    for (std::size_t i = 0; i < actual.boxTexts.size(); ++i)
        QCOMPARE(Utf8(actual.boxTexts[i]), Utf8(expected.boxTexts[i]));
    for (int n = 1; n <= korvane::kBoxes; ++n)
        QCOMPARE(BoxValue(actual.rules, n), BoxValue(expected.rules, n));
}

// Checks that `result` is a puzzle equal to `expected`, or says why it is not.
void ExpectPuzzle(const std::variant<Puzzle, FileError>& result, const Puzzle& expected) {
    const auto* error = std::get_if<FileError>(&result);
    QVERIFY2(!error, error ? qPrintable(error->message) : "");
    ComparePuzzles(std::get<Puzzle>(result), expected);
}

// The bytes WritePuzzle gives for `puzzle`; none, with the reason logged, when it refuses.
QByteArray Written(const Puzzle& puzzle) {
    const auto written = korvane::WritePuzzle(puzzle);
    if (const auto* error = std::get_if<FileError>(&written)) {
        qWarning("%s", qPrintable(error->message));
        return {};
    }
    return std::get<QByteArray>(written);
}

template <typename T> std::optional<FileError> ErrorOf(const std::variant<T, FileError>& result) {
    if (const auto* error = std::get_if<FileError>(&result)) return *error;
    return std::nullopt;
}

} // namespace

Q_DECLARE_METATYPE(FileError::Kind)
Q_DECLARE_METATYPE(Puzzle)
Q_DECLARE_METATYPE(Change)

class TestPuzzleFile : public QObject {
    Q_OBJECT

private slots:
    void goldenFilesAreWrittenAndReadByteForByte_data();
    void goldenFilesAreWrittenAndReadByteForByte();
    void valuesAreLittleEndianSigned32_data();
    void valuesAreLittleEndianSigned32();
    void textsAreWindows1252Bytes_data();
    void textsAreWindows1252Bytes();
    void everyByteValueRoundTrips();
    void limitsAreWrittenAndReadBack_data();
    void limitsAreWrittenAndReadBack();
    void oddLayoutsReadAsTheFormatReaderDoes_data();
    void oddLayoutsReadAsTheFormatReaderDoes();
    void damagedFilesAreRefused_data();
    void damagedFilesAreRefused();
    void unwritableTextsAreRefused_data();
    void unwritableTextsAreRefused();
    void savedFileLoadsBack();
    void loadErrorsNameTheFile_data();
    void loadErrorsNameTheFile();
    void anEndlessFileIsNotReadToItsEnd();
    void saveIntoAPathUnderARegularFileFails();
    void failedSaveKeepsTheExistingFile_data();
    void failedSaveKeepsTheExistingFile();
};

void TestPuzzleFile::goldenFilesAreWrittenAndReadByteForByte_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<Puzzle>("puzzle");
    QTest::addColumn<int>("size");
    QTest::newRow("the example puzzle is the 730 bytes of example.e65")
        << Golden("example.e65") << ExamplePuzzle() << 730;
    QTest::newRow("an empty puzzle is 604 bytes") << Golden("empty.e65") << Puzzle{} << 604;
}

void TestPuzzleFile::goldenFilesAreWrittenAndReadByteForByte() {
    QFETCH(QByteArray, file);
    QFETCH(Puzzle, puzzle);
    QFETCH(int, size);
    QCOMPARE(file.size(), size);

    QCOMPARE(Written(puzzle), file);
    ExpectPuzzle(korvane::ReadPuzzle(file), puzzle);
}

void TestPuzzleFile::valuesAreLittleEndianSigned32_data() {
    QTest::addColumn<int>("box");
    QTest::addColumn<qint32>("value");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("relation 10 is stored as 0A 00 00 00, an LF inside the block")
        << 3 << 10 << QByteArray("\x0A\0\0\0", 4);
    QTest::newRow("a CR inside the block does not move it") << 42 << 13 << QByteArray("\x0D\0\0\0", 4);
    QTest::newRow("a bar inside the block is only a value") << 1 << 124 << QByteArray("\x7C\0\0\0", 4);
    QTest::newRow("a negative value is two's complement") << 81 << -1 << QByteArray("\xFF\xFF\xFF\xFF", 4);
    QTest::newRow("the smallest value survives")
        << 112 << std::numeric_limits<qint32>::min() << QByteArray("\0\0\0\x80", 4);
    QTest::newRow("the largest value survives")
        << 97 << std::numeric_limits<qint32>::max() << QByteArray("\xFF\xFF\xFF\x7F", 4);
    QTest::newRow("the least significant byte comes first") << 80 << 0x01020304 << QByteArray("\x04\x03\x02\x01", 4);
}

void TestPuzzleFile::valuesAreLittleEndianSigned32() {
    QFETCH(int, box);
    QFETCH(qint32, value);
    QFETCH(QByteArray, bytes);
    Puzzle puzzle = ExamplePuzzle();
    BoxValue(puzzle.rules, box) = value;

    const QByteArray file = Written(puzzle);
    QCOMPARE(file.size(), 730);
    QCOMPARE(file.mid(280 + 4 * (box - 1), 4), bytes);
    ExpectPuzzle(korvane::ReadPuzzle(file), puzzle);
}

void TestPuzzleFile::textsAreWindows1252Bytes_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("an accented letter is one byte") << QStringLiteral("Correspond à") << QByteArray("Correspond \xE0");
    QTest::newRow("the euro sign is 80") << QStringLiteral("€") << QByteArray("\x80");
    QTest::newRow("the ligature is 8C") << QStringLiteral("Œuf") << QByteArray("\x8Cuf");
    QTest::newRow("the undefined byte 81 is U+0081") << QStringLiteral("\u0081") << QByteArray("\x81");
    QTest::newRow("the undefined byte 9D is U+009D") << QStringLiteral("a\u009D") << QByteArray("a\x9D");
    QTest::newRow("EF BB BF at the start is three letters, not a mark")
        << QStringLiteral("ï»¿x") << QByteArray("\xEF\xBB\xBFx");
    QTest::newRow("a NUL byte is a character like any other") << QString(QChar(0)) + u'z' << QByteArray("\0z", 2);
}

void TestPuzzleFile::textsAreWindows1252Bytes() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    Puzzle puzzle;
    puzzle.names[0] = text.toStdString();
    puzzle.boxTexts[111] = text.toStdString();

    const QByteArray file = Written(puzzle);
    QVERIFY(file.startsWith(bytes + '|'));
    QVERIFY(file.contains(bytes + "|\r\n"));
    ExpectPuzzle(korvane::ReadPuzzle(file), puzzle);
}

void TestPuzzleFile::everyByteValueRoundTrips() {
    // Every byte but "|", CR and LF: 253 bytes, the longest name there is.
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        if (b != '|' && b != '\r' && b != '\n') all += static_cast<char>(b);
    QCOMPARE(all.size(), 253);
    const QByteArray file = all + '|' + Bars(35) + all + '|' + Bars(79) + QByteArray(31, '|') + all + "|\r\n" + kValues;

    const auto read = korvane::ReadPuzzle(file);
    QVERIFY2(std::holds_alternative<Puzzle>(read), qPrintable(ErrorOf(read)->message));
    const Puzzle& puzzle = std::get<Puzzle>(read);
    const QString name = Utf8(puzzle.names[0]);
    QCOMPARE(name.size(), 253);
    QCOMPARE(name.at(all.indexOf('\x80')), QChar(0x20AC));
    for (char undefined : {'\x81', '\x8D', '\x8F', '\x90', '\x9D'})
        QCOMPARE(name.at(all.indexOf(undefined)), QChar(static_cast<uchar>(undefined)));
    QCOMPARE(puzzle.boxTexts[0], puzzle.names[0]);
    QCOMPARE(puzzle.boxTexts[111], puzzle.names[0]);

    QCOMPARE(Written(puzzle), file);
}

void TestPuzzleFile::limitsAreWrittenAndReadBack_data() {
    QTest::addColumn<Change>("change");
    QTest::addColumn<int>("size");
    QTest::newRow("a name of 253 bytes") << Change([](Puzzle& p) { p.names[35] = std::string(253, 'n'); }) << 604 + 253;
    QTest::newRow("a name of 253 accented letters, 506 bytes of UTF-8")
        << Change([](Puzzle& p) { p.names[0] = QString(253, u'é').toStdString(); }) << 604 + 253;
    QTest::newRow("a box text of 259 bytes")
        << Change([](Puzzle& p) { p.boxTexts[79] = std::string(259, 'b'); }) << 604 + 259;
    QTest::newRow("an order box text of 259 bytes")
        << Change([](Puzzle& p) { p.boxTexts[111] = std::string(259, 'o'); }) << 604 + 259;
    QTest::newRow("a condition line of 9,999 bytes") << Change([](Puzzle& p) {
        for (int i = 0; i < 38; ++i)
            p.boxTexts[static_cast<std::size_t>(i)] = std::string(259, 'c');
        p.boxTexts[38] = std::string(9999 - 80 - 38 * 259, 'c');
    }) << 604 + 9999 - 80;
}

void TestPuzzleFile::limitsAreWrittenAndReadBack() {
    QFETCH(Change, change);
    QFETCH(int, size);
    Puzzle puzzle;
    change(puzzle);

    const QByteArray file = Written(puzzle);
    QCOMPARE(file.size(), size);
    ExpectPuzzle(korvane::ReadPuzzle(file), puzzle);
}

void TestPuzzleFile::oddLayoutsReadAsTheFormatReaderDoes_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<Change>("change"); // what the file holds, as a change to the example puzzle
    const Change same = [](Puzzle&) {};
    const QByteArray options = Bars(32);

    QTest::newRow("a condition line with two fields leaves the later boxes empty")
        << kNames + Line({"Maison", "M2"}) + options + kValues
        << Change([](Puzzle& p) { p.boxTexts[2] = p.boxTexts[3] = p.boxTexts[4] = ""; });
    QTest::newRow("a condition line without any bar leaves every box empty")
        << kNames + "Maison\r\n" + options + kValues << Change([](Puzzle& p) { p.boxTexts = {}; });
    QTest::newRow("fields after the 80th of the condition line are dropped")
        << kNames + kConditions.chopped(2) + "extra|more|\r\n" + options + kValues << same;
    QTest::newRow("bytes after the condition line's last bar are ignored")
        << kNames + kConditions.chopped(2) + "stray\r\n" + options + kValues << same;
    QTest::newRow("an option line with one field leaves the later boxes empty")
        << kNames + kConditions + "3|\r\n" + kValues << Change([](Puzzle& p) { p.boxTexts[80] = "3"; });
    QTest::newRow("fields after the 32nd of the option line are dropped")
        << kNames + kConditions + QByteArray(31, '|') + "6|4|\r\n" + kValues
        << Change([](Puzzle& p) { p.boxTexts[111] = "6"; });
    QTest::newRow("bytes after the option line's last bar are ignored")
        << kNames + kConditions + Bars(32, "stray\r\n") + kValues << same;
    QTest::newRow("bytes after the value block are ignored") << Golden("example.e65") + "trailing" << same;
    QTest::newRow("a file without its last CR LF has all its values") << Golden("example.e65").chopped(2) << same;
    QTest::newRow("a condition line ended by LF alone: the option line starts two bytes later")
        << kNames + kConditionFields + "\nX" + "4|\r\n" + "\r\n" + kValues
        << Change([](Puzzle& p) { p.boxTexts[80] = "4"; });
    QTest::newRow("the two bytes after the 36th bar are not looked at")
        << kNamesWithoutEnd + "ab" + kConditions + options + "\r\n" + kValues << same;
    QTest::newRow("with two CRs after the names, the option line runs over the value block")
        << kNamesWithoutEnd + "\r\r" + kConditions + kValues << same;
    QTest::newRow("a name line with 35 fields takes its 36th name from the next line")
        << kNames.left(kNames.lastIndexOf("C5|")) + "\r\n" + kConditions + options + kValues << Change([](Puzzle& p) {
               p.names[35] = "\r\nMaison";
               p.boxTexts = {};
               p.boxTexts[1] = "Correspond à";
               p.boxTexts[2] = "Couleur";
               p.boxTexts[3] = "C4";
           });
}

void TestPuzzleFile::oddLayoutsReadAsTheFormatReaderDoes() {
    QFETCH(QByteArray, file);
    QFETCH(Change, change);
    Puzzle expected = ExamplePuzzle();
    change(expected);

    ExpectPuzzle(korvane::ReadPuzzle(file), expected);
}

void TestPuzzleFile::damagedFilesAreRefused_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<FileError::Kind>("kind");
    QTest::addColumn<QString>("says");
    using Kind = FileError::Kind;
    const QByteArray example = Golden("example.e65");
    const QByteArray options = Bars(32);

    QTest::newRow("an empty file") << QByteArray() << Kind::TextLinesCutShort
                                   << QStringLiteral("« Catégorie 1 / Nom »");
    QTest::newRow("a file ending inside the name line")
        << example.left(100) << Kind::TextLinesCutShort << QStringLiteral("« Catégorie 2 / Choix 4 »");
    QTest::newRow("a file ending at the 36th bar")
        << kNamesWithoutEnd << Kind::TextLinesCutShort << QStringLiteral("ligne des conditions");
    QTest::newRow("a file ending inside the condition line")
        << example.left(200) << Kind::TextLinesCutShort << QStringLiteral("ligne des conditions");
    QTest::newRow("a file ending with the condition line's CR")
        << example.left(135 + 110) << Kind::TextLinesCutShort << QStringLiteral("ligne des options");
    QTest::newRow("a file ending inside the option line")
        << example.left(135 + 111 + 20) << Kind::TextLinesCutShort << QStringLiteral("ligne des options");
    QTest::newRow("a name without its bar within 254 bytes")
        << "Maison|" + QByteArray(254, 'x') + '|' + example.mid(14) << Kind::NameWithoutBar
        << QStringLiteral("« Catégorie 2 / Nom »");
    QTest::newRow("a condition line without an end within 10,000 bytes")
        << kNames + QByteArray(10'000, 'c') + "\r\n" + options + kValues << Kind::LineWithoutEnd
        << QStringLiteral("ligne des conditions");
    QTest::newRow("an option line without an end within 10,000 bytes")
        << kNames + kConditions + QByteArray(10'000, '|') + "\r\n" + kValues << Kind::LineWithoutEnd
        << QStringLiteral("ligne des options");
    QTest::newRow("text lines ended by LF alone leave no value block")
        << kNamesWithoutEnd + "\n\n" + kConditionFields + "\n\n" + Bars(32, "\n") + kValues.left(448)
        << Kind::NoValueBlock << QStringLiteral("0");
    QTest::newRow("a file ending right after its text lines")
        << example.left(280) << Kind::ValueBlockCutShort << QStringLiteral("octet 281");
    QTest::newRow("a value block one byte short")
        << example.left(727) << Kind::ValueBlockCutShort << QStringLiteral("448");
}

void TestPuzzleFile::damagedFilesAreRefused() {
    QFETCH(QByteArray, file);
    QFETCH(FileError::Kind, kind);
    QFETCH(QString, says);

    const auto error = ErrorOf(korvane::ReadPuzzle(file));
    QVERIFY2(error, "the damaged file was read");
    QCOMPARE(error->kind, kind);
    QVERIFY2(error->message.contains(says), qPrintable(error->message));
}

void TestPuzzleFile::unwritableTextsAreRefused_data() {
    QTest::addColumn<Change>("change");
    QTest::addColumn<FileError::Kind>("kind");
    QTest::addColumn<QString>("says");
    using Kind = FileError::Kind;

    QTest::newRow("a name holding a bar") << Change([](Puzzle& p) { p.name(3, 2) = "N|3"; }) << Kind::ReservedCharacter
                                          << QStringLiteral("« Catégorie 2 / Choix 3 »");
    QTest::newRow("a choice box holding a CR")
        << Change([](Puzzle& p) { p.boxTexts[16] = "a\rb"; }) << Kind::ReservedCharacter
        << QStringLiteral("ComboBox17 (condition 4, choix A)");
    QTest::newRow("a steps box holding an LF")
        << Change([](Puzzle& p) { p.boxTexts[80] = "1\n"; }) << Kind::ReservedCharacter
        << QStringLiteral("ComboBox81 (condition 1, nombre de crans)");
    QTest::newRow("an order box holding a character Windows-1252 lacks")
        << Change([](Puzzle& p) { p.boxTexts[111] = "✓"; }) << Kind::NotWindows1252
        << QStringLiteral(
               "ComboBox112 (condition 16, n° de la catégorie à utiliser) contient le caractère « ✓ » (U+2713)");
    QTest::newRow("a category name in Japanese")
        << Change([](Puzzle& p) { p.names[0] = "日本"; }) << Kind::NotWindows1252 << QStringLiteral("U+65E5");
    QTest::newRow("a leading byte order mark, which the converter would drop")
        << Change([](Puzzle& p) { p.names[0] = "\xEF\xBB\xBFMaison"; }) << Kind::NotWindows1252
        << QStringLiteral("U+FEFF");
    QTest::newRow("a relation holding U+0080, which has no byte")
        << Change([](Puzzle& p) { p.boxTexts[2] = "\u0080"; }) << Kind::NotWindows1252
        << QStringLiteral("ComboBox3 (condition 1, relation)");
    QTest::newRow("a character beyond the basic plane")
        << Change([](Puzzle& p) { p.boxTexts[0] = "a😀"; }) << Kind::NotWindows1252 << QStringLiteral("U+1F600");
    QTest::newRow("a name that is not UTF-8") << Change([](Puzzle& p) { p.names[6] = "M\xC3"; }) << Kind::NotUtf8
                                              << QStringLiteral("« Catégorie 1 / Choix 1 »");
    QTest::newRow("a name of 254 bytes") << Change([](Puzzle& p) { p.names[5] = std::string(254, 'n'); })
                                         << Kind::NameTooLong
                                         << QStringLiteral("« Catégorie 6 / Nom » occupe 254 octets");
    QTest::newRow("a name of 254 accented letters")
        << Change([](Puzzle& p) { p.names[5] = QString(254, u'ç').toStdString(); }) << Kind::NameTooLong
        << QStringLiteral("254 octets");
    QTest::newRow("a box text of 260 bytes") << Change([](Puzzle& p) { p.boxTexts[96] = std::string(260, 'b'); })
                                             << Kind::FieldTooLong << QStringLiteral("ComboBox97 (condition 1, n° de");
    QTest::newRow("a condition line of 10,000 bytes") << Change([](Puzzle& p) {
        for (int i = 0; i < 38; ++i)
            p.boxTexts[static_cast<std::size_t>(i)] = std::string(259, 'c');
        p.boxTexts[38] = std::string(10'000 - 80 - 38 * 259, 'c');
    }) << Kind::LineTooLong << QStringLiteral("ligne des conditions occuperait 10000 octets");
}

void TestPuzzleFile::unwritableTextsAreRefused() {
    QFETCH(Change, change);
    QFETCH(FileError::Kind, kind);
    QFETCH(QString, says);
    Puzzle puzzle = ExamplePuzzle();
    change(puzzle);

    const auto error = ErrorOf(korvane::WritePuzzle(puzzle));
    QVERIFY2(error, "the text was written");
    QCOMPARE(error->kind, kind);
    QVERIFY2(error->message.contains(says), qPrintable(error->message));
}

void TestPuzzleFile::savedFileLoadsBack() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("énigme.e65"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("an older, longer file that the save replaces whole" + QByteArray(2000, 'x'));
    old.close();

    const auto saved = korvane::SavePuzzleFile(path, ExamplePuzzle());
    QVERIFY2(!saved, saved ? qPrintable(saved->message) : "");
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), Golden("example.e65"));

    ExpectPuzzle(korvane::LoadPuzzleFile(path), ExamplePuzzle());
}

void TestPuzzleFile::loadErrorsNameTheFile_data() {
    QTest::addColumn<QByteArray>("content"); // null: no file at all
    QTest::addColumn<FileError::Kind>("kind");
    QTest::addColumn<bool>("cannotImport"); // the message starts as the load command's own
    QTest::newRow("a missing file") << QByteArray() << FileError::Kind::OpenFailed << true;
    QTest::newRow("a file cut inside its names")
        << Golden("example.e65").left(50) << FileError::Kind::TextLinesCutShort << false;
    QTest::newRow("a file holding only its names") << kNames << FileError::Kind::TextLinesCutShort << false;
}

void TestPuzzleFile::loadErrorsNameTheFile() {
    QFETCH(QByteArray, content);
    QFETCH(FileError::Kind, kind);
    QFETCH(bool, cannotImport);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("puzzle.e65"));
    if (!content.isNull()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    const auto error = ErrorOf(korvane::LoadPuzzleFile(path));
    QVERIFY2(error, "the file was loaded");
    QCOMPARE(error->kind, kind);
    QVERIFY2(error->message.contains(QDir::toNativeSeparators(path)), qPrintable(error->message));
    QCOMPARE(error->message.startsWith(QStringLiteral("Impossible de lire le fichier à importer\n")), cannotImport);
}

void TestPuzzleFile::anEndlessFileIsNotReadToItsEnd() {
    const auto error = ErrorOf(korvane::LoadPuzzleFile(QStringLiteral("/dev/zero")));
    QVERIFY2(error, "an endless file was loaded");
    QCOMPARE(error->kind, FileError::Kind::FileTooLarge);
}

void TestPuzzleFile::saveIntoAPathUnderARegularFileFails() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile notAFolder(dir.filePath(QStringLiteral("file")));
    QVERIFY(notAFolder.open(QIODevice::WriteOnly));
    notAFolder.close();
    const QString path = dir.filePath(QStringLiteral("file/puzzle.e65"));

    const auto saved = korvane::SavePuzzleFile(path, ExamplePuzzle());
    QVERIFY(saved);
    QCOMPARE(saved->kind, FileError::Kind::WriteFailed);
    QVERIFY2(saved->message.contains(QDir::toNativeSeparators(path)), qPrintable(saved->message));
}

void TestPuzzleFile::failedSaveKeepsTheExistingFile_data() {
    QTest::addColumn<bool>("fileFull"); // else the puzzle holds a text the writer refuses
    QTest::newRow("a text the file cannot hold") << false;
    QTest::newRow("a disk that takes no more than 100 bytes") << true;
}

void TestPuzzleFile::failedSaveKeepsTheExistingFile() {
    QFETCH(bool, fileFull);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("puzzle.e65"));
    const QByteArray onDisk = Golden("empty.e65");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(onDisk);
    file.close();

    Puzzle puzzle = ExamplePuzzle();
    std::optional<FileError> saved;
    if (fileFull) {
        // Files may grow to 100 bytes only; going past fails the write (EFBIG) instead of raising SIGXFSZ.
        // This holds for root too, unlike a read-only folder.
        rlimit before{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &before), 0);
        rlimit small = before;
        small.rlim_cur = 100;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        saved = korvane::SavePuzzleFile(path, puzzle);
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(saved);
        QCOMPARE(saved->kind, FileError::Kind::WriteFailed);
        QVERIFY2(saved->message.contains(QDir::toNativeSeparators(path)), qPrintable(saved->message));
    } else {
        puzzle.boxTexts[40] = "a|b";
        saved = korvane::SavePuzzleFile(path, puzzle);
        QVERIFY(saved);
        QCOMPARE(saved->kind, FileError::Kind::ReservedCharacter);
    }

    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), onDisk);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("puzzle.e65")});
}

QTEST_GUILESS_MAIN(TestPuzzleFile)
#include "test_puzzle_file.moc"
