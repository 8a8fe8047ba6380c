#include "updater/JournalRecords.h"

#include "forms/lang/Text.h"
#include "updater/Utf8.h"

#include <array>
#include <charconv>
#include <cstring>

namespace quill::updater {
namespace {

constexpr std::array<std::uint32_t, 256> CrcTable = [] {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}();

std::vector<std::string_view> Fields(std::string_view text)
{
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t tab = text.find('\t', start);
        fields.push_back(text.substr(start, tab == std::string_view::npos ? text.npos : tab - start));
        if (tab == std::string_view::npos)
            return fields;
        start = tab + 1;
    }
}

std::string Hex(std::uint64_t value)
{
    char buffer[17];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, 16).ptr;
    return std::string(buffer, end);
}

// A hex number written by Hex: lower-case digits, no sign, no leading zero.
std::optional<std::uint64_t> ReadHex(std::string_view text)
{
    if (text.empty() || text.size() > 16 || (text.size() > 1 && text[0] == '0'))
        return std::nullopt;
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return std::nullopt;
    std::uint64_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value, 16);
    return value;
}

std::string IdentityText(const FileIdentity& id)
{
    return Hex(id.size) + "," + Hex(id.lastWrite) + "," + Hex(id.changeTime) + "," + Hex(id.volume) + "," +
           Hex(id.idLow) + "," + Hex(id.idHigh);
}

std::optional<FileIdentity> ReadIdentity(std::string_view text)
{
    std::array<std::uint64_t, 6> values{};
    std::size_t n = 0;
    for (std::size_t start = 0; n < values.size(); ++n) {
        const std::size_t comma = text.find(',', start);
        const auto value = ReadHex(text.substr(start, comma == text.npos ? text.npos : comma - start));
        if (!value)
            return std::nullopt;
        values[n] = *value;
        if (comma == text.npos) {
            ++n;
            break;
        }
        start = comma + 1;
    }
    if (n != values.size())
        return std::nullopt;
    return FileIdentity{values[0], values[1], values[2], values[3], values[4], values[5]};
}

std::optional<std::size_t> ReadIndex(std::string_view text)
{
    const auto value = ReadHex(text);
    if (!value)
        return std::nullopt;
    return static_cast<std::size_t>(*value);
}

std::optional<std::wstring> ReadPath(std::string_view text)
{
    auto path = FromUtf8(text);
    if (!path || !IsRelativeBelow(*path))
        return std::nullopt;
    return path;
}

// A copy's name in the run folder: a number.
bool IsCopyName(std::wstring_view name)
{
    if (name.empty() || name.size() > 9 || name[0] == L'0')
        return false;
    for (wchar_t c : name)
        if (c < L'0' || c > L'9')
            return false;
    return true;
}

std::string Line(const std::string& text)
{
    char crc[9];
    const auto end = std::to_chars(crc, crc + sizeof crc, Crc32(text), 16).ptr;
    return std::string(8 - static_cast<std::size_t>(end - crc), '0') + std::string(crc, end) + " " + text +
           "\n";
}

