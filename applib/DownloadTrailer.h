#pragma once

#include <QByteArray>
#include <QString>

namespace applib {

// The record an interrupted download leaves right after the last payload byte, so that a
// later call can resume: the local file is then the payload followed by the trailer. Before
// its fields are filled every trailer byte is the character '0'.
//
// Shell form, 40 bytes:
//   0..24  "MyFileDownLoadInfo" in ASCII with its NUL (19 bytes), then '0' up to byte 24
//   25..34 the resume key in the local 8-bit encoding with its NUL, then '0' fill
//   35     '0'
//   36..39 the payload length (low 32 bits), little-endian
// Updater form, 44 bytes:
//   0..37  "MyFileDownLoadInfo" in UTF-16LE with its NUL (19 code units)
//   38..39 '0' '0'
//   40..43 the payload length (low 32 bits), little-endian
//
// The payload length is written but never read back: a resume starts at the file length
// minus the trailer size.
class DownloadTrailer
{
public:
    enum class Form { Shell, Updater };

    static constexpr int kShellSize = 40;
    static constexpr int kUpdaterSize = 44;
    // The key field holds this many bytes plus the NUL.
    static constexpr int kMaxKeyBytes = 9;

    static DownloadTrailer shell(const QString& resumeKey);
    static DownloadTrailer updater();

    Form form() const { return m_form; }
    int size() const { return m_form == Form::Shell ? kShellSize : kUpdaterSize; }
    // False for a shell-form key longer than kMaxKeyBytes: the key field cannot hold it, and a
    // cut-off key could match a different version's partial file. Such a download writes no
    // trailer and never resumes.
    bool canResume() const { return m_keyFits; }

    // The trailer bytes for a payload of `received` bytes.
    QByteArray bytes(qint64 received) const;
    // True when `tail` (the last size() bytes of a file) is a trailer of this form, and in the
    // shell form carries this key. Marker and key compare as NUL-terminated texts.
    bool matches(const QByteArray& tail) const;

private:
    DownloadTrailer(Form form, QByteArray key, bool keyFits);

    Form m_form;
    QByteArray m_key;
    bool m_keyFits;
};

} // namespace applib
