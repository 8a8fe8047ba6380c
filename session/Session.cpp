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
    AuthQuery.clear();
    LoginReply.clear();
    UserInfo = protocol::UserInfo();
    for (std::wstring* value : {&MonthlySection, &CurrentPlatformSection, &FinishedPlatformSection,
                                &PlatformListSection, &DueSoonSection, &CurrentListCache, &FinishedListCache})
        value->clear();
    RecordCache = session::RecordCache();
}

Session& CurrentSession()
{
    static Session session;
    return session;
}

}  // namespace quill::session
