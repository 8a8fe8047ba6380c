#pragma once
// The updater's window against the reference service on free ports: a
// program folder of its own holding the 1.3 main program, the files the
// service publishes, and what the folder holds afterwards.
#include "TempFolder.h"
#include "forms/MessageBox.h"
#include "forms/Pump.h"
#include "forms/Shell.h"
#include "tests/support/ReferenceService.h"
#include "updater/Online.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace quill::updater::testing {

struct PublishedFile {
    std::wstring path;  // as the descriptor lists it, "/" between folders
    std::string bytes;
};

// Version 1.4: a new main program, the updater's own replacement and a
// library two folders down.
std::vector<PublishedFile> Release14();
// The files as they lie in a folder once installed: "\\" between folders.
std::map<std::wstring, std::string> Installed(const std::vector<PublishedFile>& files);

// A window whose archive routine the tests may call, and which counts its
// reads of the saved descriptor.
class OnlineWindow : public Online {
public:
    using Online::ExtractRar;
    using Online::KillProcessByName;
    using Online::Online;

    int descriptorReads = 0;

protected:
    forms::Bytes ReadDescriptor(const std::wstring& path) override
    {
        ++descriptorReads;
        return Online::ReadDescriptor(path);
    }
};

class OnlineFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    static test::ReferenceService& Service() { return *service_; }
    // Puts the files in the service's update folder and names the version.
    void Publish(const std::vector<PublishedFile>& files, const std::string& newver = "1.4");
    // A descriptor of the test's own, served as it is (code-page bytes).
    void PublishDescriptor(const std::string& text);
    void Fault(const std::string& json);
    // The updater's requests for the descriptor and files, oldest first.
    std::vector<test::LoggedRequest> UpdateRequests();

    // Loads the window (and shows it unless the program ended on loading).
    OnlineWindow& Open();
    // Presses a button as the mouse does (button down and up in its middle).
    static void Press(button::StyledButtonBase& button);

    // Every file below the program folder (outside its cache folder), by
    // relative path.
    std::map<std::wstring, std::string> ProgramFiles() const;
    // Whether a name that would have left the program folder exists where it
    // would have landed.
    bool EscapedAnywhere(const std::wstring& name) const;
    std::wstring Cache(const std::wstring& relative) const { return program / (L"update\\" + relative); }

    TempFolder program;
    std::string oldMainProgram;  // the 1.3 main program's bytes
    std::unique_ptr<OnlineWindow> window;
    forms::EndRecorder ends;
    forms::ShellExecuteRecorder shell;

private:
    static std::unique_ptr<test::ReferenceService> service_;
};

// A left click in the middle of a window as the mouse's messages: sent, so
// that it is handled now, or posted, so that it waits for whoever pumps next.
enum class Delivery { Sent, Posted };
void ClickMessages(HWND window, Delivery delivery);

// Text of the message boxes shown, for failure messages.
std::string Describe(const std::vector<forms::MessageBoxScript::Shown>& boxes);

}  // namespace quill::updater::testing
