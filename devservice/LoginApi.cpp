#include "devservice/LoginApi.h"

#include "devservice/DevLog.h"
#include "devservice/SessionServer.h"

#include <httplib.h>
#include <json/json.h>

#include <fstream>
#include <memory>
#include <sstream>

namespace devservice {

namespace {

bool parseJson(const std::string& text, Json::Value* out)
{
    Json::CharReaderBuilder builder;
    std::string errors;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    return reader->parse(text.data(), text.data() + text.size(), out, &errors);
}

std::string write(const Json::Value& value)
{
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    return Json::writeString(builder, value);
}

Json::Value loadUsers(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    Json::Value root;
    if (!parseJson(text.str(), &root) || !root.isObject() || !root["users"].isArray())
        return Json::Value(Json::arrayValue);
    return root["users"];
}

bool isOnline(const SessionServer& session, const std::string& phone)
{
    const Json::Value state = session.state();
    for (const Json::Value& s : state["sessions"]) {
        if (s["loggedIn"].asBool() && s["loginId"].asString() == phone)
            return true;
    }
    return false;
}

// The user info in the shape the shell reads.
Json::Value userInfo(const Json::Value& user, const std::string& origin)
{
    Json::Value data(Json::objectValue);
    data["Id"] = user["id"].asString();
    data["Phone"] = user["phone"].asString();
    const std::string head = user["headImageUrl"].asString();
    data["HeadImageUrl"] = head.rfind('/', 0) == 0 ? origin + head : head;
    data["Coins"] = user["coins"];
    data["Password"] = user["password"].asString();
    data["VipLevel"] = user["vipLevel"].asInt();
    Json::Value classes(Json::arrayValue);
    for (const Json::Value& c : user["classes"]) {
        Json::Value entry(Json::objectValue);
        entry["Id"] = c["id"].asInt();
        entry["HasJoined"] = c["joined"].asBool();
        classes.append(entry);
    }
    data["ClassInfo"] = classes;
    Json::Value info(Json::objectValue);
    info["userInfo"]["Data"] = data;
    info["msgList"] = user["messages"].isArray() ? user["messages"] : Json::Value(Json::arrayValue);
    info["userRight"] = user["userRights"].isArray() ? user["userRights"] : Json::Value(Json::arrayValue);
    return info;
}

} // namespace

void LoginApi::install(httplib::Server& server, const std::string& usersPath, SessionServer& session, DevLog& log)
{
    server.Post("/api/login", [usersPath, &session, &log](const httplib::Request& req, httplib::Response& res) {
        Json::Value body;
        Json::Value answer(Json::objectValue);
        if (!parseJson(req.body, &body) || !body.isObject()) {
            res.status = 400;
            answer["ok"] = false;
            answer["message"] = "请求格式错误";
            res.set_content(write(answer), "application/json; charset=utf-8");
            return;
        }
        const std::string account = body["account"].asString();
        const std::string password = body["password"].asString();
        const Json::Value users = loadUsers(usersPath);
        for (const Json::Value& user : users) {
            if (user["phone"].asString() != account)
                continue;
            if (user["password"].asString() != password)
                break;
            const std::string origin = "http://" + req.get_header_value("Host");
            answer["ok"] = true;
            answer["online"] = isOnline(session, account);
            answer["userInfo"] = userInfo(user, origin);
            log.line("login-api " + account + " ok online=" + (answer["online"].asBool() ? "1" : "0"));
            res.set_content(write(answer), "application/json; charset=utf-8");
            return;
        }
        log.line("login-api " + account + " refused");
        answer["ok"] = false;
        answer["message"] = "手机号或密码错误";
        res.set_content(write(answer), "application/json; charset=utf-8");
    });
}

} // namespace devservice
