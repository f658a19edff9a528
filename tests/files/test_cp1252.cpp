// The Windows-1252 table and the UTF-8 walk against the system's converters (ICU through Qt), which the
// files were read and written with before: every byte, every character of the first plane, and seeded
// random byte strings for UTF-8 validity.
#include <QRandomGenerator>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QtTest>

#include "files/cp1252.h"

using namespace korvane;

namespace {

// What the system's converter makes of one character: its byte, or nothing when the character does not
// come back from that byte unchanged.
std::optional<unsigned char> SystemByte(char32_t c) {
    QStringEncoder toFile("windows-1252", QStringEncoder::Flag::Stateless);
    QStringDecoder fromFile("windows-1252", QStringDecoder::Flag::Stateless);
    const QString text = QString::fromUcs4(&c, 1);
    const QByteArray bytes = toFile.encode(text);
    if (toFile.hasError() || bytes.size() != 1 || QString(fromFile.decode(bytes)) != text) return std::nullopt;
    return static_cast<unsigned char>(bytes[0]);
}

} // namespace

class TestCp1252 : public QObject {
    Q_OBJECT

private slots:
    void everyByteReadsAsTheSystemReadsIt() {
        QStringDecoder fromFile("windows-1252", QStringDecoder::Flag::Stateless);
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            const QString system = fromFile.decode(QByteArrayView(&byte, 1));
            QCOMPARE(system.size(), 1);
            QCOMPARE(static_cast<uint>(Cp1252Character(static_cast<unsigned char>(b))), uint(system.at(0).unicode()));
            QCOMPARE(QString::fromStdString(Cp1252ToUtf8(std::string(1, byte))), system);
        }
    }

    void everyCharacterOfTheFirstPlaneHasTheSystemsByte() {
        for (char32_t c = 0; c < 0x10000; ++c) {
            if (c >= 0xD800 && c <= 0xDFFF) continue;
            const auto ours = Cp1252Byte(c);
            if (ours != SystemByte(c)) QFAIL(qPrintable(QStringLiteral("U+%1").arg(uint(c), 4, 16, QLatin1Char('0'))));
        }
        for (const char32_t beyond : {0x10000u, 0x1F600u, 0x10FFFFu})
            QCOMPARE(Cp1252Byte(beyond), std::nullopt);
    }

    void utf8IsWalkedAsTheSystemDecodesIt_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("a lone lead byte") << QByteArray("M\xC3");
        QTest::newRow("an overlong NUL") << QByteArray("\xC0\x80");
        QTest::newRow("an overlong slash in three bytes") << QByteArray("\xE0\x80\xAF");
        QTest::newRow("a surrogate") << QByteArray("\xED\xA0\x80");
        QTest::newRow("past U+10FFFF") << QByteArray("\xF4\x90\x80\x80");
        QTest::newRow("a noncharacter is still UTF-8") << QByteArray("\xEF\xBF\xBE");
        QTest::newRow("a leading byte order mark") << QByteArray("\xEF\xBB\xBFx");
        QTest::newRow("four bytes") << QByteArray("a\xF0\x9F\x98\x80");
        QTest::newRow("a stray continuation byte") << QByteArray("\x80");

        // Seeded random strings over the bytes that matter: ASCII, continuations and every lead byte.
        // KORVANE_SEED=N replays a run.
        const quint32 seed = qEnvironmentVariableIsSet("KORVANE_SEED")
                                 ? qEnvironmentVariable("KORVANE_SEED").toUInt()
                                 : QRandomGenerator::system()->generate();
        qInfo("random UTF-8 cases: seed %u (replay with KORVANE_SEED=%u)", seed, seed);
        QRandomGenerator random(seed);
        static const char pool[] = "a\x80\x8F\x9F\xA0\xBF\xC0\xC2\xDF\xE0\xED\xEF\xF0\xF4\xF5\xFF";
        for (int i = 0; i < 400; ++i) {
            QByteArray bytes;
            for (int n = random.bounded(1, 7); n > 0; --n)
                bytes += pool[random.bounded(int(sizeof pool) - 1)];
            QTest::addRow("random %d (seed %u)", i, seed) << bytes;
        }
    }
    void utf8IsWalkedAsTheSystemDecodesIt() {
        QFETCH(QByteArray, bytes);
        QStringDecoder system(QStringDecoder::Utf8,
                              QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        const QString decoded = system.decode(bytes);
        const std::string_view text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        QCOMPARE(IsUtf8(text), !system.hasError());
        if (system.hasError()) return;

        // Walking and rebuilding gives back the same characters and the same bytes.
        std::string rebuilt;
        QList<uint> characters;
        for (std::size_t pos = 0; pos < text.size();) {
            const char32_t c = *NextUtf8(text, pos);
            characters << uint(c);
            AppendUtf8(rebuilt, c);
        }
        QCOMPARE(characters, decoded.toUcs4());
        QCOMPARE(QByteArray::fromStdString(rebuilt), bytes);
    }
};

QTEST_GUILESS_MAIN(TestCp1252)
#include "test_cp1252.moc"
