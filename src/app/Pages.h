#pragma once
// The window's three pages by name, in the order of their tabs.
enum class PageId { File, Edit, Help };

inline constexpr PageId kPages[] = {PageId::File, PageId::Edit, PageId::Help};

// The page's tab, counted from the left.
constexpr int TabIndexOf(PageId page) {
    return static_cast<int>(page);
}
