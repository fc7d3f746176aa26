#pragma once
// Owners for every paired platform call, so logic code never closes, releases or restores by
// hand: a move-only owner for handles and buffers that takes the platform's own closer, and
// scoped owners for what is undone where it was done (device contexts, selected GDI objects,
// the open clipboard, any other clean-up).
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdint>
#include <utility>

// `Close` is the platform's closer (::DestroyIcon, ::CloseHandle ...); `InvalidValue` is the
// handle value that means "none" (0, or -1 for file handles).
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
    // Closes at once; false when the platform's closer reports a failure (a file whose last
    // writes the disk could not take reports it here).
    bool closeNow() {
        const T value = release();
        return value == Invalid || Close(value);
    }
    void reset(T value = Invalid) {
        if (value_ != Invalid) Close(value_);
        value_ = value;
    }

private:
    T value_ = Invalid;
};

using UniqueFile = UniqueHandle<HANDLE, ::CloseHandle, -1>;
using UniqueKernelHandle = UniqueHandle<HANDLE, ::CloseHandle>;
using UniqueFind = UniqueHandle<HANDLE, ::FindClose, -1>;
using UniqueIcon = UniqueHandle<HICON, ::DestroyIcon>;
using UniqueFont = UniqueHandle<HFONT, ::DeleteObject>;
using UniqueBitmap = UniqueHandle<HBITMAP, ::DeleteObject>;
using UniqueBrush = UniqueHandle<HBRUSH, ::DeleteObject>;
using UniqueMemoryDC = UniqueHandle<HDC, ::DeleteDC>;
using UniqueLocalBuffer = UniqueHandle<HLOCAL, ::LocalFree>;
using UniqueGlobal = UniqueHandle<HGLOBAL, ::GlobalFree>;
using UniqueImageList = UniqueHandle<HIMAGELIST, ::ImageList_Destroy>;
using UniqueAccelerators = UniqueHandle<HACCEL, ::DestroyAcceleratorTable>;
using UniqueDrop = UniqueHandle<HDROP, ::DragFinish>;
using UniqueItemIdList = UniqueHandle<PIDLIST_ABSOLUTE, ::CoTaskMemFree>;
// A buffer the platform allocated with CoTaskMemAlloc and handed over (a shell item's name ...).
template <typename T>
using UniqueCoTaskMem = UniqueHandle<T*, ::CoTaskMemFree>;

// A window's device context, for as long as it lives.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(::GetDC(window)) {}
    ~WindowDC() {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// A window's painting, from BeginPaint to EndPaint, for as long as it lives.
class PaintingDC {
public:
    explicit PaintingDC(HWND window) : window_(window), dc_(::BeginPaint(window, &paint_)) {}
    ~PaintingDC() { ::EndPaint(window_, &paint_); }
    PaintingDC(const PaintingDC&) = delete;
    PaintingDC& operator=(const PaintingDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// A GDI object selected into a device context, for as long as it lives; then the one it
// replaced is selected again.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (previous_) ::SelectObject(dc_, previous_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// The clipboard, open for this program as long as it lives (when opening it succeeded).
class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND owner) : open_(::OpenClipboard(owner) != FALSE) {}
    ~OpenedClipboard() {
        if (open_) ::CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    explicit operator bool() const { return open_; }

private:
    bool open_;
};

// Moveable global memory locked for as long as it lives.
class LockedGlobal {
public:
    explicit LockedGlobal(HGLOBAL memory) : memory_(memory), data_(::GlobalLock(memory)) {}
    ~LockedGlobal() {
        if (data_) ::GlobalUnlock(memory_);
    }
    LockedGlobal(const LockedGlobal&) = delete;
    LockedGlobal& operator=(const LockedGlobal&) = delete;
    void* get() const { return data_; }

private:
    HGLOBAL memory_;
    void* data_;
};

// Runs a clean-up when the scope is left, however it is left.
template <typename CleanUp>
class ScopeExit {
public:
    explicit ScopeExit(CleanUp cleanUp) : cleanUp_(std::move(cleanUp)) {}
    ~ScopeExit() { cleanUp_(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    CleanUp cleanUp_;
};
