#include "applib/DownloadTrailer.h"

namespace applib {

namespace {

constexpr char kMarker[] = "MyFileDownLoadInfo"; // 18 characters
constexpr int kMarkerLength = 18;

// Shell form field positions.
constexpr int kShellMarkerField = 25;
constexpr int kShellKeyOffset = 25;
constexpr int kShellKeyField = 10;
constexpr int kShellCountOffset = 36;
// Updater form field positions.
constexpr int kUpdaterMarkerField = 38;
constexpr int kUpdaterCountOffset = 40;

void putLittleEndian32(QByteArray& out, int offset, qint64 value)
{
    const auto low = static_cast<quint32>(value & 0xFFFFFFFF);
    for (int i = 0; i < 4; ++i)
        out[offset + i] = static_cast<char>((low >> (8 * i)) & 0xFF);
}

// The text of a NUL-terminated field: its bytes up to the first NUL, or all of them when the
// field holds none (such a text can never equal a shorter one).
QByteArray fieldText(const char* field, int fieldSize)
{
    int length = 0;
    while (length < fieldSize && field[length] != '\0')
        ++length;
    return QByteArray(field, length);
}

} // namespace

DownloadTrailer::DownloadTrailer(Form form, QByteArray key, bool keyFits)
    : m_form(form)
    , m_key(std::move(key))
    , m_keyFits(keyFits)
{
}

DownloadTrailer DownloadTrailer::shell(const QString& resumeKey)
{
    QByteArray key = resumeKey.toLocal8Bit();
    // A key with an embedded NUL could not be compared as a text either.
    const bool fits = key.size() <= kMaxKeyBytes && !key.contains('\0');
    return DownloadTrailer(Form::Shell, std::move(key), fits);
}

DownloadTrailer DownloadTrailer::updater()
{
    return DownloadTrailer(Form::Updater, QByteArray(), true);
}

QByteArray DownloadTrailer::bytes(qint64 received) const
{
    QByteArray out(size(), '0');
    if (m_form == Form::Shell) {
        for (int i = 0; i < kMarkerLength; ++i)
            out[i] = kMarker[i];
        out[kMarkerLength] = '\0';
        const int keyLength = static_cast<int>(qMin<qsizetype>(m_key.size(), kMaxKeyBytes));
        for (int i = 0; i < keyLength; ++i)
            out[kShellKeyOffset + i] = m_key[i];
        out[kShellKeyOffset + keyLength] = '\0';
        putLittleEndian32(out, kShellCountOffset, received);
    } else {
        for (int i = 0; i < kMarkerLength; ++i) {
            out[2 * i] = kMarker[i];
            out[2 * i + 1] = '\0';
        }
        out[2 * kMarkerLength] = '\0';
        out[2 * kMarkerLength + 1] = '\0';
        putLittleEndian32(out, kUpdaterCountOffset, received);
    }
    return out;
}

bool DownloadTrailer::matches(const QByteArray& tail) const
{
    if (tail.size() != size() || !m_keyFits)
        return false;
    const QByteArray marker(kMarker, kMarkerLength);
    if (m_form == Form::Shell) {
        return fieldText(tail.constData(), kShellMarkerField) == marker
            && fieldText(tail.constData() + kShellKeyOffset, kShellKeyField) == m_key;
    }
    // UTF-16LE code units up to the first NUL unit.
    QByteArray text;
    for (int i = 0; i + 1 < kUpdaterMarkerField; i += 2) {
        const char low = tail[i];
        const char high = tail[i + 1];
        if (low == '\0' && high == '\0')
            break;
        if (high != '\0')
            return false; // not an ASCII code unit, so not the marker
        text.append(low);
    }
    return text == marker;
}

} // namespace applib
