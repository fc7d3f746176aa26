#pragma once
// Functions of system libraries that only a rarely used part of the program needs (the version
// dialog), loaded on their first use as a delay-loaded import would be: the program starts
// without loading those libraries at all. A library, once loaded, stays for the life of the
// process, like any imported one.
#include <windows.h>

// The function `name` of the system library `library`, or null when it cannot be had.
template <typename Function>
Function* SystemFunction(const wchar_t* library, const char* name) {
    // Only from the system folder: never a library of the same name beside a document.
    HMODULE module = ::LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module) return nullptr;
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}
