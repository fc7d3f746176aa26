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
#include <utility>
#include <vector>

#include "shell/Handles.h"

struct ResourceUse {
    long gdiObjects = 0;
    long userObjects = 0;
    bool counted = true;  // false: counted through the handle tables (Wine)
    double privateKiB = 0;

    static ResourceUse now() {
        ResourceUse use;
        HANDLE self = ::GetCurrentProcess();
        use.gdiObjects = static_cast<long>(::GetGuiResources(self, GR_GDIOBJECTS));
        use.userObjects = static_cast<long>(::GetGuiResources(self, GR_USEROBJECTS));
        if (use.gdiObjects == 0 && use.userObjects == 0) {
            use.counted = false;
            use.gdiObjects = heldBehindFreshObjects<UniqueBrush>(
                [](int i) { return ::CreateSolidBrush(static_cast<COLORREF>(i)); }, 1);
            use.userObjects = heldBehindFreshObjects<UniqueAccelerators>(
                [](int) {
                    ACCEL accel{FVIRTKEY, 'A', 1};
                    return ::CreateAcceleratorTableW(&accel, 1);
                },
                2);  // USER slots step by 2
        }
        PROCESS_MEMORY_COUNTERS_EX memory{sizeof(memory)};
        ::GetProcessMemoryInfo(self, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                               sizeof(memory));
        const SIZE_T bytes = memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
        use.privateKiB = static_cast<double>(bytes) / 1024;
        return use;
    }

    // `Owner` owns one object that `create` makes; all of them are destroyed again on return.
    template <typename Owner, typename Create>
    static long heldBehindFreshObjects(Create create, int slotStep) {
        constexpr int kFresh = 4096;  // more than the free slots the process may have
        std::vector<Owner> fresh;
        long highest = 0;
        for (int i = 0; i < kFresh; ++i) {
            Owner object(create(i));
            if (!object) break;
            highest = std::max(
                highest,
                static_cast<long>(LOWORD(reinterpret_cast<UINT_PTR>(object.get()))) / slotStep);
            fresh.push_back(std::move(object));
        }
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
