#pragma once

#include "platform/core/TableSchema.h"

#include <optional>

// Where a table's view stands: the current row, its position and the ends; or, after a write or a new filter,
// a read of the view put off until someone looks, with the row to stand on then. One value, so that dropping
// an append puts back where the view stood in one assignment.
struct TableCursor {
    Row row;
    bool hasRow = false;
    // Position of the row among the visible ones; -1 while unknown, worked out when asked.
    mutable int index = -1;
    bool bof = true;
    bool eof = true;

    struct Reload {
        bool due = false;             // the view is read again when next looked at
        std::optional<qlonglong> key; // the row to stand on then, or the one after it
        bool wasSmall = false;        // every visible row was at hand when the key was set
        bool keepIfVisible = false;   // a new filter: the row stays current only if it still shows
    } reload;

    void setRow(const Row& r, int position) {
        row = r;
        hasRow = true;
        index = position;
    }
    void clearRow() {
        row.clear();
        hasRow = false;
        index = -1;
    }
};
