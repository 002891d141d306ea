#pragma once

#include <QByteArray>

namespace session {
struct CurrentUser;
}

namespace account {

// Fills the current user from the user-info JSON the login page hands to the "Login" command.
// Text that does not parse changes nothing. A member of the wrong type is skipped (the field
// keeps its value) and reading goes on, so a page's mistake never stops a login.
class UserInfoReader
{
public:
    // false when the text did not parse as a JSON object.
    static bool read(const QByteArray& userInfoJson, session::CurrentUser& user);
};

} // namespace account
