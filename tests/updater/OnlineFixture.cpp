#include "OnlineFixture.h"

#include "forms/lang/Ansi.h"

#include <windows.h>

namespace quill::updater::testing {

std::unique_ptr<test::ReferenceService> OnlineFixture::service_;

std::vector<PublishedFile> Release14()
{
    std::string library;
    for (int i = 0; i < 2048; ++i)
        library += static_cast<char>(i * 7 % 251);
    // The new main program differs in size too (a program tolerates bytes after its image).
    return {{L"tallivo.exe", ReadWholeFile(Fixture(L"fake_tallivo_14.exe")) + std::string(1000, '\0')},
            {L"update.ocx", "MZ" + std::string(1000, '\x90')},
            {L"sub/dir/a.dll", library}};
}

std::map<std::wstring, std::string> Installed(const std::vector<PublishedFile>& files)
{
    std::map<std::wstring, std::string> out;
    for (const PublishedFile& f : files) {
        std::wstring path = f.path;
        for (auto& c : path)
            if (c == L'/')
                c = L'\\';
        out[path] = f.bytes;
    }
    return out;
}

void OnlineFixture::SetUpTestSuite()
{
    service_ = std::make_unique<test::ReferenceService>();
}

void OnlineFixture::TearDownTestSuite()
{
    service_.reset();
}

void OnlineFixture::SetUp()
{
    service_->Control(R"({"op":"reset"})");
    RemoveTree(service_->UpdateFolder());
    CreateDirectoryW(service_->UpdateFolder().c_str(), nullptr);
    oldMainProgram = ReadWholeFile(Fixture(L"fake_tallivo_13.exe"));
    WriteBytes(program / L"tallivo.exe", oldMainProgram);
}

void OnlineFixture::TearDown()
{
    if (window && window->IsLoaded()) {
        window->MainStop = true;
        window->Unload();
    }
    window.reset();
}

void OnlineFixture::Publish(const std::vector<PublishedFile>& files, const std::string& newver)
{
    for (const auto& [path, bytes] : Installed(files))
        WriteBytes(service_->UpdateFolder() + L"\\" + path, bytes);
    service_->Control(R"({"op":"set","update_newver":")" + newver + R"("})");
}

void OnlineFixture::PublishDescriptor(const std::string& text)
{
    WriteBytes(service_->UpdateFolder() + L"\\update.txt", text);
}

void OnlineFixture::Fault(const std::string& json)
{
    service_->Control(R"({"op":"fault",)" + json.substr(1));
}

std::vector<test::LoggedRequest> OnlineFixture::UpdateRequests()
{
    std::vector<test::LoggedRequest> out;
    for (auto& r : service_->Requests("primary", 200))
        if (r.target == "update")
            out.push_back(std::move(r));
    return out;
}

OnlineWindow& OnlineFixture::Open()
{
    window = std::make_unique<OnlineWindow>(OnlineSetup{.programFolder = program.Path(),
                                                        .updateBaseUrl = service_->Primary(),
                                                        .homePage = L"http://home.example/"});
    window->Load();
    if (!window->Ended())
        window->Show();
    forms::DoEvents();
    return *window;
}

void OnlineFixture::Press(button::StyledButtonBase& button)
{
    ClickMessages(button.hWnd(), Delivery::Sent);
    forms::DoEvents();
}

void ClickMessages(HWND window, Delivery delivery)
{
    RECT r{};
    GetClientRect(window, &r);
    const LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
    const std::pair<UINT, WPARAM> messages[] = {
        {WM_MOUSEMOVE, 0}, {WM_LBUTTONDOWN, MK_LBUTTON}, {WM_LBUTTONUP, 0}};
    for (const auto& [message, keys] : messages)
        if (delivery == Delivery::Sent)
            SendMessageW(window, message, keys, at);
        else
            PostMessageW(window, message, keys, at);
}

namespace {

void Collect(const std::wstring& folder, const std::wstring& prefix, std::map<std::wstring, std::string>& out)
{
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const std::wstring relative = prefix.empty() ? name : prefix + L"\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!(prefix.empty() && name == L"update"))
                Collect(folder + L"\\" + name, relative, out);
        } else {
            out[relative] = ReadWholeFile(folder + L"\\" + name);
        }
    } while (FindNextFileW(h, &found));
    FindClose(h);
}

}  // namespace

std::map<std::wstring, std::string> OnlineFixture::ProgramFiles() const
{
    std::map<std::wstring, std::string> files;
    Collect(program.Path(), L"", files);
    return files;
}

bool OnlineFixture::EscapedAnywhere(const std::wstring& name) const
{
    const std::wstring parent = program.Path().substr(0, program.Path().rfind(L'\\'));
    const std::wstring grandParent = parent.substr(0, parent.rfind(L'\\'));
    for (const std::wstring& folder :
         {parent, grandParent, program.Path().substr(0, 2), std::wstring(L"C:"), std::wstring(L"Z:")})
        if (Exists(folder + L"\\" + name))
            return true;
    return false;
}

std::string Describe(const std::vector<forms::MessageBoxScript::Shown>& boxes)
{
    std::string out;
    for (const auto& b : boxes)
        out.append("[")
            .append(test::ToUtf8(b.title))
            .append("] ")
            .append(test::ToUtf8(b.prompt))
            .append("\n");
    return out;
}

}  // namespace quill::updater::testing
