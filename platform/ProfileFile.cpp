#include "platform/ProfileFile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

namespace platform {

namespace {

// "[name]" -> name (trimmed); otherwise a null string.
QString sectionName(const QString& line)
{
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(QLatin1Char('[')))
        return {};
    const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
    if (close < 0)
        return {};
    return trimmed.mid(1, close - 1).trimmed();
}

// "key = value" -> key, value (both trimmed); false for lines without '='.
bool splitEntry(const QString& line, QString* key, QString* value)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return false;
    *key = line.left(eq).trimmed();
    *value = line.mid(eq + 1).trimmed();
    return !key->isEmpty();
}

QString unquote(const QString& value)
{
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == QLatin1Char('"') || first == QLatin1Char('\'')) && value.back() == first)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QStringList splitLines(const QString& text)
{
    QString normalised = text;
    normalised.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = normalised.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

QString ProfileFile::readFromText(const QString& text, const QString& section, const QString& key,
                                  const QString& defaultValue)
{
    bool inSection = false;
    const QStringList lines = splitLines(text);
    for (const QString& line : lines) {
        const QString name = sectionName(line);
        if (!name.isNull()) {
            inSection = sameName(name, section);
            continue;
        }
        if (!inSection)
            continue;
        QString k, v;
        if (splitEntry(line, &k, &v) && sameName(k, key))
            return unquote(v).left(kMaxValueLength);
    }
    return defaultValue.left(kMaxValueLength);
}

QString ProfileFile::writeToText(const QString& text, const QString& section, const QString& key,
                                 const QString& value)
{
    QStringList lines = splitLines(text);
    const QString entry = key + QLatin1Char('=') + value;
    int sectionStart = -1;
    int lastEntryOfSection = -1;
    for (int i = 0; i < lines.size(); ++i) {
        const QString name = sectionName(lines.at(i));
        if (!name.isNull()) {
            if (sectionStart >= 0)
                break; // left the section without finding the key
            if (sameName(name, section)) {
                sectionStart = i;
                lastEntryOfSection = i;
            }
            continue;
        }
        if (sectionStart < 0)
            continue;
        QString k, v;
        if (splitEntry(lines.at(i), &k, &v) && sameName(k, key)) {
            lines[i] = entry;
            return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
        }
        if (!lines.at(i).trimmed().isEmpty())
            lastEntryOfSection = i;
    }
    if (sectionStart >= 0) {
        lines.insert(lastEntryOfSection + 1, entry);
    } else {
        lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        lines.append(entry);
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString ProfileFile::read(const QString& path, const QString& section, const QString& key,
                          const QString& defaultValue)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return defaultValue.left(kMaxValueLength);
    return readFromText(QString::fromUtf8(file.readAll()), section, key, defaultValue);
}

bool ProfileFile::write(const QString& path, const QString& section, const QString& key, const QString& value)
{
    QString text;
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly))
        text = QString::fromUtf8(existing.readAll());
    existing.close();

    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write(writeToText(text, section, key, value).toUtf8());
    return out.commit();
}

} // namespace platform
