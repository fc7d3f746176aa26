#pragma once
// Small move-only owners for platform handles and buffers, so logic code never closes by hand.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cstdint>
#include <utility>

// `InvalidValue` is the handle value that means "none" (0, or -1 for file handles).
template <typename T, auto Close, std::intptr_t InvalidValue = 0>
class UniqueHandle {
    static inline const T Invalid = reinterpret_cast<T>(InvalidValue);

public:
    UniqueHandle() = default;
    explicit UniqueHandle(T value) : value_(value) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : value_(std::exchange(other.value_, Invalid)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(std::exchange(other.value_, Invalid));
        return *this;
    }
    ~UniqueHandle() { reset(); }

    T get() const { return value_; }
    explicit operator bool() const { return value_ != Invalid; }
    T* put() {
        reset();
        return &value_;
    }
    T release() { return std::exchange(value_, Invalid); }
    void reset(T value = Invalid) {
        if (value_ != Invalid) Close(value_);
        value_ = value;
    }

private:
    T value_ = Invalid;
};

namespace handles {
inline void CloseKernel(HANDLE h) {
    ::CloseHandle(h);
}
inline void DestroyIconHandle(HICON h) {
    ::DestroyIcon(h);
}
inline void DeleteGdi(HGDIOBJ h) {
    ::DeleteObject(h);
}
inline void FreeLocal(void* p) {
    ::LocalFree(p);
}
inline void FreeCoTask(void* p) {
    ::CoTaskMemFree(p);
}
inline void FreeGlobal(HGLOBAL h) {
    ::GlobalFree(h);
}
inline void DestroyImageList(HIMAGELIST h) {
    ::ImageList_Destroy(h);
}
inline void FindCloseHandle(HANDLE h) {
    ::FindClose(h);
}
inline void FreeItemIdList(PIDLIST_ABSOLUTE p) {
    ::CoTaskMemFree(p);
}
inline void DestroyAccelerators(HACCEL h) {
    ::DestroyAcceleratorTable(h);
}
}  // namespace handles

using UniqueFile = UniqueHandle<HANDLE, handles::CloseKernel, -1>;
using UniqueKernelHandle = UniqueHandle<HANDLE, handles::CloseKernel>;
using UniqueIcon = UniqueHandle<HICON, handles::DestroyIconHandle>;
using UniqueFont = UniqueHandle<HFONT, handles::DeleteGdi>;
using UniqueBitmap = UniqueHandle<HBITMAP, handles::DeleteGdi>;
using UniqueBrush = UniqueHandle<HBRUSH, handles::DeleteGdi>;
using UniqueLocalBuffer = UniqueHandle<void*, handles::FreeLocal>;
using UniqueCoTaskMem = UniqueHandle<void*, handles::FreeCoTask>;
using UniqueGlobal = UniqueHandle<HGLOBAL, handles::FreeGlobal>;
using UniqueImageList = UniqueHandle<HIMAGELIST, handles::DestroyImageList>;
using UniqueItemIdList = UniqueHandle<PIDLIST_ABSOLUTE, handles::FreeItemIdList>;
using UniqueAccelerators = UniqueHandle<HACCEL, handles::DestroyAccelerators>;
