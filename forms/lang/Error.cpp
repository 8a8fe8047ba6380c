#include "forms/lang/Error.h"

namespace quill::forms {

std::wstring ErrorDescription(int number)
{
    switch (number) {
    case kInvalidCall:
        return L"无效的过程调用或参数";
    case kOverflow:
        return L"溢出";
    case kOutOfMemory:
        return L"内存溢出";
    case kSubscriptOutOfRange:
        return L"下标越界";
    case kDivisionByZero:
        return L"除数为零";
    case kTypeMismatch:
        return L"类型不匹配";
    case kBadFileNameOrNumber:
        return L"文件名或文件号错误";
    case kFileNotFound:
        return L"文件未找到";
    case kFileAlreadyOpen:
        return L"文件已打开";
    case kDeviceIoError:
        return L"设备 I/O 错误";
    case kFileAlreadyExists:
        return L"文件已存在";
    case kInputPastEndOfFile:
        return L"输入超出文件尾";
    case kPermissionDenied:
        return L"没有权限";
    case kPathFileAccessError:
        return L"路径/文件访问错误";
    case kPathNotFound:
        return L"路径未找到";
    case kObjectNotSet:
        return L"对象变量或 With 块变量未设置";
    case kInvalidPropertyValue:
        return L"无效属性值";
    case kClassNotAvailable:
        return L"ActiveX 部件不能创建对象";
    case kMemberNotSupported:
        return L"对象不支持该属性或方法";
    default:
        return L"应用程序定义或对象定义错误";
    }
}

}  // namespace quill::forms
