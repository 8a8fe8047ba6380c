#pragma once
// The list view's window as an OLE drop target (OLEDropMode 1): what is
// dragged over it and dropped on it reaches the host as OLEDragOver and
// OLEDragDrop, while the list is Enabled.
#include <ole2.h>
#include <windows.h>

#include <memory>

namespace quill::listview {

class ListView;

class ListDropTarget final : public IDropTarget {
public:
    // Null when the window cannot accept drops (OLE not available here).
    static std::unique_ptr<ListDropTarget> Register(ListView& list);
    ~ListDropTarget();
    ListDropTarget(const ListDropTarget&) = delete;
    ListDropTarget& operator=(const ListDropTarget&) = delete;

    // IUnknown: the list owns the object; OLE's references end with the
    // registration, before the object does.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL pt, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override;

private:
    explicit ListDropTarget(ListView& list) : list_(list) {}
    void RaiseOver(DWORD keys, POINTL pt, DWORD* effect, int16_t state);

    ListView& list_;
    ULONG references_ = 0;
    bool oleStarted_ = false;
    bool registered_ = false;
    IDataObject* data_ = nullptr;  // during a drag over the window
};

}  // namespace quill::listview
