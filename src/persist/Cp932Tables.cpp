#include "persist/Cp932Tables.h"

#include <algorithm>

namespace {

constexpr char Cp932Name[] = "windows-31j";
constexpr auto Flags
    = QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;

// Shift_JIS lead bytes; a byte that ICU reads otherwise gets an answer that is not one
// character, and the text goes to ICU.
bool isLeadByte(uchar byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// The 60 lead bytes numbered from 0, for a compact table that stays in the cache.
size_t duoIndex(uchar lead, uchar trail)
{
    return size_t(lead < 0xE0 ? lead - 0x81 : lead - 0xE0 + 0x1F) << 8 | trail;
}

constexpr size_t DuoCount = 60 * 256;

// What Linux input methods give where Windows gives the look-alike that cp932 holds; Windows
// converters write these as the look-alike's bytes, ICU has no bytes for them.
char16_t windowsTwin(char16_t c)
{
    switch (c) {
    case u'\u301C': // WAVE DASH
        return u'\uFF5E'; // FULLWIDTH TILDE, 81 60
    case u'\u2212': // MINUS SIGN
        return u'\uFF0D'; // FULLWIDTH HYPHEN-MINUS, 81 7C
    case u'\u2016': // DOUBLE VERTICAL LINE
        return u'\u2225'; // PARALLEL TO, 81 61
    case u'\u2014': // EM DASH
        return u'\u2015'; // HORIZONTAL BAR, 81 5C
    case u'\u00A2': // CENT SIGN
        return u'\uFFE0'; // 81 91
    case u'\u00A3': // POUND SIGN
        return u'\uFFE1'; // 81 92
    case u'\u00AC': // NOT SIGN
        return u'\uFFE2'; // 81 CA
    default:
        return 0;
    }
}

} // namespace

Cp932Tables &Cp932Tables::forThisThread()
{
    thread_local Cp932Tables tables;
    return tables;
}

Cp932Tables::Cp932Tables()
    : m_decoder(std::in_place, Cp932Name, Flags)
    , m_encoder(std::in_place, Cp932Name, Flags)
    , m_singles(0x100, 0)
    , m_duos(DuoCount, 0)
    , m_chars(0x10000, 0)
{ }

template<typename Sink>
quint32 Cp932Tables::lookUp(QByteArrayView bytes, Sink sink)
{
    const auto *in = reinterpret_cast<const uchar *>(bytes.data());
    const qsizetype size = bytes.size();
    quint32 all = Known | RoundTrip;
    for (qsizetype i = 0; i < size; ++i) {
        const uchar byte = in[i];
        quint32 entry;
        if (isLeadByte(byte)) {
            if (i + 1 == size)
                return Invalid;
            const uchar trail = in[++i];
            entry = m_duos[duoIndex(byte, trail)];
            if (!entry)
                entry = byteDuo(byte, trail);
        } else {
            entry = m_singles[byte];
            if (!entry)
                entry = singleByte(byte);
        }
        all &= entry;
        sink(entry);
    }
    return all;
}

std::optional<QString> Cp932Tables::decode(QByteArrayView bytes, bool *alike)
{
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    qsizetype written = 0;
    const quint32 all = lookUp(bytes, [&](quint32 entry) { out[written++] = char16_t(entry); });
    if (!(all & Known))
        return std::nullopt;
    if (alike)
        *alike = all & RoundTrip;
    // Texts may be kept for the whole run: no room for the bytes that two-byte characters took.
    text.truncate(written);
    text.squeeze();
    return text;
}

bool Cp932Tables::decodes(QByteArrayView bytes)
{
    return lookUp(bytes, [](quint32) {}) & Known;
}

qsizetype Cp932Tables::bytesOfChars(QByteArrayView bytes, qsizetype chars)
{
    qsizetype i = 0;
    for (; chars > 0 && i < bytes.size(); --chars)
        i += isLeadByte(uchar(bytes[i])) ? 2 : 1;
    return std::min(i, bytes.size());
}

std::optional<QByteArray> Cp932Tables::encode(QStringView text)
{
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    char *out = bytes.data();
    qsizetype written = 0;
    for (const QChar c : text) {
        quint32 entry = m_chars[c.unicode()];
        if (!entry)
            entry = character(c.unicode());
        if (!(entry & Known))
            return std::nullopt;
        if ((entry >> 16 & 0xFF) == 2)
            out[written++] = char(entry >> 8 & 0xFF);
        out[written++] = char(entry & 0xFF);
    }
    bytes.truncate(written);
    return bytes;
}

quint32 Cp932Tables::singleByte(uchar byte)
{
    quint32 &entry = m_singles[byte];
    if (!entry) {
        const char one = char(byte);
        entry = decoded(QByteArrayView(&one, 1));
        if ((entry & Known) && character(char16_t(entry)) == (Known | quint32(1) << 16 | byte))
            entry |= RoundTrip;
    }
    return entry;
}

quint32 Cp932Tables::byteDuo(uchar lead, uchar trail)
{
    quint32 &entry = m_duos[duoIndex(lead, trail)];
    if (!entry) {
        const char two[] = {char(lead), char(trail)};
        entry = decoded(QByteArrayView(two, 2));
        const quint32 bytes = quint32(2) << 16 | quint32(lead) << 8 | trail;
        if ((entry & Known) && character(char16_t(entry)) == (Known | bytes))
            entry |= RoundTrip;
    }
    return entry;
}

void Cp932Tables::startAfresh()
{
    // resetState() keeps the error count of ICU converters, so a converter that has seen an
    // error would report one for every later character: such a converter is made anew, in
    // place (a moved ICU converter no longer counts its errors).
    if (m_decoder->hasError())
        m_decoder.emplace(Cp932Name, Flags);
    if (m_encoder->hasError())
        m_encoder.emplace(Cp932Name, Flags);
    m_decoder->resetState();
    m_encoder->resetState();
}

quint32 Cp932Tables::decoded(QByteArrayView bytes)
{
    if (!m_decoder->isValid())
        return Invalid;
    startAfresh();
    const QString text = (*m_decoder)(bytes);
    if (m_decoder->hasError() || text.size() != 1 || text.front() == QChar::ReplacementCharacter)
        return Invalid;
    return Known | text.front().unicode();
}

quint32 Cp932Tables::character(char16_t c)
{
    quint32 &entry = m_chars[c];
    if (entry)
        return entry;
    entry = ownBytes(c);
    if (entry == Invalid) {
        if (const char16_t twin = windowsTwin(c))
            entry = character(twin);
    }
    return entry;
}

quint32 Cp932Tables::ownBytes(char16_t c)
{
    if (!m_encoder->isValid() || !m_decoder->isValid())
        return Invalid;
    startAfresh();
    const QByteArray bytes = (*m_encoder)(QStringView(&c, 1));
    if (m_encoder->hasError() || bytes.isEmpty() || bytes.size() > 2)
        return Invalid;
    // Only bytes that read back as the same character: ICU also maps some characters to
    // look-alikes or drops them without reporting an error.
    const QString back = (*m_decoder)(bytes);
    if (m_decoder->hasError() || back.size() != 1 || back.front().unicode() != c)
        return Invalid;
    const auto *b = reinterpret_cast<const uchar *>(bytes.constData());
    return Known | quint32(bytes.size()) << 16
        | (bytes.size() == 2 ? quint32(b[0]) << 8 | b[1] : b[0]);
}
