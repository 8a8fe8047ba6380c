// The wizard's moves: the downloaded files into the program folder, the
// originals kept until the last move and put back when one fails.
#include "updater/Online.h"

#include "forms/Files.h"
#include "forms/MessageBox.h"
#include "forms/lang/Error.h"
#include "forms/lang/Text.h"
#include "updater/OnlineTexts.h"
#include "updater/ProgramProcesses.h"

#include <windows.h>

namespace quill::updater {

std::wstring Online::BackupFolder() const
{
    return CacheFolder + L"~backup";
}

TakenBack Online::TakeBackMoves(const RollbackProgress& progress)
{
    TakenBack left;
    if (moves_) {
        left = moves_->Rollback(progress);
        moves_.reset();
    }
    return left;
}

// "文件[docs/readme.txt]正在被其他程序使用": the file as the list names it,
// and why it cannot be written.
std::wstring Online::BlockedText(const BlockedStep& blocked) const
{
    std::wstring name = blocked.file;
    const std::wstring folder = setup_.programFolder + L"\\";
    if (name.size() > folder.size() && forms::TextEquals(name.substr(0, folder.size()), folder))
        name = forms::Replace(name.substr(folder.size()), L"\\", L"/");
    std::wstring why;
    switch (blocked.error) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        why = L"正在被其他程序使用";
        break;
    case ERROR_ACCESS_DENIED:
        why = L"被占用或没有写入权限";
        break;
    default:
        why = L"无法写入(系统错误 " + std::to_wstring(blocked.error) + L")";
    }
    return L"文件[" + name + L"]" + why;
}

void Online::TellTakenBack(const TakenBack& left)
{
    TellKept(left);
    if (left.blocked)
        Ask(L"无法恢复更新前的文件:" + BlockedText(*left.blocked) + L"。\r\n" +
                L"请关闭相关程序后再次运行在线更新程序，将先完成恢复。",
            forms::vbExclamation, ProgramTitle);
}

// Files changed since the run that moved them stay as they are, and so do
// the copies a journal that cannot be read whole still holds: the user is
// told where those copies are.
void Online::TellKept(const TakenBack& left)
{
    constexpr std::size_t Listed = 10;
    const auto list = [&](const std::vector<std::wstring>& paths) {
        std::wstring text;
        for (std::size_t i = 0; i < paths.size() && i < Listed; ++i)
            text += L"\r\n" + paths[i];
        if (paths.size() > Listed)
            text += L"\r\n(等共 " + std::to_wstring(paths.size()) + L" 个)";
        return text;
    };
    if (!left.keptBeside.empty())
        Ask(L"以下文件在上次更新之后已被改动，保持不变；它们更新前的副本保存在旁边:" + list(left.keptBeside),
            forms::vbExclamation, ProgramTitle);
    if (!left.keptFolders.empty())
        Ask(L"以下更新备份的记录无法完整读取，其中保存的文件均未改动，请自行检查:" + list(left.keptFolders),
            forms::vbExclamation, ProgramTitle);
}

// A run that could not take back all of its moves left them to the next
// start: no update begins over files that could still be put back.
bool Online::FinishEarlierMoves()
{
    for (;;) {
        const TakenBack left = MoveJournal::Recover(BackupFolder(), setup_.programFolder, RollbackBar());
        TellKept(left);
        if (!left.blocked)
            return true;
        const std::wstring question = L"上次更新未能恢复原来的文件:" + BlockedText(*left.blocked) + L"。\r\n" +
                                      L"是否重试？重试将尝试退出正在运行的程序。选择否将退出在线更新程序。";
        if (Ask(question, forms::vbQuestion | forms::vbYesNo, ProgramTitle) != forms::vbYes)
            return false;
        KillProcessByName(MainProgram);
    }
}

bool Online::MoveRows()
{
    moves_.emplace(BackupFolder(), setup_.programFolder);
    const int rows = List1->ListCount();
    for (int i = 0; i < rows; ++i) {
        Inid = static_cast<std::int16_t>(i);
        const Row& row = rows_.at(static_cast<std::size_t>(i));
        const UpdatePath& path = *row.path;
        const std::wstring cached = CacheFolder + path.WindowsPath();
        // Only the bytes downloaded for this entry may be installed.
        if (!forms::FileExists(cached) || static_cast<double>(forms::FileLen(cached)) != row.size) {
            List3->List(i, L"错误");
            throw forms::RuntimeError(forms::kDeviceIoError,
                                      L"更新文件[" + List1->List(i) + L"]与更新信息不符");
        }
        std::wstring target = TargetOf(path);
        while (!MoveFile(cached, target)) {
            const std::wstring question =
                L"移动文件[" + List1->List(i) + L"]时出错:" + L",请确认相关文件和程序未被打开或运行。" +
                L"\r\n" +
                L"是否重试？重试将尝试退出正在运行的程序。选择否将把已移动的文件全部恢复为更新前的版本，并结束本次更新。";
            if (Ask(question, forms::vbQuestion | forms::vbYesNo, ProgramTitle) == forms::vbYes) {
                KillProcessByName(MainProgram);
                continue;
            }
            // Declined: the program folder goes back to how it was.
            TellTakenBack(TakeBackMoves(RollbackBar()));
            MainStop = true;
            CloseWindow();
            return false;
        }
    }
    if (!moves_->Commit()) {
        // The moves could not be made final: they are taken back now, as
        // the next start would.
        Ask(L"无法完成更新(写入更新记录失败)，将恢复原来的文件。", forms::vbExclamation, ProgramTitle);
        TellTakenBack(TakeBackMoves(RollbackBar()));
        MainStop = true;
        CloseWindow();
        return false;
    }
    moves_.reset();
    return true;
}

bool Online::MoveFile(std::wstring Mfsource, std::wstring& Mftargth)
{
    Mfsource = forms::Replace(Mfsource, L"/", L"\\");
    Mftargth = forms::Replace(Mftargth, L"/", L"\\");
    if (moves_)
        return moves_->Replace(Mfsource, Mftargth);
    // A move of its own, not part of an update's: nothing to take back later.
    MoveJournal single(BackupFolder(), setup_.programFolder);
    const bool moved = single.Replace(Mfsource, Mftargth);
    return single.Commit() && moved;
}

bool Online::CreatePath(const std::wstring& Cpstr)
{
    return updater::CreatePath(Cpstr);
}

void Online::KillProcessByName(const std::wstring& name)
{
    updater::KillProcessByName(name, setup_.programFolder);
}

}  // namespace quill::updater
