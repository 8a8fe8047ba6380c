// The archive routine against a scripted stand-in of the archive library:
// rows, messages and the calls the library receives, in its three modes.
#include "updater/ExtractRar.h"

#include "forms/lang/Ansi.h"
#include "forms/lang/Error.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace quill::updater {
namespace {

struct ScriptedEntry {
    std::string name;  // code-page bytes
    std::uint32_t size = 0;
    int processResult = 0;
};

// What the stand-in library answers, and what it was asked.
struct Script {
    std::uint32_t openResult = 0;
    bool nullHandle = false;
    std::uint32_t commentState = 0;
    std::string comment;
    std::vector<ScriptedEntry> entries;
    int endResult = ERAR_END_ARCHIVE;

    std::size_t next = 0;
    std::vector<std::string> calls;
} script;

int handleTag;

void* Open(RAROpenArchiveData* data)
{
    script.calls.push_back(
        "open " + std::string(data->ArcName) + " mode " + std::to_string(data->OpenMode) + " comment " +
        std::to_string(data->CmtBufSize) +
        (data->CmtBuf[0] == ' ' && data->CmtBuf[data->CmtBufSize - 1] == ' ' ? " blank" : ""));
    data->OpenResult = script.openResult;
    data->CmtState = script.commentState;
    if (script.commentState == 1) {
        std::memcpy(data->CmtBuf, script.comment.c_str(), script.comment.size() + 1);
        data->CmtSize = static_cast<std::uint32_t>(script.comment.size() + 1);
    }
    return script.nullHandle ? nullptr : &handleTag;
}

void SetPassword(void* handle, char* password)
{
    script.calls.push_back(std::string("password ") + password +
                           (handle == &handleTag ? "" : " on a bad handle"));
}

int ReadHeader(void* handle, RARHeaderData* header)
{
    if (handle != &handleTag)
        script.calls.push_back("header on a bad handle");
    if (script.next >= script.entries.size())
        return script.endResult;
    const ScriptedEntry& e = script.entries[script.next];
    std::memset(header->FileName, 'x', sizeof header->FileName);  // after the zero: not part of the name
    std::memcpy(header->FileName, e.name.c_str(), e.name.size() + 1);
    header->UnpSize = e.size;
    return 0;
}

int ProcessFile(void* handle, int operation, char* destPath, char* destName)
{
    const ScriptedEntry& e = script.entries[script.next++];
    script.calls.push_back("process " + std::to_string(operation) + " [" + (destPath ? destPath : "null") +
                           "] [" + (destName ? destName : "null") + "]");
    return e.processResult;
}

int Close(void* handle)
{
    script.calls.push_back(handle == &handleTag ? "close" : "close a bad handle");
    return 0;
}

const UnrarEntryPoints StandIn{Open, SetPassword, ReadHeader, ProcessFile, Close};

struct Message {
    std::wstring text;
    RarWindow::Icon icon;
    std::wstring title;
    bool operator==(const Message&) const = default;
};

class RecordingWindow : public RarWindow {
public:
    std::vector<std::wstring> rows;
    std::vector<Message> messages;
    int repaints = 0;

    void AddRow(const std::wstring& text) override { rows.push_back(text); }
    void AppendToLastRow(const std::wstring& text) override { rows.back() += text; }
    void ShowMessage(const std::wstring& text, Icon icon, const std::wstring& title) override
    {
        messages.push_back({text, icon, title});
    }
    void Repaint() override { ++repaints; }
};

class ExtractRarTest : public ::testing::Test {
protected:
    void SetUp() override { script = Script{}; }

    void Run(std::int32_t mode, std::wstring archive = L"C:\\in\\files.rar",
             std::wstring destination = L"C:\\out", std::wstring password = L"")
    {
        ExtractRar(
            mode, archive, destination, password,
            [this]() -> const UnrarEntryPoints& {
                ++loads;
                return StandIn;
            },
            window);
        usedDestination = destination;
    }

