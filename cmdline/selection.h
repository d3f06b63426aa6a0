#pragma once

#include "ui/control.h"

namespace cantova::cmdline {

// Item data of the selected item, -1 when nothing is selected: a list without a
// selection adds nothing for its switch.
inline int SelectedData(const ui::ItemList& list) {
    int data = -1;
    list.selectedData(data);
    return data;
}

// The text for an item data value from a table of choices, empty when it has none.
template <std::size_t N> const char* Pick(const char* const (&choices)[N], int data) {
    return data >= 0 && static_cast<std::size_t>(data) < N ? choices[data] : "";
}

} // namespace cantova::cmdline
