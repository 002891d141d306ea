#pragma once

#include <string>

namespace httplib {
class Server;
}

namespace devservice {

class DevLog;
class SessionServer;

// The login page's account check: POST /api/login {"account","password"} answers
// {"ok":false,"message":…} or {"ok":true,"online":bool,"userInfo":{…}} with the user-info JSON the
// page hands to the shell's "Login" command. "online" says the account already has a logged-in
// session, so the page asks before forcing the login. Demo users come from a JSON file.
class LoginApi
{
public:
    static void install(httplib::Server& server, const std::string& usersPath, SessionServer& session, DevLog& log);
};

} // namespace devservice
