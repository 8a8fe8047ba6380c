// Feeds arbitrary reply bytes, decoded as the client decodes them, to the
// list, platform and report pages and to the list filter, through a window
// that only records: as a list reply, as each snapshot section the pages
// read, and as the filter's boxes. A page may stop with a numbered error
// (that is its contract); nothing may crash, hang or over-allocate.
#include "RecordingPageHost.h"

#include "workspace/ListFilter.h"
#include "workspace/ListPages.h"
#include "workspace/PlatformPages.h"
#include "workspace/Reports.h"

#include "forms/lang/Ansi.h"
#include "forms/lang/Clock.h"
#include "forms/lang/Error.h"
#include "forms/lang/Text.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

using namespace quill::protocol;
using namespace quill::workspace;
namespace forms = quill::forms;

// Long inputs make many rows; the pages read every row, so keep the search fast.
constexpr std::size_t kLongest = 4096;

template <class Build>
void Build(const std::wstring& text, Build&& build)
{
    RecordingPageHost host;
    host.reply = text;
    host.sections[AccountSnapshot::Monthly] = text;
    host.sections[AccountSnapshot::CurrentPlatforms] = text;
    host.sections[AccountSnapshot::FinishedPlatforms] = text;
    // The UserInfo the pages read strictly is taken from the text too.
    host.info = UserInfo(text);
    try {
        build(host);
    } catch (const forms::RuntimeError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > kLongest)
        return 0;
    static const forms::ClockOverride clock(45000.5);  // 2023-03-15 noon
    const std::wstring text = forms::AnsiToText(std::string_view(reinterpret_cast<const char*>(data), size));
    Build(text, [](RecordingPageHost& h) { BuildProjectListPage(h, false); });
    Build(text, [](RecordingPageHost& h) { BuildProjectListPage(h, true); });
    Build(text, [](RecordingPageHost& h) { BuildPlatformPage(h, false); });
    Build(text, [](RecordingPageHost& h) { BuildPlatformPage(h, true); });
    Build(text, [](RecordingPageHost& h) { BuildMonthlyPage(h); });
    Build(text, [](RecordingPageHost& h) { BuildYearlyPage(h); });
    // The filter over the text as its rows, with boxes cut from its first line.
    Build(text, [&](RecordingPageHost& h) {
        ShowListView(h, h.shownKind, ProjectList);
        h.busy = false;
        h.currentCache = text;
        const std::vector<std::wstring> boxes = forms::Split(forms::Left(text, 64), L"\t");
        auto box = [&](size_t i) { return i < boxes.size() ? boxes[i] : std::wstring(); };
        h.boxes = {box(0), box(1), box(2), box(3), box(4), static_cast<int>(box(5).size() % 2)};
        RunFilter(h);
    });
    return 0;
}
