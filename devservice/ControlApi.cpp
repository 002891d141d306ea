#include "devservice/ControlApi.h"

#include "devservice/DevLog.h"
#include "devservice/SessionServer.h"

#include <httplib.h>
#include <json/reader.h>
#include <json/writer.h>

#include <chrono>
#include <thread>

namespace devservice {

namespace {

void reply(httplib::Response& response, Json::Value body, int status = 200)
{
    if (!body.isMember("ok"))
        body["ok"] = status == 200;
    Json::FastWriter writer;
    response.status = status;
    response.set_content(writer.write(body), "application/json");
}

// Parses the request body (empty means {}); answers 400 itself when it is not a JSON object.
bool body(const httplib::Request& request, httplib::Response& response, Json::Value* out)
{
    if (request.body.empty()) {
        *out = Json::Value(Json::objectValue);
        return true;
    }
    Json::Reader reader;
    if (!reader.parse(request.body, *out, false) || !out->isObject()) {
        Json::Value error(Json::objectValue);
        error["ok"] = false;
        error["error"] = "the body is not a JSON object";
        reply(response, error, 400);
        return false;
    }
    return true;
}

bool fromHex(const std::string& hex, std::string* bytes)
{
    if (hex.size() % 2 != 0)
        return false;
    bytes->clear();
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const std::string pair = hex.substr(i, 2);
        char* end = nullptr;
        const long value = std::strtol(pair.c_str(), &end, 16);
        if (!end || *end != '\0')
            return false;
        bytes->push_back(static_cast<char>(value));
    }
    return true;
}

std::string phoneOf(const Json::Value& request)
{
    const Json::Value& phone = request["phone"];
    return phone.isString() ? phone.asString() : std::string();
}

} // namespace

void ControlApi::install(httplib::Server& server, SessionServer& session, DevLog& log)
{
    server.Get("/control/session/state",
               [&session](const httplib::Request&, httplib::Response& response) { reply(response, session.state()); });

    server.Get("/control/session/commands", [&session](const httplib::Request& request, httplib::Response& response) {
        std::uint64_t since = 0;
        if (request.has_param("since"))
            since = std::strtoull(request.get_param_value("since").c_str(), nullptr, 10);
        Json::Value result(Json::objectValue);
        result["commands"] = session.commands(since);
        reply(response, result);
    });

    server.Post("/control/session/push",
                [&session, &log](const httplib::Request& request, httplib::Response& response) {
                    Json::Value in;
                    if (!body(request, response, &in))
                        return;
                    const int repeat = std::max(1, in.get("repeat", 1).asInt());
                    const int intervalMs = std::max(0, in.get("intervalMs", 0).asInt());
                    Json::Value messages = in["messages"];
                    if (!messages.isArray()) {
                        messages = Json::Value(Json::arrayValue);
                        messages.append(Json::Value(Json::objectValue));
                    }
                    int sent = 0;
                    for (int i = 0; i < repeat; ++i) {
                        if (i > 0 && intervalMs > 0)
                            std::this_thread::sleep_for(std::chrono::milliseconds(intervalMs));
                        sent += session.push(phoneOf(in), messages);
                    }
                    log.line("control push to " + (phoneOf(in).empty() ? std::string("everyone") : phoneOf(in)) + ": "
                             + std::to_string(sent) + " sent");
                    Json::Value result(Json::objectValue);
                    result["sent"] = sent;
                    reply(response, result);
                });

    server.Post("/control/session/send", [&session](const httplib::Request& request, httplib::Response& response) {
        Json::Value in;
        if (!body(request, response, &in))
            return;
        std::string bytes = in["payload"].asString();
        if (in.isMember("hex") && !fromHex(in["hex"].asString(), &bytes)) {
            Json::Value error(Json::objectValue);
            error["ok"] = false;
            error["error"] = "hex is not an even run of hexadecimal digits";
            reply(response, error, 400);
            return;
        }
        Json::Value result(Json::objectValue);
        result["sent"] = session.send(phoneOf(in), bytes, in.get("framed", !in.isMember("hex")).asBool());
        reply(response, result);
    });

    server.Post("/control/session/displace", [&session](const httplib::Request& request, httplib::Response& response) {
        Json::Value in;
        if (!body(request, response, &in))
            return;
        Json::Value result(Json::objectValue);
        result["sent"] = session.displace(phoneOf(in));
        reply(response, result);
    });

    server.Post("/control/session/refuse-next",
                [&session](const httplib::Request& request, httplib::Response& response) {
                    Json::Value in;
                    if (!body(request, response, &in))
                        return;
                    session.refuseNextLogins(in.get("count", 1).asInt());
                    if (in.isMember("whenOnline"))
                        session.setRefuseWhenOnline(in["whenOnline"].asBool());
                    reply(response, Json::Value(Json::objectValue));
                });

    server.Post("/control/session/next-login",
                [&session](const httplib::Request& request, httplib::Response& response) {
                    Json::Value in;
                    if (!body(request, response, &in))
                        return;
                    std::vector<std::string> payloads;
                    for (const Json::Value& payload : in["append"])
                        payloads.push_back(payload.isString() ? payload.asString() : Json::FastWriter().write(payload));
                    session.appendToNextLoginAnswer(std::move(payloads));
                    reply(response, Json::Value(Json::objectValue));
                });

    server.Post("/control/session/drop", [&session](const httplib::Request&, httplib::Response& response) {
        Json::Value result(Json::objectValue);
        result["dropped"] = session.dropAll();
        reply(response, result);
    });

    server.Post("/control/session/listen", [&session](const httplib::Request& request, httplib::Response& response) {
        Json::Value in;
        if (!body(request, response, &in))
            return;
        const bool open = in.get("open", true).asBool();
        Json::Value result(Json::objectValue);
        result["ok"] = session.setListening(open);
        result["listening"] = session.listening();
        reply(response, result);
    });

    server.Post("/control/session/stall", [&session](const httplib::Request& request, httplib::Response& response) {
        Json::Value in;
        if (!body(request, response, &in))
            return;
        session.setStall(in.get("stall", true).asBool());
        reply(response, Json::Value(Json::objectValue));
    });

    server.Post("/control/session/update", [&session](const httplib::Request& request, httplib::Response& response) {
        Json::Value in;
        if (!body(request, response, &in))
            return;
        session.changeUpdateAnswer(in);
        reply(response, Json::Value(Json::objectValue));
    });
}

} // namespace devservice
