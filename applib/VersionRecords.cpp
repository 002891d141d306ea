#include "applib/VersionRecords.h"

#include <QFile>

#include <json/json.h>

#include <memory>

namespace applib {

QString VersionRecords::installedVersionsTextOf(const QByteArray& recordFile)
{
    Json::Value root;
    Json::CharReaderBuilder builder;
    std::string errors;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    const bool parsed =
        reader->parse(recordFile.constData(), recordFile.constData() + recordFile.size(), &root, &errors);
    if (!parsed || !root.isObject() || !root["SoftVersionList"].isArray() || root["SoftVersionList"].empty())
        return QStringLiteral("null\n");
    Json::Value copy(Json::arrayValue);
    for (const Json::Value& entry : root["SoftVersionList"])
        copy.append(entry);
    Json::StreamWriterBuilder writer;
    writer["indentation"] = "   ";
    return QString::fromStdString(Json::writeString(writer, copy) + '\n');
}

QString VersionRecords::installedVersionsText(const QString& exeDir)
{
    QFile file(exeDir + QStringLiteral("/DownLoadAppInfo.json"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("null\n");
    return installedVersionsTextOf(file.readAll());
}

} // namespace applib
