#include "session/GetAttrValue.h"

#include "forms/web/AttrValue.h"

namespace quill::session {

std::wstring GetAttrValue(std::wstring_view name, std::wstring_view source)
{
    // One reading for the notice block and the chart texts, which the chart
    // control and the browser read the same way.
    return web::AttrValue(name, source);
}

}  // namespace quill::session