// Reads one record's text into the journal: false when it cannot be used.
bool Take(ReadJournal& journal, std::string_view text, std::string& why)
{
    const auto fields = Fields(text);
    const std::string_view kind = fields[0];
    if (kind == "Q") {
        if (fields.size() == 2 && fields[1] == "1" && journal.end == 0)
            return true;
        why = "not a journal this version reads";
        return false;
    }
    if (journal.end == 0) {
        why = "no beginning";
        return false;
    }
    if (journal.committed) {
        why = "a record after the commit";
        return false;
    }
    if (kind == "K" && fields.size() == 1) {
        journal.committed = true;
        return true;
    }
    if (kind == "D" && fields.size() == 2) {
        const auto folder = ReadPath(fields[1]);
        if (!folder) {
            why = "a folder outside the program folder";
            return false;
        }
        JournalStep step;
        step.kind = JournalStep::Kind::Folder;
        step.target = *folder;
        journal.steps.push_back(std::move(step));
        return true;
    }
    if (kind == "M" && fields.size() == 6) {
        const auto target = ReadPath(fields[1]);
        const auto copy = FromUtf8(fields[2]);
        const auto source = ReadPath(fields[3]);
        const auto identity = ReadIdentity(fields[5]);
        if (!target || !copy || (!copy->empty() && !IsCopyName(*copy)) || !source ||
            (fields[4] != "0" && fields[4] != "1") || !identity) {
            why = "a move that cannot be read whole";
            return false;
        }
        JournalStep step;
        step.target = *target;
        step.copy = *copy;
        step.source = *source;
        step.readOnly = fields[4] == "1";
        step.sourceIdentity = *identity;
        journal.steps.push_back(std::move(step));
        return true;
    }
    if ((kind == "F" && fields.size() == 3) || (kind == "B" && fields.size() == 2)) {
        const auto step = ReadIndex(fields[1]);
        if (!step || *step >= journal.steps.size()) {
            why = "a step that was never recorded";
            return false;
        }
        JournalStep& s = journal.steps[*step];
        if (kind == "B") {
            s.takenBack = true;
            return true;
        }
        const auto placed = ReadIdentity(fields[2]);
        if (!placed || s.kind != JournalStep::Kind::Move || s.placed) {
            why = "a move made that cannot be read whole";
            return false;
        }
        s.placed = *placed;
        s.ended = true;
        return true;
    }
    why = "an unknown record";
    return false;
}

}  // namespace

