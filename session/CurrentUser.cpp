#include "session/CurrentUser.h"

namespace session {

void CurrentUser::setClass(int classId, bool joined)
{
    if (classId < 1 || classId > kClassCount)
        return;
    classPresent[static_cast<std::size_t>(classId - 1)] = true;
    classJoined[static_cast<std::size_t>(classId - 1)] = joined;
}

bool CurrentUser::hasJoined(int classId) const
{
    if (classId < 1 || classId > kClassCount)
        return false;
    return classJoined[static_cast<std::size_t>(classId - 1)];
}

} // namespace session
