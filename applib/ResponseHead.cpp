#include "applib/ResponseHead.h"

#include <QByteArray>

namespace applib {

namespace {

// A decimal number that fills the whole text; -1 otherwise.
qint64 toCount(const QByteArray& text)
{
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    return ok && value >= 0 ? value : -1;
}

} // namespace

void ResponseHead::reset()
{
    m_status = 0;
    m_contentLength = -1;
    m_rangeStart = -1;
    m_rangeTotal = -1;
    m_hasLocation = false;
}

bool ResponseHead::feed(const char* line, std::size_t length)
{
    const QByteArray text = QByteArray(line, static_cast<qsizetype>(length)).trimmed();
    if (text.isEmpty()) {
        if (m_status >= 100 && m_status < 200)
            return false;
        // libcurl follows a redirect that names a Location; any other answer is final.
        if (m_status >= 300 && m_status < 400 && m_hasLocation)
            return false;
        return true;
    }
    if (text.startsWith("HTTP/")) {
        reset();
        const int space = text.indexOf(' ');
        if (space > 0)
            m_status = text.mid(space + 1, 3).toLong();
        return false;
    }
    parseField(text.constData(), static_cast<std::size_t>(text.size()));
    return false;
}

void ResponseHead::parseField(const char* line, std::size_t length)
{
    const QByteArray text(line, static_cast<qsizetype>(length));
    const int colon = text.indexOf(':');
    if (colon <= 0)
        return;
    const QByteArray name = text.left(colon).trimmed().toLower();
    const QByteArray value = text.mid(colon + 1).trimmed();
    if (name == "content-length") {
        m_contentLength = toCount(value);
    } else if (name == "location") {
        m_hasLocation = !value.isEmpty();
    } else if (name == "content-range") {
        // "bytes A-B/T", "bytes */T" or "bytes A-B/*"
        if (!value.toLower().startsWith("bytes "))
            return;
        const QByteArray contentRange = value.mid(6).trimmed();
        const int slash = contentRange.indexOf('/');
        if (slash < 0)
            return;
        const QByteArray range = contentRange.left(slash);
        const QByteArray totalText = contentRange.mid(slash + 1);
        m_rangeTotal = totalText == "*" ? -1 : toCount(totalText);
        const int dash = range.indexOf('-');
        m_rangeStart = dash > 0 ? toCount(range.left(dash)) : -1;
    }
}

} // namespace applib