std::uint32_t Crc32(std::string_view bytes)
{
    std::uint32_t c = 0xFFFFFFFFu;
    for (char b : bytes)
        c = CrcTable[(c ^ static_cast<unsigned char>(b)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

bool IsRelativeBelow(std::wstring_view path)
{
    if (path.empty())
        return false;
    for (std::size_t start = 0;;) {
        const std::size_t sep = path.find(L'\\', start);
        const std::wstring_view part = path.substr(start, sep == path.npos ? path.npos : sep - start);
        if (part.empty() || part == L"." || part == L"..")
            return false;
        for (wchar_t c : part)
            if (c < 0x20 || c == L'/' || c == L':')
                return false;
        if (sep == path.npos)
            return true;
        start = sep + 1;
    }
}

std::optional<std::wstring> RelativeTo(std::wstring_view path, std::wstring_view folder)
{
    std::wstring inner = forms::Replace(std::wstring(path), L"/", L"\\");
    std::wstring outer = forms::Replace(std::wstring(folder), L"/", L"\\");
    while (!outer.empty() && outer.back() == L'\\')
        outer.pop_back();
    if (outer.empty() || inner.size() <= outer.size() + 1 || inner[outer.size()] != L'\\' ||
        !forms::TextEquals(std::wstring_view(inner).substr(0, outer.size()), outer))
        return std::nullopt;
    std::wstring relative = inner.substr(outer.size() + 1);
    if (!IsRelativeBelow(relative))
        return std::nullopt;
    return relative;
}

std::string JournalBegins()
{
    return Line("Q\t1");
}

std::string FolderRecord(const std::wstring& folder)
{
    return Line("D\t" + Utf8(folder));
}

std::string MoveRecord(const JournalStep& move)
{
    return Line("M\t" + Utf8(move.target) + "\t" + Utf8(move.copy) + "\t" + Utf8(move.source.value_or(L"")) +
                "\t" + (move.readOnly ? "1" : "0") + "\t" + IdentityText(move.sourceIdentity.value_or(FileIdentity{})));
}

std::string MadeRecord(std::size_t step, const FileIdentity& placed)
{
    return Line("F\t" + Hex(step) + "\t" + IdentityText(placed));
}

std::string TakenBackRecord(std::size_t step)
{
    return Line("B\t" + Hex(step));
}

std::string CommitRecord()
{
    return Line("K");
}

ReadJournal ReadRecords(std::string_view bytes)
{
    ReadJournal journal;
    journal.whole = true;
    for (std::size_t start = 0; start < bytes.size();) {
        const std::size_t newline = bytes.find('\n', start);
        const bool last = newline == bytes.npos || bytes.find_first_not_of('\0', newline + 1) == bytes.npos;
        const std::string_view line =
            bytes.substr(start, newline == bytes.npos ? bytes.npos : newline - start);
        std::string why;
        if (newline == bytes.npos) {
            why = "cut short";
        } else if (line.size() < 10 || line[8] != ' ' || line.find('\0') != line.npos) {
            why = "not a record";
        } else {
            std::uint32_t crc = 0;
            const auto got = std::from_chars(line.data(), line.data() + 8, crc, 16);
            const std::string_view text = line.substr(9);
            if (got.ptr != line.data() + 8 || Crc32(text) != crc)
                why = "damaged";
            else
                Take(journal, text, why);
        }
        if (why.empty()) {
            journal.end = newline + 1;
            start = newline + 1;
            continue;
        }
        // The last record, cut short or written in part when the run
        // ended, was never acted on; one before another means the journal
        // was changed since.
        journal.problems.push_back("record at byte " + std::to_string(start) + ": " + why);
        if (!last || journal.end == 0)
            journal.whole = false;
        break;
    }
    if (journal.end == 0)
        journal.whole = false;
    return journal;
}

ReadJournal ReadEarlierRecords(std::string_view bytes, std::wstring_view programFolder)
{
    ReadJournal journal;
    journal.earlierForm = true;
    journal.whole = true;
    std::wstring text(bytes.size() / sizeof(char16_t), L'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto lo = static_cast<unsigned char>(bytes[2 * i]);
        const auto hi = static_cast<unsigned char>(bytes[2 * i + 1]);
        text[i] = static_cast<wchar_t>(lo | hi << 8);
    }
    const auto absolute = [&](const std::wstring& path) {
        return path.size() >= 3 && path[1] == L':' && path[2] == L'\\';
    };
    std::size_t start = 0;
    for (std::size_t end = text.find(L'\n'); end != std::wstring::npos; end = text.find(L'\n', start)) {
        const std::wstring line = text.substr(start, end - start);
        const auto fields = forms::Split(line, L"\t");
        start = end + 1;
        const bool cleanFields = line.find(L'\0') == std::wstring::npos;
        if (cleanFields && fields.size() == 1 && fields[0] == L"K") {
            journal.committed = true;
        } else if (cleanFields && fields.size() == 1 && fields[0] == L"F") {
            if (!journal.steps.empty() && journal.steps.back().kind == JournalStep::Kind::Move)
                journal.steps.back().ended = true;
        } else if (cleanFields && fields.size() == 2 && fields[0] == L"D" && absolute(fields[1])) {
            JournalStep step;
            step.kind = JournalStep::Kind::Folder;
            step.target = RelativeTo(fields[1], programFolder).value_or(L"");
            journal.steps.push_back(std::move(step));
        } else if (cleanFields && (fields.size() == 3 || fields.size() == 4) && fields[0] == L"M" &&
                   absolute(fields[1]) && (fields[2].empty() || absolute(fields[2]))) {
            const std::wstring target = RelativeTo(fields[1], programFolder).value_or(L"");
            // A move tried again (its record follows the failed try's at
            // once): the try before it failed, so never happened.
            if (!journal.steps.empty()) {
                const JournalStep& last = journal.steps.back();
                if (last.kind == JournalStep::Kind::Move && !last.ended && !target.empty() &&
                    forms::TextEquals(last.target, target))
                    journal.steps.pop_back();
            }
            JournalStep move;
            move.target = target;
            // The copy by its name alone: the journal may spell the run's
            // folder otherwise than the folder it was found in.
            move.copy = fields[2].substr(fields[2].find_last_of(L'\\') + 1);
            if (!move.copy.empty() && !IsCopyName(move.copy))
                journal.whole = false;
            if (fields.size() == 4)
                move.source = RelativeTo(fields[3], programFolder);
            journal.steps.push_back(std::move(move));
        } else {
            journal.problems.push_back("an unknown record: " + Utf8(line.substr(0, 80)));
            journal.whole = false;
            break;
        }
        journal.end = start;
    }
    if (journal.end == 0)
        journal.whole = false;
    return journal;
}

}  // namespace quill::updater
