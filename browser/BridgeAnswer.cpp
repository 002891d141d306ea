#include "browser/BridgeAnswer.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace browser {

QString BridgeAnswer::toTagged() const
{
    QJsonObject o;
    switch (kind) {
    case Kind::Undefined:
        o.insert(QLatin1String("t"), QLatin1String("u"));
        break;
    case Kind::String:
        o.insert(QLatin1String("t"), QLatin1String("s"));
        o.insert(QLatin1String("v"), text);
        break;
    case Kind::Integer:
        o.insert(QLatin1String("t"), QLatin1String("i"));
        o.insert(QLatin1String("v"), integer);
        break;
    }
    return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

} // namespace browser
