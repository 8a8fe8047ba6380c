#include "workspace/DetailActions.h"

namespace quill::workspace {

const DetailActionTexts& TextsOf(DetailAction action)
{
    static const DetailActionTexts badDebt{
        L"确定要设置该项目为坏账状态吗？\r\n请检查坏账金额是否正确，如果有部分回款请修改正确金额。",
        L"成功该项目为坏账状态。", L"设置坏账成功"};
    static const DetailActionTexts remove{L"确定要删除该项吗？删除后无法恢复！", L"成功删除该项目。",
                                          L"删除成功"};
    static const DetailActionTexts finish{L"确定设置该项目为完成状态吗？\r\n注意：请检查实际收入资金与账目是"
                                          L"否一致，不一致请修改一致后再操作。\r\n"
                                          L"完成后的项目，不可以再修改。",
                                          L"成功设置项目到完成状态。", L"设置完成状态成功"};
    switch (action) {
    case DetailAction::BadDebt:
        return badDebt;
    case DetailAction::Delete:
        return remove;
    case DetailAction::Finish:
        break;
    }
    return finish;
}

bool FinishRefused(double dueDate, double today)
{
    return dueDate > today;
}

protocol::ServiceRequest DetailActionRequest(DetailAction action, std::int32_t projectId,
                                             std::wstring_view authQuery)
{
    switch (action) {
    case DetailAction::BadDebt:
        return protocol::BadDebtRequest(projectId, authQuery);
    case DetailAction::Delete:
        return protocol::DeleteRequest(projectId, authQuery);
    case DetailAction::Finish:
        break;
    }
    return protocol::FinishRequest(projectId, authQuery);
}

}  // namespace quill::workspace
