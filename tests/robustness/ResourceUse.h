#pragma once
// What the test process holds of the platform's resources: GDI and USER objects and private
// bytes. Wine counts no objects (GetGuiResources is a stub there) and leaves private bytes at 0.
// There the objects are counted through Wine's handle tables, which hand out freed slots before
// new ones: after K fresh objects the highest slot in use is the objects held before plus K
// (plus a constant, which a difference of two counts drops). Private bytes are then the
// process's anonymous memory, which Wine reports as its page-file usage.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

struct ResourceUse {
    long gdiObjects = 0;
    long userObjects = 0;
    bool counted = true;  // false: counted through the handle tables (Wine)
    double privateKiB = 0;

    static ResourceUse Now() {
        ResourceUse use;
        HANDLE self = ::GetCurrentProcess();
        use.gdiObjects = static_cast<long>(::GetGuiResources(self, GR_GDIOBJECTS));
        use.userObjects = static_cast<long>(::GetGuiResources(self, GR_USEROBJECTS));
        if (use.gdiObjects == 0 && use.userObjects == 0) {
            use.counted = false;
            use.gdiObjects = HeldBehindFreshObjects(
                [](int i) {
                    return static_cast<HANDLE>(::CreateSolidBrush(static_cast<COLORREF>(i)));
                },
                [](HANDLE h) { ::DeleteObject(h); }, 1);
            use.userObjects = HeldBehindFreshObjects(
                [](int) {
                    ACCEL accel{FVIRTKEY, 'A', 1};
                    return static_cast<HANDLE>(::CreateAcceleratorTableW(&accel, 1));
                },
                [](HANDLE h) { ::DestroyAcceleratorTable(static_cast<HACCEL>(h)); },
                2);  // USER slots step by 2
        }
        PROCESS_MEMORY_COUNTERS_EX memory{sizeof(memory)};
        ::GetProcessMemoryInfo(self, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                               sizeof(memory));
        const SIZE_T bytes = memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
        use.privateKiB = static_cast<double>(bytes) / 1024;
        return use;
    }

    template <typename Create, typename Destroy>
    static long HeldBehindFreshObjects(Create create, Destroy destroy, int slotStep) {
        constexpr int kFresh = 4096;  // more than the free slots the process may have
        std::vector<HANDLE> fresh;
        long highest = 0;
        for (int i = 0; i < kFresh; ++i) {
            HANDLE h = create(i);
            if (!h) break;
            fresh.push_back(h);
            highest = std::max(highest,
                               static_cast<long>(LOWORD(reinterpret_cast<UINT_PTR>(h))) / slotStep);
        }
        for (HANDLE h : fresh) destroy(h);
        return highest - static_cast<long>(fresh.size());
    }

    std::string describe() const {
        char text[160];
        std::snprintf(text, sizeof(text), "GDI %s %ld, USER %s %ld, private %.0f KiB",
                      counted ? "objects" : "handles", gdiObjects, counted ? "objects" : "handles",
                      userObjects, privateKiB);
        return text;
    }
};
