// The wizard's moves: the downloaded files into the program folder, the
// originals kept until the last move and put back when one fails.
#include "updater/Online.h"

#include "forms/Files.h"
#include "forms/MessageBox.h"
#include "forms/lang/Error.h"
#include "forms/lang/Text.h"
#include "updater/OnlineTexts.h"
#include "updater/ProgramProcesses.h"

namespace quill::updater {

std::wstring Online::BackupFolder() const
{
    return CacheFolder + L"~backup";
}

void Online::TakeBackMoves()
{
    if (moves_) {
        moves_->Rollback();
        moves_.reset();
    }
}

bool Online::MoveRows()
{
    moves_.emplace(BackupFolder());
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
                L"是否重试？重试将尝试退出正在运行的程序。选择否将可能导致文件更新不一致，造成意外错误。";
            if (Ask(question, forms::vbQuestion | forms::vbYesNo, ProgramTitle) == forms::vbYes) {
                KillProcessByName(MainProgram);
                continue;
            }
            // Declined: the program folder goes back to how it was.
            TakeBackMoves();
            MainStop = true;
            CloseWindow();
            return false;
        }
    }
    moves_->Commit();
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
    MoveJournal single(BackupFolder());
    const bool moved = single.Replace(Mfsource, Mftargth);
    single.Commit();
    return moved;
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
