#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringView>
#include <optional>
#include <vector>

// cp932 through lookup tables: ICU converts a few hundred megabytes a second, which made
// reading and saving a large note set slow; a table lookup is many times faster. The tables
// hold nothing of their own: each entry is ICU's answer for that one character, asked the first
// time the character turns up. Text that is not plain cp932 in either direction is left to ICU
// and the UTF-8 fallback, so every result equals what ICU alone gives, but for one addition:
// seven characters that ICU cannot encode are written as their Windows look-alikes (U+301C
// WAVE DASH as U+FF5E, 81 60), as Windows converters do.
// One set of tables per thread.
class Cp932Tables final
{
public:
    static Cp932Tables &forThisThread();

    // The text, when every byte sequence is a cp932 character; nothing when some sequence is
    // invalid, unmapped or cut off (ICU then decides what those bytes become). `alike` tells
    // whether encode() gives these very bytes back: some characters have two byte sequences.
    std::optional<QString> decode(QByteArrayView bytes, bool *alike = nullptr);
    // Whether decode() gives a text for these bytes; without making it.
    bool decodes(QByteArrayView bytes);
    // How many of the bytes the first `chars` characters take, for bytes that decode().
    static qsizetype bytesOfChars(QByteArrayView bytes, qsizetype chars);
    // The bytes, when every character has cp932 bytes that decode back to it; nothing otherwise.
    std::optional<QByteArray> encode(QStringView text);

private:
    Cp932Tables();

    // Table entries: 0 not asked yet, Invalid, or Known plus the value. Decoding entries also
    // carry RoundTrip when encoding the character gives the same bytes back.
    static constexpr quint32 Invalid = 1;
    static constexpr quint32 Known = 0x80000000;
    static constexpr quint32 RoundTrip = 0x40000000;

    // Calls `sink` with the table entry of each character; gives the entries and-ed together,
    // Invalid where the last character is cut off.
    template<typename Sink>
    quint32 lookUp(QByteArrayView bytes, Sink sink);
    quint32 singleByte(uchar byte);
    quint32 byteDuo(uchar lead, uchar trail);
    quint32 character(char16_t c);
    quint32 ownBytes(char16_t c);
    quint32 decoded(QByteArrayView bytes);
    void startAfresh();

    std::optional<QStringDecoder> m_decoder;
    std::optional<QStringEncoder> m_encoder;
    std::vector<quint32> m_singles; // byte -> Known | RoundTrip | UTF-16 unit
    std::vector<quint32> m_duos; // lead row * 256 + trail -> Known | RoundTrip | UTF-16 unit
    std::vector<quint32> m_chars; // UTF-16 unit -> Known | length << 16 | bytes
};
