// Online: the updater's one window, a wizard. It reads the main program's
// version, fetches the service's update descriptor, lists the files that
// differ, downloads them into the cache folder, moves them into the program
// folder (undoably until the last move) and offers to start the main program
// again. The wizard button's caption carries the wizard's state: "下一步",
// "上一步", "开始下载", or hidden once the download has begun.
#pragma once

#include "controls/button/StyledButton.h"
#include "forms/Form.h"
#include "forms/Frame.h"
#include "forms/Image.h"
#include "forms/Label.h"
#include "forms/ListBox.h"
#include "forms/Loaded.h"
#include "forms/TimerControl.h"
#include "updater/ExtractRar.h"
#include "updater/FileMoves.h"
#include "updater/SegmentedProgressBar.h"
#include "updater/UnrarLibrary.h"
#include "updater/UpdateDescriptor.h"
#include "updater/UpdatePath.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quill::updater {

// Where the updater works. Empty fields take the program's own: the folder
// of update.exe, the service's primary base URL (the build's, or
// QUILL_SERVER_BASE_URL from the environment) and the root of its host.
struct OnlineSetup {
    std::wstring programFolder;
    std::wstring updateBaseUrl;
    std::wstring homePage;
};

class Online : public forms::Form {
public:
    explicit Online(OnlineSetup setup = {});
    ~Online() override;

    // The version of the main program file into FullFileName, StrucVer,
    // FileVer, ProdVer and CurrentVersion ("" when it cannot be read).
    void Getver();
    // One value of the saved descriptor.
    std::wstring Getini(const std::wstring& section, const std::wstring& key);
    // The version test and the file list, or the end of the program.
    void SetDown();
    // Downloads every listed file, moves them into place, reports done.
    void GetNext();
    // True when a complete reply (status 200) was saved at SavePath: a body
    // exactly listedSize bytes long, or without a listed size no longer than
    // the descriptor's limit. Network failures, the time limit and a
    // transfer that shows no sign of life for the stall limit give false; a file
    // that cannot be written raises its run-time error.
    bool DownHttpFile(const std::wstring& DownUrlPath, const std::wstring& SavePath,
                      std::optional<double> listedSize = std::nullopt);
    // Drops a URL from the system's internet cache (never a local path).
    void DelCache(const std::wstring& Delin);
    // Replaces the target by the source in one step, keeping the replaced
    // file until the update has finished; "/" becomes "\" in both.
    bool MoveFile(std::wstring Mfsource, std::wstring& Mftargth);
    bool CreatePath(const std::wstring& Cpstr);
    std::int16_t GetRnd(std::int16_t Rnds);

    // True once the program has ended (tests: forms::End returns).
    bool Ended() const { return ended_; }

    // Form-level state.
    std::wstring FullFileName, StrucVer, FileVer, ProdVer, CurrentVersion;
    std::wstring CacheFolder, DescriptorText;
    std::int16_t Inid = 0;
    std::int16_t InTime = 0;
    bool MainStop = false;
    std::int16_t StarCount = 0;

    // Controls.
    forms::Loaded<forms::Frame> Frame1;
    forms::Loaded<forms::Image> Image1;
    forms::Loaded<forms::Label> whitebl;
    forms::Loaded<forms::Frame> Frame2;
    forms::ControlArray<forms::Label> Label1;
    forms::Loaded<forms::Frame> Frame3;
    forms::Loaded<forms::Label> Waitlab;
    forms::Loaded<forms::TimerControl> Timer1;
    forms::Loaded<forms::Frame> Frame4;
    forms::Loaded<forms::ListBox> List1;
    forms::Loaded<forms::ListBox> List2;
    forms::Loaded<forms::ListBox> List3;
    forms::Loaded<SegmentedProgressBar> Down1;
    forms::Loaded<forms::TimerControl> OutTi;
    forms::Loaded<forms::Label> Verlabel;
    forms::Loaded<forms::Label> NewVer;
    forms::Loaded<button::UpdaterStyledButton> StyledButton2;
    forms::Loaded<button::UpdaterStyledButton> StyledButton1;

