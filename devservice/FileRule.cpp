#include "devservice/FileRule.h"

#include <json/json.h>

#include <memory>

namespace devservice {

namespace {

bool readInt(const Json::Value& object, const char* name, std::int64_t* out, std::string* error)
{
    if (!object.isMember(name))
        return true;
    const Json::Value& value = object[name];
    if (!value.isIntegral()) {
        *error = std::string(name) + " must be an integer";
        return false;
    }
    *out = value.asInt64();
    return true;
}

bool readSeconds(const Json::Value& object, const char* name, double* out, std::string* error)
{
    if (!object.isMember(name))
        return true;
    const Json::Value& value = object[name];
    if (!value.isNumeric() || value.asDouble() < 0) {
        *error = std::string(name) + " must be a number of seconds";
        return false;
    }
    *out = value.asDouble();
    return true;
}

bool readBool(const Json::Value& object, const char* name, bool* out, std::string* error)
{
    if (!object.isMember(name))
        return true;
    const Json::Value& value = object[name];
    if (!value.isBool()) {
        *error = std::string(name) + " must be true or false";
        return false;
    }
    *out = value.asBool();
    return true;
}

} // namespace

bool FileRule::fromJson(const std::string& text, std::string* path, FileRule* rule, std::string* error)
{
    Json::Value object;
    Json::CharReaderBuilder builder;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    std::string parseError;
    if (!reader->parse(text.data(), text.data() + text.size(), &object, &parseError) || !object.isObject()) {
        *error = "the body must be a JSON object";
        return false;
    }
    if (!object["path"].isString() || object["path"].asString().empty()) {
        *error = "path must be a non-empty string";
        return false;
    }
    *path = object["path"].asString();

    FileRule read;
    std::int64_t status = 0;
    std::int64_t uses = 0;
    if (!readInt(object, "throttle", &read.throttle, error) || !readInt(object, "stallAfter", &read.stallAfter, error)
        || !readSeconds(object, "stallSeconds", &read.stallSeconds, error)
        || !readInt(object, "dropAfter", &read.dropAfter, error)
        || !readSeconds(object, "delayHeaders", &read.delayHeaders, error) || !readInt(object, "status", &status, error)
        || !readBool(object, "ignoreRange", &read.ignoreRange, error)
        || !readBool(object, "noContentLength", &read.noContentLength, error)
        || !readBool(object, "noContentLengthForRange", &read.noContentLengthForRange, error)
        || !readInt(object, "rangeLimit", &read.rangeLimit, error) || !readInt(object, "uses", &uses, error))
        return false;
    if (status != 0 && (status < 100 || status > 599)) {
        *error = "status must be an HTTP status";
        return false;
    }
    if (object.isMember("redirectTo")) {
        if (!object["redirectTo"].isString()) {
            *error = "redirectTo must be a string";
            return false;
        }
        read.redirectTo = object["redirectTo"].asString();
    }
    if (read.throttle < 0 || read.rangeLimit < 0 || uses < 0) {
        *error = "throttle, rangeLimit and uses must not be negative";
        return false;
    }
    read.status = static_cast<int>(status);
    read.uses = static_cast<int>(uses);
    *rule = read;
    return true;
}

} // namespace devservice
