// Feeds arbitrary reply bytes, decoded as the client decodes them, to every
// reader of service replies: snapshot and its sections, the row lists, the
// project record and its schedule, the classifiers, the attribute reader and
// the money text of whatever numbers come out. Readings may raise numbered
// errors (that is their contract); nothing may crash, hang or over-allocate.
#include "workspace/FormatWan.h"
#include "session/GetAttrValue.h"
#include "workspace/EntryFields.h"
#include "workspace/ProjectDetail.h"
#include "protocol/ReplyForms.h"
#include "protocol/ServiceRecords.h"

#include "forms/lang/Ansi.h"
#include "forms/lang/Error.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using namespace quill;

namespace {

using namespace quill::protocol;
using namespace quill::workspace;

// Every row is split, but only the first rows are read item by item: a
// failed reading throws, and thousands of throws per input would starve the
// search of executions.
constexpr std::size_t kRowsRead = 12;

template <class Step>
void Try(Step&& step)
{
    try {
        step();
    } catch (const forms::RuntimeError&) {
    }
}

void ReadNumbers(const ReplyItems& items)
{
    for (int i = 0; i < items.Count() && i < 24; ++i) {
        Try([&] { quill::workspace::FormatWan(items.Lenient(i)); });
        Try([&] { quill::workspace::FormatWan(items.Strict(i)); });
        Try([&] { items.StrictInt32(i); });
        Try([&] { items.StrictDate(i); });
    }
}

template <class Row, class Read>
void ReadFirstRows(const std::vector<Row>& rows, Read&& read)
{
    for (std::size_t i = 0; i < rows.size() && i < kRowsRead; ++i)
        read(rows[i]);
}

void ReadProjectRows(std::wstring_view list)
{
    ReadFirstRows(ReadRows<ProjectRow>(list), [](const ProjectRow& row) {
        Try([&] { row.Id(); });
        Try([&] { row.TermInDays(); });
        ReadNumbers(row);
    });
}

template <class Row>
void ReadList(std::wstring_view list)
{
    ReadFirstRows(ReadRows<Row>(list), [](const Row& row) { ReadNumbers(row); });
}

void ReadSnapshot(std::wstring_view text)
{
    const AccountSnapshot snapshot(text);
    Try([&] {
        const UserInfo info = snapshot.ReadUserInfo();
        Try([&] { info.UserNameSignalsServerFailure(); });
        Try([&] { info.NothingRecorded(); });
        CompareLatestVersion(info, L"1.3");
        ReadNumbers(info);
    });
    Try([&] {
        ReadFirstRows(ReadRows<MonthRow>(snapshot.Section(AccountSnapshot::Monthly)),
                      [](const MonthRow& month) {
                          month.YearText();
                          Try([&] { month.MonthStart(); });
                          ReadNumbers(month);
                      });
    });
    Try([&] { ReadList<PlatformRow>(snapshot.Section(AccountSnapshot::CurrentPlatforms)); });
    Try([&] { ReadList<PlatformRow>(snapshot.Section(AccountSnapshot::FinishedPlatforms)); });
    Try([&] { ReadNameLists(snapshot.Section(AccountSnapshot::PlatformList)); });
    Try([&] { ReadProjectRows(snapshot.Section(AccountSnapshot::DueSoon)); });
}

void ReadRecord(std::wstring_view text)
{
    const ProjectRecord record(text);
    Try([&] { record.TermInDays(); });
    Try([&] { record.IsFinished(); });
    Try([&] { record.YearBasisDays(); });
    Try([&] { ReadFirstRows(record.ScheduleRows(), [](const ScheduleRow& month) { ReadNumbers(month); }); });
    ReadNumbers(record);
}

// The detail page and the edit form take a record only whole: whatever the
// reply, the page is read or refused without a crash, and a page that was
// read also fills the edit form.
void ReadDetail(std::wstring_view text)
{
    const quill::workspace::DetailVerdict verdict = quill::workspace::ClassifyDetailReply(text, 42000);
    if (verdict.reading == quill::workspace::DetailReading::Read) {
        if (verdict.detail.schedule.size() !=
            static_cast<std::size_t>(std::max(0, verdict.detail.chartItemCount)))
            __builtin_trap();
        quill::workspace::EditEntry(quill::protocol::ProjectRecord(text));
    }
}

void ReadAttributes(std::wstring_view text)
{
    for (std::wstring_view name : {L"title", L"caption", L""})
        quill::session::GetAttrValue(name, text);
    // A short first line as the name, the rest as the source (the callers'
    // names are short; a long one only makes the search slow).
    const std::size_t lineEnd = text.find(L'\n');
    if (lineEnd != std::wstring_view::npos && lineEnd <= 32)
        quill::session::GetAttrValue(text.substr(0, lineEnd), text.substr(lineEnd + 1));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::wstring text = forms::AnsiToText(std::string_view(reinterpret_cast<const char*>(data), size));

    LoginNeedsBackup(text);
    ClassifyLoginReply(text);
    ReloginNeedsBackup(text);
    ReloginRefused(text);
    ListReplyFailed(text, 1);
    RecordReplyUsable(text);
    ActionReplyRejected(text);
    const SaveVerdict saved = ClassifySaveReply(text);

    ReadSnapshot(text);
    if (saved.outcome == SaveOutcome::Saved)
        ReadSnapshot(saved.snapshot);
    ReadProjectRows(text);
    ReadList<PlatformRow>(text);
    ReadList<MonthRow>(text);
    ReadRecord(text);
    ReadAttributes(text);
    ReadDetail(text);
    return 0;
}