    // Handlers.
    void StyledButton2_Click();
    void StyledButton1_Click();
    void OutTi_Timer();
    void Timer1_Timer();
    void List_MouseDown(forms::ListBox& pressed);

protected:
    void CreateControls() override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void Form_Load() override;
    void Form_Unload(std::int16_t& Cancel) override;

    // The archive routine that no path of the wizard calls; its rows go to
    // List1, its errors to message boxes.
    void ExtractRar(std::int32_t& mode, std::wstring& archive, std::wstring& destination,
                    std::wstring& password);
    void KillProcessByName(const std::wstring& name);
    // The saved descriptor's bytes, for the values Getini reads from it.
    virtual forms::Bytes ReadDescriptor(const std::wstring& path);

private:
    struct ProgramEnded {};          // unwinds the running handlers once the program has ended
    struct DescriptorUnreadable {};  // the saved descriptor is gone: the list cannot be made
    class ListRows;
    class ListFill;
    enum class Fetched { Saved, Failed, Oversized };

    template <class Handler>
    void Run(Handler&& handler);
    void CheckEnded() const;
    [[noreturn]] void EndAtOnce();
    // Closes the window as the program does: false when the quit question
    // kept it open; otherwise the program has ended and this does not return.
    bool CloseWindow();
    bool AskToQuit();
    void FinishClose();

    void Connect();
    void BackToWelcome();
    void StartDownload();
    bool DownloadRow(int row);
    bool MoveRows();
    void OpenHomePage();
    std::int32_t Ask(const std::wstring& prompt, std::int32_t buttons, const std::wstring& title);
    std::wstring DescriptorPath() const;
    // Why the entry of a row of the file list cannot be fetched; "" when it can.
    std::wstring RefusalOf(int row) const;
    std::wstring TargetOf(const UpdatePath& path) const;
    // Equal for the entries that name one file in the program folder.
    std::wstring SameFileKey(const UpdatePath& path) const;
    std::wstring BackupFolder() const;
    bool MayWrite(const UpdatePath& path) const;
    Fetched Fetch(const std::wstring& url, const std::wstring& savePath, std::optional<double> listedSize);
    // Takes back the moves of this run; a step that cannot be taken back now
    // comes back, and stays for the next start.
    TakenBack TakeBackMoves(const RollbackProgress& progress = {});
    // Says what a rollback or recovery left: a step it could not take back,
    // the copies it kept.
    void TellTakenBack(const TakenBack& left);
    void TellKept(const TakenBack& left);
    std::wstring BlockedText(const BlockedStep& blocked) const;
    // Finishes what an earlier run left to take back, or says what stands in
    // the way: false when the user stops there.
    bool FinishEarlierMoves();
    // A long rollback's steps on Down1, the window's messages running after
    // each: the window shows (the start-up recovery on a page of its own)
    // and takes no input until the last step.
    RollbackProgress RollbackBar();
    void ShowRecoveryPage();
    // The welcome page again after the start-up recovery's.
    void EndRecoveryPage();

    OnlineSetup setup_;
    bool ended_ = false;
    // Per row of the file list: the checked path and the listed size, or no
    // path or no count of bytes for an entry that may not be written (see
    // RefusalOf).
    struct Row {
        std::optional<UpdatePath> path;
        double size = 0;
        bool sized = false;  // the size is a count of bytes (ByteCount)
    };
    std::vector<Row> rows_;
    std::optional<MoveJournal> moves_;
    bool rollingBack_ = false;
    // The captions the recovery page replaced (title, status line).
    std::optional<std::pair<std::wstring, std::wstring>> recoveryPage_;
    // The descriptor's section as read once while the list is made.
    std::optional<std::pair<std::wstring, ProfileSection>> descriptorSection_;
    UnrarLibrary unrar_;
};

}  // namespace quill::updater
