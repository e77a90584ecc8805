#include "ReferenceReading.h"
#include "persist/NoteCodec.h"

#include <QRandomGenerator>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_NoteCodec final : public QObject
{
    Q_OBJECT

private slots:
    void encode_textInCp932_isCp932_data();
    void encode_textInCp932_isCp932();
    void decode_cp932Bytes_writtenBackUnchanged_data();
    void decode_cp932Bytes_writtenBackUnchanged();
    void encode_textOutsideCp932_isUtf8WithBom_data();
    void encode_textOutsideCp932_isUtf8WithBom();
    void decode_bomInsideUtf8Text_stays();
    void encode_linuxInputCharacters_asWindowsLookAlikes_data();
    void encode_linuxInputCharacters_asWindowsLookAlikes();
    void decode_utf8ThatIsNotCp932_readAsUtf8_data();
    void decode_utf8ThatIsNotCp932_readAsUtf8();
    void encode_utf8_withoutBomWhereItReadsBack_data();
    void encode_utf8_withoutBomWhereItReadsBack();
    void decode_everyByteAndBytePair_asIcu();
    void decode_randomBytes_asIcu();
    void encode_everyUtf16Unit_asIcu();
    void encode_randomText_asIcu();
    void splitNoteLines_crLfOrLoneCr_data();
    void splitNoteLines_crLfOrLoneCr();
    void readNoteFile_readsAndDecodes();
    void readNoteFile_missing_givesSystemReason();
};

void tst_NoteCodec::encode_textInCp932_isCp932_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QString() << QByteArray();
    QTest::newRow("ascii") << u"abc 123"_s << QByteArray("abc 123");
    QTest::newRow("backslash and tilde stay ASCII") << u"\\~"_s << QByteArray("\x5C\x7E");
    QTest::newRow("wave dash 81 60") << u"～"_s << QByteArray::fromHex("8160");
    QTest::newRow("circled one 87 40") << u"①"_s << QByteArray::fromHex("8740");
    QTest::newRow("taka 髙 FB FC") << u"髙"_s << QByteArray::fromHex("fbfc");
    QTest::newRow("kanji and kana") << u"買い物"_s << QByteArray::fromHex("948382a295a8");
    QTest::newRow("half-width katakana") << u"ｱｲｳ"_s << QByteArray::fromHex("b1b2b3");
    QTest::newRow("full-width ideographic space") << u"\u3000"_s << QByteArray::fromHex("8140");
    QTest::newRow("line ends") << u"a\r\nb\rc\nd"_s << QByteArray("a\r\nb\rc\nd");
}

void tst_NoteCodec::encode_textInCp932_isCp932()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(encodeNoteText(text).toHex(' '), bytes.toHex(' '));
    QCOMPARE(decodeNoteText(bytes), text);
}

void tst_NoteCodec::decode_cp932Bytes_writtenBackUnchanged_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("81 60, 87 40, FB FC") << QByteArray::fromHex("8160 8740 fbfc");
    QTest::newRow("NEC row 13 and IBM extensions")
        << QByteArray::fromHex("8754 875f 8780 8782 fa40 fa55 fb40 fc4b");
    QTest::newRow("an entry file")
        << QByteArray::fromHex("948382a295a8 0d0a 8b8d93fb 0d0a 8370 8393 0d0a");
}

void tst_NoteCodec::decode_cp932Bytes_writtenBackUnchanged()
{
    QFETCH(QByteArray, bytes);
    const QString text = decodeNoteText(bytes);
    QVERIFY(!text.contains(QChar::ReplacementCharacter));
    QCOMPARE(encodeNoteText(text).toHex(' '), bytes.toHex(' '));
}

void tst_NoteCodec::encode_textOutsideCp932_isUtf8WithBom_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("emoji") << u"😀"_s;
    QTest::newRow("accented Latin") << u"é"_s;
    QTest::newRow("mixed with cp932 text") << u"買い物 😀 ～ é"_s;
    QTest::newRow("yen sign") << u"¥100"_s;
    QTest::newRow("rare kanji") << u"𠮷野家"_s;
    // ICU drops these silently instead of reporting an error; the round-trip check catches it.
    QTest::newRow("zero-width space") << u"a\u200Bb"_s;
    QTest::newRow("leading U+FEFF") << u"\uFEFFx"_s;
    QTest::newRow("variation selector") << u"葛\U000E0100"_s;
}

