#include "controls/listview/ListDropTarget.h"

#include "controls/listview/ListView.h"

namespace quill::listview {

namespace {

int16_t ButtonsOf(DWORD keys)
{
    return static_cast<int16_t>(((keys & MK_LBUTTON) ? forms::vbLeftButton : 0) |
                                ((keys & MK_RBUTTON) ? forms::vbRightButton : 0) |
                                ((keys & MK_MBUTTON) ? forms::vbMiddleButton : 0));
}

int16_t ShiftOf(DWORD keys)
{
    return static_cast<int16_t>(((keys & MK_SHIFT) ? forms::vbShiftMask : 0) |
                                ((keys & MK_CONTROL) ? forms::vbCtrlMask : 0) |
                                ((keys & MK_ALT) ? forms::vbAltMask : 0));
}

POINT ClientPoint(HWND window, POINTL pt)
{
    POINT p{pt.x, pt.y};
    ScreenToClient(window, &p);
    return p;
}

}  // namespace

std::unique_ptr<ListDropTarget> ListDropTarget::Register(ListView& list)
{
    std::unique_ptr<ListDropTarget> target(new ListDropTarget(list));
    const HRESULT started = OleInitialize(nullptr);
    target->oleStarted_ = SUCCEEDED(started);
    if (!target->oleStarted_)
        return nullptr;
    target->registered_ = SUCCEEDED(RegisterDragDrop(list.hWnd(), target.get()));
    if (!target->registered_)
        return nullptr;
    return target;
}

ListDropTarget::~ListDropTarget()
{
    if (registered_ && IsWindow(list_.hWnd()))
        RevokeDragDrop(list_.hWnd());
    if (oleStarted_)
        OleUninitialize();
}

HRESULT ListDropTarget::QueryInterface(REFIID riid, void** object)
{
    if (riid == IID_IUnknown || riid == IID_IDropTarget) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

void ListDropTarget::RaiseOver(DWORD keys, POINTL pt, DWORD* effect, int16_t state)
{
    if (!list_.Enabled_)
        return;
    const POINT p = ClientPoint(list_.hWnd(), pt);
    OLEDragOverArgs args{data_,         static_cast<int32_t>(*effect), ButtonsOf(keys),
                         ShiftOf(keys), static_cast<float>(p.x),       static_cast<float>(p.y),
                         state};
    list_.OLEDragOver(args);
    *effect = static_cast<DWORD>(args.Effect);
}

HRESULT ListDropTarget::DragEnter(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect)
{
    data_ = data;
    RaiseOver(keys, pt, effect, 0);
    return S_OK;
}

HRESULT ListDropTarget::DragOver(DWORD keys, POINTL pt, DWORD* effect)
{
    RaiseOver(keys, pt, effect, 2);
    return S_OK;
}

HRESULT ListDropTarget::DragLeave()
{
    POINT cursor{};
    GetCursorPos(&cursor);
    DWORD effect = DROPEFFECT_NONE;
    RaiseOver(0, {cursor.x, cursor.y}, &effect, 1);
    data_ = nullptr;
    return S_OK;
}

HRESULT ListDropTarget::Drop(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect)
{
    data_ = nullptr;
    if (!list_.Enabled_)
        return S_OK;
    const POINT p = ClientPoint(list_.hWnd(), pt);
    OLEDragDropArgs args{data,          static_cast<int32_t>(*effect), ButtonsOf(keys),
                         ShiftOf(keys), static_cast<float>(p.x),       static_cast<float>(p.y)};
    list_.OLEDragDrop(args);
    *effect = static_cast<DWORD>(args.Effect);
    return S_OK;
}

}  // namespace quill::listview
