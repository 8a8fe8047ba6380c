// The archive routine with the stand-in library loaded from the program
// folder: the library is loaded only by the first call, from nowhere else,
// and extracts where it is told.
#include "updater/UnrarLibrary.h"

#include "TempFolder.h"
#include "forms/lang/Error.h"
#include "updater/ExtractRar.h"

#include <gtest/gtest.h>

#include <cstddef>

#include <string>
#include <vector>

namespace quill::updater {
namespace {

using testing::Fixture;
using testing::ReadWholeFile;
using testing::TempFolder;
using testing::WriteBytes;

class Rows : public RarWindow {
public:
    std::vector<std::wstring> rows, messages;
    void AddRow(const std::wstring& text) override { rows.push_back(text); }
    void AppendToLastRow(const std::wstring& text) override { rows.back() += text; }
    void ShowMessage(const std::wstring& text, Icon, const std::wstring& title) override
    {
        messages.push_back(title + L": " + text);
    }
    void Repaint() override {}
};

void Extract(UnrarLibrary& library, std::int32_t mode, std::wstring archive, std::wstring destination,
             Rows& rows)
{
    std::wstring password;
    ExtractRar(
        mode, archive, destination, password,
        [&]() -> const UnrarEntryPoints& { return library.EntryPoints(); }, rows);
}

// The records as the updater declares them and as the library (the
// stand-in, declared on its own from the library's documentation) lays them
// out: the library reads and writes its records by its own offsets.
TEST(UnrarLibrary, TheRecordsAreLaidOutAsTheLibraryLaysThemOut)
{
    LibraryHandle library(LoadLibraryW(Fixture(L"unrar.dll").c_str()));
    ASSERT_TRUE(library);
    using Layout = void (*)(std::size_t*);
    const auto standIn = reinterpret_cast<Layout>(GetProcAddress(library.Get(), "StandInRecordLayout"));
    ASSERT_NE(standIn, nullptr);
    std::vector<std::size_t> theirs(9);
    standIn(theirs.data());
    const std::vector<std::size_t> ours{sizeof(RAROpenArchiveData),
                                        offsetof(RAROpenArchiveData, CmtBuf),
                                        offsetof(RAROpenArchiveData, CmtBufSize),
                                        offsetof(RAROpenArchiveData, CmtState),
                                        sizeof(RARHeaderData),
                                        offsetof(RARHeaderData, FileName),
                                        offsetof(RARHeaderData, UnpSize),
                                        offsetof(RARHeaderData, CmtBuf),
                                        offsetof(RARHeaderData, CmtState)};
    EXPECT_EQ(ours, theirs);
}

TEST(UnrarLibrary, LoadedFromTheProgramFolderByTheFirstCall)
{
    TempFolder program, work;
    ASSERT_TRUE(CopyFileW(Fixture(L"unrar.dll").c_str(), (program / L"unrar.dll").c_str(), FALSE));
    UnrarLibrary library(program.Path());
    EXPECT_FALSE(library.Loaded());
    EXPECT_EQ(GetModuleHandleW((program / L"unrar.dll").c_str()), nullptr);

    WriteBytes(work / L"files.rar", "entry 0 5 dir\\a.txt\r\nentry 0 7 b.txt\r\n");
    Rows rows;
    Extract(library, 0, work / L"files.rar", L" " + (work / L"out") + L" ", rows);
    EXPECT_TRUE(library.Loaded());
    EXPECT_EQ(rows.rows, (std::vector<std::wstring>{L"解压 dir\\a.txt\tOK", L"解压 b.txt\tOK"}));
    EXPECT_TRUE(rows.messages.empty());
    // The stand-in writes nothing but files; the routine gave it the folder's name.
    CreateDirectoryW((work / L"out").c_str(), nullptr);
    EXPECT_NE(
        ReadWholeFile(work / L"files.rar.log")
            .find("process 2 [] [" + std::string(work.Path().begin(), work.Path().end()) + "\\out\\b.txt]"),
        std::string::npos);
}

TEST(UnrarLibrary, ListingAndTestingThroughTheLibrary)
{
    TempFolder program, work;
    CopyFileW(Fixture(L"unrar.dll").c_str(), (program / L"unrar.dll").c_str(), FALSE);
    UnrarLibrary library(program.Path());
    WriteBytes(work / L"files.rar", "comment made by a test\r\nentry 0 12 a.txt\r\nentry 12 40000 b.dat\r\n");
    Rows rows;
    Extract(library, 2, work / L"files.rar", L"", rows);
    EXPECT_EQ(rows.rows,
              (std::vector<std::wstring>{L"文件: a.txt\t\t\tSize: 12\tOK", L"文件: b.dat\t\t\tSize: 40000"}));
    EXPECT_EQ(rows.messages,
              (std::vector<std::wstring>{L"Comment: made by a test", L"UnRar Error: CRC error"}));
    rows = Rows{};
    Extract(library, 1, work / L"files.rar", L"", rows);
    EXPECT_EQ(rows.rows, (std::vector<std::wstring>{L"测试 a.txt\tOK", L"测试 b.dat"}));
    const std::string log = ReadWholeFile(work / L"files.rar.log");
    EXPECT_NE(log.find("open mode 0 comment buffer 16384"), std::string::npos);
    EXPECT_NE(log.find("open mode 1 comment buffer 16384"), std::string::npos);
    EXPECT_NE(log.find("process 1 [] [a.txt]"), std::string::npos);
}

TEST(UnrarLibrary, AMissingArchiveIsAnOpenError)
{
    TempFolder program, work;
    CopyFileW(Fixture(L"unrar.dll").c_str(), (program / L"unrar.dll").c_str(), FALSE);
    UnrarLibrary library(program.Path());
    Rows rows;
    Extract(library, 2, work / L"none.rar", L"", rows);
    EXPECT_EQ(rows.messages, std::vector<std::wstring>{L"UnRar Error: Cannot open " + (work / L"none.rar")});
    EXPECT_TRUE(rows.rows.empty());
}

TEST(UnrarLibrary, NoLibraryInTheProgramFolder)
{
    TempFolder program, work;
    // One beside the test program is not the program folder's.
    UnrarLibrary library(program.Path());
    Rows rows;
    Extract(library, 2, work / L"files.rar", L"", rows);
    EXPECT_EQ(rows.messages, std::vector<std::wstring>{L"UnRar Error: 文件未找到: unrar.dll"});
    EXPECT_FALSE(library.Loaded());
    // Put in place later, the next call finds it.
    CopyFileW(Fixture(L"unrar.dll").c_str(), (program / L"unrar.dll").c_str(), FALSE);
    WriteBytes(work / L"files.rar", "entry 0 1 a.txt\r\n");
    rows = Rows{};
    Extract(library, 2, work / L"files.rar", L"", rows);
    EXPECT_TRUE(library.Loaded());
    EXPECT_EQ(rows.rows.size(), 1u);
}

TEST(UnrarLibrary, ALibraryWithoutTheEntryPoints)
{
    TempFolder program;
    ASSERT_TRUE(CopyFileW(Fixture(L"fake_tallivo_13.exe").c_str(), (program / L"unrar.dll").c_str(), FALSE));
    UnrarLibrary library(program.Path());
    try {
        library.EntryPoints();
        FAIL() << "no error";
    } catch (const forms::RuntimeError& e) {
        EXPECT_TRUE(e.Number() == 453 || e.Number() == forms::kFileNotFound) << e.Number();
    }
    EXPECT_FALSE(library.Loaded());
}

}  // namespace
}  // namespace quill::updater
