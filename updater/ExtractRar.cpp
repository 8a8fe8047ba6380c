#include "updater/ExtractRar.h"

#include "forms/lang/Ansi.h"
#include "forms/lang/Error.h"
#include "forms/lang/Text.h"
#include "updater/UpdatePath.h"

#include <cstring>
#include <string>
#include <vector>

namespace quill::updater {
namespace {

constexpr std::uint32_t CommentBufferSize = 16384;

void ShowRarError(RarWindow& window, const std::wstring& text)
{
    window.ShowMessage(text, RarWindow::Icon::Warning, L"UnRar Error");
}

void RarOpenError(RarWindow& window, int code, const std::wstring& archive)
{
    if (auto text = RarOpenErrorText(code, archive))
        ShowRarError(window, *text);
}

void RarProcessError(RarWindow& window, int code)
{
    if (auto text = RarProcessErrorText(code))
        ShowRarError(window, *text);
}

// A text of the library's: its bytes up to the first zero, in the code page.
std::wstring LibraryText(const char* bytes, std::size_t capacity)
{
    return forms::AnsiToText(std::string_view(bytes, strnlen(bytes, capacity)));
}

// An open archive, closed when the routine leaves by any path: a window's
// message that ends the program unwinds through it too.
class OpenArchive {
public:
    OpenArchive(const UnrarEntryPoints& rar, void* handle) : rar_(rar), handle_(handle) {}
    ~OpenArchive()
    {
        if (handle_ != nullptr)
            rar_.RARCloseArchive(handle_);
    }
    OpenArchive(const OpenArchive&) = delete;
    OpenArchive& operator=(const OpenArchive&) = delete;
    void* Get() const { return handle_; }

private:
    const UnrarEntryPoints& rar_;
    void* handle_;
};

// A code-page text the library may write through, zero-terminated.
std::vector<char> Writable(const std::string& bytes)
{
    std::vector<char> out(bytes.begin(), bytes.end());
    out.push_back('\0');
    return out;
}

}  // namespace

std::optional<std::wstring> RarOpenErrorText(int code, const std::wstring& archive)
{
    switch (code) {
    case ERAR_NO_MEMORY:
        return L"Not enough memory";
    case ERAR_BAD_DATA:
        return archive + L": archive header broken";
    case ERAR_BAD_ARCHIVE:
        return archive + L" is not RAR archive";
    case ERAR_EOPEN:
        return L"Cannot open " + archive;
    default:
        return std::nullopt;
    }
}

std::optional<std::wstring> RarProcessErrorText(int code)
{
    switch (code) {
    case ERAR_BAD_DATA:
        return L"CRC error";
    case ERAR_BAD_ARCHIVE:
        return L"Bad volume";
    case ERAR_UNKNOWN_FORMAT:
        return L"Unknown archive format";
    case ERAR_EOPEN:
        return L"Volume open error";
    case ERAR_ECREATE:
        return L"File create error";
    case ERAR_ECLOSE:
        return L"File close error";
    case ERAR_EREAD:
        return L"Read error";
    case ERAR_EWRITE:
        return L"Write error";
    default:
        return std::nullopt;
    }
}

void ExtractRar(std::int32_t& mode, std::wstring& archive, std::wstring& destination, std::wstring& password,
                const UnrarLoader& library, RarWindow& window)
{
    destination = forms::Trim(destination);
    if (destination.empty() || destination.back() != L'\\')
        destination += L'\\';

    // Loaded only now; without it there is nothing to call.
    const UnrarEntryPoints* rar = nullptr;
    try {
        rar = &library();
    } catch (const forms::RuntimeError& e) {
        ShowRarError(window, e.Description());
        return;
    }

    std::vector<char> archiveName = Writable(forms::TextToAnsi(archive));
    std::vector<char> comment(CommentBufferSize, ' ');
    RAROpenArchiveData open{};
    open.ArcName = archiveName.data();
    open.CmtBuf = comment.data();
    open.CmtBufSize = CommentBufferSize;
    open.OpenMode = mode == 2 ? RAR_OM_LIST : RAR_OM_EXTRACT;
    const OpenArchive archiveHandle(*rar, rar->RAROpenArchive(&open));
    void* handle = archiveHandle.Get();
    // A failed open leaves nothing to read: its message ends the routine.
    if (open.OpenResult != 0 || handle == nullptr) {
        RarOpenError(window, static_cast<int>(open.OpenResult), archive);
        return;
    }

    if (!password.empty()) {
        std::vector<char> secret = Writable(forms::TextToAnsi(password));
        rar->RARSetPassword(handle, secret.data());
    }
    if (open.CmtState == 1)
        window.ShowMessage(LibraryText(comment.data(), comment.size()), RarWindow::Icon::Information,
                           L"Comment");

    const std::string destinationBytes = forms::TextToAnsi(destination);
    RARHeaderData header{};
    int result = rar->RARReadHeader(handle, &header);
    while (result == 0) {
        const std::wstring name = LibraryText(header.FileName, sizeof header.FileName);
        const std::string fileName(header.FileName, strnlen(header.FileName, sizeof header.FileName));
        std::vector<char> none = Writable("");
        bool refused = false;
        switch (mode) {
        case 0: {
            window.AddRow(L"解压 " + name);
            // A name that climbs out of the destination or names a drive is
            // skipped rather than written where it points.
            refused = !UpdatePath::Parse(name);
            std::vector<char> target = Writable(destinationBytes + fileName);
            result = refused ? rar->RARProcessFile(handle, RAR_SKIP, none.data(), none.data())
                             : rar->RARProcessFile(handle, RAR_EXTRACT, none.data(), target.data());
            break;
        }
        case 1: {
            window.AddRow(L"测试 " + name);
            std::vector<char> target = Writable(fileName);
            result = rar->RARProcessFile(handle, RAR_TEST, none.data(), target.data());
            break;
        }
        case 2:
            window.AddRow(L"文件: " + name + L"\t\t\tSize: " + std::to_wstring(header.UnpSize));
            result = rar->RARProcessFile(handle, RAR_SKIP, none.data(), none.data());
            break;
        default:
            // No row for a mode the routine does not know; the entry is passed
            // over so that the next header comes.
            refused = true;
            result = rar->RARProcessFile(handle, RAR_SKIP, none.data(), none.data());
            break;
        }
        if (result != 0)
            RarProcessError(window, result);
        else if (!refused)
            window.AppendToLastRow(L"\tOK");
        result = rar->RARReadHeader(handle, &header);
        window.Repaint();
    }
    if (result == ERAR_BAD_DATA)
        ShowRarError(window, L"File header broken");
}

}  // namespace quill::updater
