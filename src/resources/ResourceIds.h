#pragma once
// Resource identifiers shared by the resource script and the code.
#define IDI_PALLENDO 1
#define IDB_SHORTCUT_PLAIN 101
#define IDB_SHORTCUT_HIGHLIGHT 102