void tst_NoteCodec::encode_textOutsideCp932_isUtf8WithBom()
{
    QFETCH(QString, text);
    const QByteArray bytes = encodeNoteText(text);
    QCOMPARE(bytes.toHex(' '), (QByteArray("\xEF\xBB\xBF") + text.toUtf8()).toHex(' '));
    QCOMPARE(decodeNoteText(bytes), text);
}

void tst_NoteCodec::decode_bomInsideUtf8Text_stays()
{
    const QByteArray bytes("\xEF\xBB\xBF\xEF\xBB\xBFx");
    QCOMPARE(decodeNoteText(bytes), u"\uFEFFx"_s);
}

void tst_NoteCodec::encode_linuxInputCharacters_asWindowsLookAlikes_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("U+301C wave dash") << u"\u301C"_s << QByteArray::fromHex("8160");
    QTest::newRow("U+2212 minus") << u"\u2212"_s << QByteArray::fromHex("817c");
    QTest::newRow("U+2016 double vertical line") << u"\u2016"_s << QByteArray::fromHex("8161");
    QTest::newRow("U+2014 em dash") << u"\u2014"_s << QByteArray::fromHex("815c");
    QTest::newRow("U+00A2 cent") << u"\u00A2"_s << QByteArray::fromHex("8191");
    QTest::newRow("U+00A3 pound") << u"\u00A3"_s << QByteArray::fromHex("8192");
    QTest::newRow("U+00AC not") << u"\u00AC"_s << QByteArray::fromHex("81ca");
}

void tst_NoteCodec::encode_linuxInputCharacters_asWindowsLookAlikes()
{
    QFETCH(QString, typed);
    QFETCH(QByteArray, bytes);
    QCOMPARE(encodeNoteText(u"a"_s + typed + u"亜"_s).toHex(' '),
        (QByteArray("a") + bytes + "\x88\x9f").toHex(' '));
}

void tst_NoteCodec::decode_utf8ThatIsNotCp932_readAsUtf8_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("utf8");
    QTest::newRow("Japanese from a Linux editor")
        << u"買い物\r\n牛乳とパン\r\n"_s.toUtf8() << u"買い物\r\n牛乳とパン\r\n"_s << true;
    QTest::newRow("wave dash") << u"〜"_s.toUtf8() << u"〜"_s << true;
    QTest::newRow("valid cp932 too stays cp932") << QByteArray("\xc3\xa9") << u"ﾃｩ"_s << false;
    QTest::newRow("stray byte is cp932") << QByteArray("x\xffy") << u"x\x1ay"_s << false;
    QTest::newRow("neither, cp932 with replacements")
        << QByteArray("\x85\x40\xe3\x81\x82") << icuDecoded("\x85\x40\xe3\x81\x82") << false;
}

void tst_NoteCodec::decode_utf8ThatIsNotCp932_readAsUtf8()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(bool, utf8);
    const DecodedNote note = decodeNote(bytes);
    QCOMPARE(note.text, text);
    QCOMPARE(note.encoding == NoteEncoding::Utf8, utf8);
}

void tst_NoteCodec::encode_utf8_withoutBomWhereItReadsBack_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("Japanese") << u"買い物"_s << u"買い物"_s.toUtf8();
    QTest::newRow("Japanese whose bytes are cp932 too")
        << u"牛乳\r\n"_s << QByteArray("\xef\xbb\xbf") + u"牛乳\r\n"_s.toUtf8();
    QTest::newRow("ASCII") << u"abc"_s << QByteArray("abc");
    QTest::newRow("bytes that are cp932 too") << u"é"_s << QByteArray("\xef\xbb\xbf\xc3\xa9");
    QTest::newRow("leading U+FEFF") << u"\uFEFFx"_s << QByteArray("\xef\xbb\xbf\xef\xbb\xbfx");
}

void tst_NoteCodec::encode_utf8_withoutBomWhereItReadsBack()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(encodeNoteText(text, NoteEncoding::Utf8).toHex(' '), bytes.toHex(' '));
    QCOMPARE(decodeNoteText(bytes), text);
}

