#include "session/Session.h"

namespace quill::session {

void Session::Reset(SessionReset scope)
{
    if (scope == SessionReset::NewRun) {
        const float twipsPerPixelX = TwipsPerPixelX, twipsPerPixelY = TwipsPerPixelY;
        *this = Session();
        TwipsPerPixelX = twipsPerPixelX;
        TwipsPerPixelY = twipsPerPixelY;
        return;
    }
    static_cast<AccountValues&>(*this) = AccountValues();
}

Session& CurrentSession()
{
    static Session session;
    return session;
}

}  // namespace quill::session
