#pragma once

namespace httplib {
class Server;
}

namespace devservice {

class DevLog;
class SessionServer;

// The control API of the session port, JSON over HTTP under /control/session/, for tests and
// the demo. Every answer is a JSON object with "ok"; a body that is not JSON gets 400.
//   GET  /control/session/state                  -> {"ok",  "port", "listening", "sessions": [...], ...}
//   GET  /control/session/commands?since=N       -> {"ok", "commands": [{"seq", "connection",
//                                                    "commandType", "operation", "loginId", "payload"}]}
//   POST /control/session/push       {"phone"?, "messages": [{...}], "repeat"?, "intervalMs"?} -> {"ok", "sent"}
//   POST /control/session/send       {"phone"?, "payload": text | "hex": bytes, "framed"?: true} -> {"ok", "sent"}
//   POST /control/session/displace   {"phone"}                       -> {"ok", "sent"}
//   POST /control/session/refuse-next {"count"?: 1, "whenOnline"?: bool} -> {"ok"}
//   POST /control/session/next-login {"append": [payload, ...]}     -> {"ok"}
//   POST /control/session/drop       {}                              -> {"ok", "dropped"}
//   POST /control/session/listen     {"open": bool}                  -> {"ok", "listening"}
//   POST /control/session/stall      {"stall": bool}                 -> {"ok"}
//   POST /control/session/update     {member: value, ..., "raw"?: text, "reset"?: bool} -> {"ok"}
class ControlApi
{
public:
    static void install(httplib::Server& server, SessionServer& session, DevLog& log);
};

} // namespace devservice