void tst_NoteCodec::decode_everyByteAndBytePair_asIcu()
{
    // Each byte and pair also between valid characters, and cut off at the end.
    for (int lead = 0; lead < 0x100; ++lead) {
        QByteArray row;
        for (int trail = 0; trail < 0x100; ++trail)
            row += "a" + QByteArray(1, char(lead)) + QByteArray(1, char(trail)) + "\x82\xa0";
        row += QByteArray(1, char(lead));
        QCOMPARE(decodeNoteText(row), icuDecoded(row));
        for (int trail = 0; trail < 0x100; ++trail) {
            const QByteArray pair = QByteArray(1, char(lead)) + char(trail);
            if (decodeNoteText(pair) != icuDecoded(pair))
                QFAIL(qPrintable(u"bytes "_s + QString::fromLatin1(pair.toHex(' '))));
        }
    }
}

void tst_NoteCodec::decode_randomBytes_asIcu()
{
    QRandomGenerator random(932);
    for (int round = 0; round < 2000; ++round) {
        QByteArray bytes(random.bounded(1, 40), Qt::Uninitialized);
        for (char &byte : bytes) {
            // Mostly lead bytes, so that pairs, cut-off pairs and bad trail bytes all occur.
            const int pick = random.bounded(4);
            byte = char(pick == 0 ? random.bounded(0x100)
                    : pick == 1   ? 0x81 + random.bounded(0x1F)
                                  : 0x40 + random.bounded(0xBD));
        }
        QCOMPARE(decodeNoteText(bytes).toUcs4(), icuDecoded(bytes).toUcs4());
    }
}

void tst_NoteCodec::encode_everyUtf16Unit_asIcu()
{
    for (uint unit = 0; unit < 0x10000; ++unit) {
        const QString text = u"a"_s + QChar(char16_t(unit)) + u"亜"_s;
        if (encodeNoteText(text) != icuEncoded(text))
            QFAIL(qPrintable(u"U+"_s + QString::number(unit, 16)));
    }
}

void tst_NoteCodec::encode_randomText_asIcu()
{
    QRandomGenerator random(31);
    for (int round = 0; round < 2000; ++round) {
        QString text;
        for (int i = random.bounded(1, 30); i > 0; --i) {
            const int pick = random.bounded(3);
            text += QChar(char16_t(pick == 0 ? random.bounded(0x10000)
                    : pick == 1              ? 0x3040 + random.bounded(0x60)
                                             : 0x4E00 + random.bounded(0x5200)));
        }
        QCOMPARE(encodeNoteText(text).toHex(' '), icuEncoded(text).toHex(' '));
    }
}

void tst_NoteCodec::splitNoteLines_crLfOrLoneCr_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty text has no lines") << QString() << QStringList();
    QTest::newRow("last line without end") << u"abc"_s << QStringList {u"abc"_s};
    QTest::newRow("last line with CR LF") << u"abc\r\n"_s << QStringList {u"abc"_s};
    QTest::newRow("CR LF") << u"a\r\nb"_s << QStringList {u"a"_s, u"b"_s};
    QTest::newRow("lone CR") << u"a\rb\r"_s << QStringList {u"a"_s, u"b"_s};
    QTest::newRow("lone LF stays in the line") << u"a\nb\r\n"_s << QStringList {u"a\nb"_s};
    QTest::newRow("LF CR") << u"a\n\rb"_s << QStringList {u"a\n"_s, u"b"_s};
    QTest::newRow("CR CR LF") << u"a\r\r\nb"_s << QStringList {u"a"_s, QString(), u"b"_s};
    QTest::newRow("one empty line") << u"\r\n"_s << QStringList {QString()};
    QTest::newRow("two empty lines") << u"\r\n\r\n"_s << QStringList {QString(), QString()};
}

void tst_NoteCodec::splitNoteLines_crLfOrLoneCr()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(::splitNoteLines(text), lines);
}

void tst_NoteCodec::readNoteFile_readsAndDecodes()
{
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    QFile file(dir.filePath(u"note.txt"_s));
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(file.errorString()));
    file.write(QByteArray::fromHex("8160 0d0a 8740"));
    file.close();
    QString text;
    QString error;
    QVERIFY2(readNoteFile(file.fileName(), text, error), qPrintable(error));
    QCOMPARE(text, u"～\r\n①"_s);
}

void tst_NoteCodec::readNoteFile_missing_givesSystemReason()
{
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    QString text;
    QString error;
    QVERIFY(!readNoteFile(dir.filePath(u"missing.txt"_s), text, error));
    QCOMPARE(error, qt_error_string(ENOENT));
}

QTEST_GUILESS_MAIN(tst_NoteCodec)
#include "tst_NoteCodec.moc"