    RecordingWindow window;
    std::wstring usedDestination;
    int loads = 0;
};

Message Warning(const std::wstring& text)
{
    return {text, RarWindow::Icon::Warning, L"UnRar Error"};
}

TEST_F(ExtractRarTest, ListingTwoFiles)
{
    script.entries = {{"a.txt", 12}, {"dir\\b.dat", 40000}};
    Run(2);
    EXPECT_EQ(window.rows, (std::vector<std::wstring>{L"文件: a.txt\t\t\tSize: 12\tOK",
                                                      L"文件: dir\\b.dat\t\t\tSize: 40000\tOK"}));
    EXPECT_EQ(script.calls, (std::vector<std::string>{"open C:\\in\\files.rar mode 0 comment 16384 blank",
                                                      "process 0 [] []", "process 0 [] []", "close"}));
    EXPECT_TRUE(window.messages.empty());
    EXPECT_EQ(window.repaints, 2);
}

TEST_F(ExtractRarTest, ExtractingIntoTheDestinationWithItsBackslash)
{
    script.entries = {{"dir\\a.txt", 5}, {"b.txt", 6}};
    Run(0, L"C:\\in\\files.rar", L"  C:\\out  ");
    EXPECT_EQ(usedDestination, L"C:\\out\\");
    EXPECT_EQ(window.rows, (std::vector<std::wstring>{L"解压 dir\\a.txt\tOK", L"解压 b.txt\tOK"}));
    EXPECT_EQ(script.calls, (std::vector<std::string>{"open C:\\in\\files.rar mode 1 comment 16384 blank",
                                                      "process 2 [] [C:\\out\\dir\\a.txt]",
                                                      "process 2 [] [C:\\out\\b.txt]", "close"}));
    Run(0, L"C:\\in\\files.rar", L"C:\\out\\");
    EXPECT_EQ(usedDestination, L"C:\\out\\");
}

TEST_F(ExtractRarTest, TestingWithACrcError)
{
    script.entries = {{"a.txt", 1}, {"b.txt", 2, ERAR_BAD_DATA}, {"c.txt", 3}};
    Run(1);
    EXPECT_EQ(window.rows, (std::vector<std::wstring>{L"测试 a.txt\tOK", L"测试 b.txt", L"测试 c.txt\tOK"}));
    EXPECT_EQ(window.messages, std::vector<Message>{Warning(L"CRC error")});
    EXPECT_EQ(script.calls[1], "process 1 [] [a.txt]");
}

TEST_F(ExtractRarTest, MessagesOfFailedEntries)
{
    const std::pair<int, const wchar_t*> cases[] = {
        {12, L"CRC error"},
        {13, L"Bad volume"},
        {14, L"Unknown archive format"},
        {15, L"Volume open error"},
        {16, L"File create error"},
        {17, L"File close error"},
        {18, L"Read error"},
        {19, L"Write error"},
        {10, nullptr},
        {11, nullptr},
        {1, nullptr},
        {-1, nullptr},
    };
    for (const auto& [code, text] : cases) {
        SetUp();
        window = RecordingWindow{};
        script.entries = {{"a.txt", 1, code}};
        Run(0);
        EXPECT_EQ(window.rows, std::vector<std::wstring>{L"解压 a.txt"}) << code;
        EXPECT_EQ(window.messages, text ? std::vector<Message>{Warning(text)} : std::vector<Message>{})
            << code;
    }
}

TEST_F(ExtractRarTest, AFailedOpenEndsTheRoutineWithItsMessage)
{
    const std::pair<std::uint32_t, const wchar_t*> cases[] = {
        {11, L"Not enough memory"},
        {12, L"C:\\in\\files.rar: archive header broken"},
        {13, L"C:\\in\\files.rar is not RAR archive"},
        {15, L"Cannot open C:\\in\\files.rar"},
        {14, nullptr},
        {16, nullptr},
    };
    for (const auto& [code, text] : cases) {
        for (bool nullHandle : {true, false}) {
            SetUp();
            window = RecordingWindow{};
            script.openResult = code;
            script.nullHandle = nullHandle;
            script.entries = {{"a.txt", 1}};
            Run(0, L"C:\\in\\files.rar", L"C:\\out", L"secret");
            EXPECT_EQ(window.messages, text ? std::vector<Message>{Warning(text)} : std::vector<Message>{})
                << code;
            EXPECT_TRUE(window.rows.empty());
            // No password, header or entry on a failed archive; a handle it gave is closed.
            EXPECT_EQ(script.calls.size(), nullHandle ? 1u : 2u) << code;
            if (!nullHandle) {
                EXPECT_EQ(script.calls.back(), "close");
            }
        }
    }
}

TEST_F(ExtractRarTest, ALibraryThatCannotBeLoaded)
{
    std::int32_t mode = 2;
    std::wstring archive = L"a.rar", destination = L"out", password;
    ExtractRar(
        mode, archive, destination, password,
        []() -> const UnrarEntryPoints& {
            throw forms::RuntimeError(forms::kFileNotFound, L"文件未找到: unrar.dll");
        },
        window);
    EXPECT_EQ(window.messages, std::vector<Message>{Warning(L"文件未找到: unrar.dll")});
    EXPECT_TRUE(script.calls.empty());
    EXPECT_TRUE(window.rows.empty());
}

TEST_F(ExtractRarTest, PasswordCommentAndABrokenHeader)
{
    script.commentState = 1;
    script.comment = "\xd7\xa2\xca\xcd: archive comment";
    script.entries = {{"a.txt", 1}};
    script.endResult = ERAR_BAD_DATA;
    Run(2, L"C:\\in\\files.rar", L"C:\\out", L"密码");
    EXPECT_EQ(script.calls[1], "password " + forms::TextToAnsi(L"密码"));
    EXPECT_EQ(window.messages,
              (std::vector<Message>{{L"注释: archive comment", RarWindow::Icon::Information, L"Comment"},
                                    Warning(L"File header broken")}));
    EXPECT_EQ(window.rows.size(), 1u);
}

TEST_F(ExtractRarTest, NamesInTheCodePage)
{
    script.entries = {{"\xcb\xb5\xc3\xf7.txt", 6}};
    Run(0, L"C:\\档案.rar", L"C:\\输出");
    EXPECT_EQ(script.calls[0], "open " + forms::TextToAnsi(L"C:\\档案.rar") + " mode 1 comment 16384 blank");
    EXPECT_EQ(script.calls[1], "process 2 [] [" + forms::TextToAnsi(L"C:\\输出\\说明.txt") + "]");
    EXPECT_EQ(window.rows, std::vector<std::wstring>{L"解压 说明.txt\tOK"});
}

TEST_F(ExtractRarTest, NamesThatWouldLeaveTheDestinationAreNotExtracted)
{
    script.entries = {{"..\\evil.txt", 1},
                      {"C:\\evil.txt", 1},
                      {"\\evil.txt", 1},
                      {"dir/../../evil.txt", 1},
                      {"ok.txt", 1}};
    Run(0);
    EXPECT_EQ(window.rows,
              (std::vector<std::wstring>{L"解压 ..\\evil.txt", L"解压 C:\\evil.txt", L"解压 \\evil.txt",
                                         L"解压 dir/../../evil.txt", L"解压 ok.txt\tOK"}));
    EXPECT_EQ(script.calls,
              (std::vector<std::string>{"open C:\\in\\files.rar mode 1 comment 16384 blank",
                                        "process 0 [] []", "process 0 [] []", "process 0 [] []",
                                        "process 0 [] []", "process 2 [] [C:\\out\\ok.txt]", "close"}));
    // Testing and listing write nothing: every name is shown as it is.
    SetUp();
    window = RecordingWindow{};
    script.entries = {{"..\\evil.txt", 1}};
    Run(1);
    EXPECT_EQ(window.rows, std::vector<std::wstring>{L"测试 ..\\evil.txt\tOK"});
}

// A window whose message ends the program unwinds the routine; the archive
// is closed all the same.
TEST_F(ExtractRarTest, AnArchiveIsClosedWhenAMessageUnwindsTheRoutine)
{
    struct Unwound {};
    class EndingWindow : public RecordingWindow {
    public:
        void ShowMessage(const std::wstring&, Icon, const std::wstring&) override { throw Unwound{}; }
    };
    const auto runWith = [](RarWindow& ending) {
        std::int32_t mode = 0;
        std::wstring archive = L"C:\\in\\files.rar", destination = L"C:\\out", password;
        ExtractRar(
            mode, archive, destination, password, []() -> const UnrarEntryPoints& { return StandIn; },
            ending);
    };
    // A failed open that still gave a handle, an entry that failed, a comment.
    for (int at = 0; at < 3; ++at) {
        SetUp();
        if (at == 0)
            script.openResult = ERAR_BAD_ARCHIVE;
        if (at == 1)
            script.entries = {{"a.txt", 1, ERAR_BAD_DATA}, {"b.txt", 1}};
        if (at == 2) {
            script.commentState = 1;
            script.comment = "comment";
        }
        EndingWindow ending;
        EXPECT_THROW(runWith(ending), Unwound) << at;
        ASSERT_FALSE(script.calls.empty()) << at;
        EXPECT_EQ(script.calls.back(), "close") << at;
        EXPECT_EQ(std::count(script.calls.begin(), script.calls.end(), "close"), 1) << at;
    }
}

TEST_F(ExtractRarTest, AnUnknownModeListsNothingAndStillEnds)
{
    script.entries = {{"a.txt", 1}, {"b.txt", 1}};
    Run(7);
    EXPECT_TRUE(window.rows.empty());
    EXPECT_EQ(script.calls.back(), "close");
    EXPECT_EQ(script.next, 2u);
}

}  // namespace
}  // namespace quill::updater
