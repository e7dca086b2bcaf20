// list_order: the two ways a user reorders a list by hand, shared by the reorder
// dialog and the options pages: swap a row with its neighbour (the up and down
// buttons) and move a row to another index (a drag), applied to parallel arrays
// so that every array keeps the same order.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace va {

// Swaps entries `first` and `second` of a vector; false (and nothing changed)
// when either index is outside it.
template <typename T>
bool SwapEntries(std::vector<T>& entries, size_t first, size_t second) {
  if (first >= entries.size() || second >= entries.size()) return false;
  if (first != second) std::swap(entries[first], entries[second]);
  return true;
}

// Moves entry `from` to index `to`, shifting the entries between them by one
// place toward `from`: moving the first of four onto the third gives 2, 3, 1, 4.
// False (and nothing changed) when either index is outside the vector.
template <typename T>
bool MoveEntry(std::vector<T>& entries, size_t from, size_t to) {
  if (from >= entries.size() || to >= entries.size()) return false;
  if (from == to) return true;
  T moving = std::move(entries[from]);
  if (from < to) {
    for (size_t index = from; index < to; ++index) entries[index] = std::move(entries[index + 1]);
  } else {
    for (size_t index = from; index > to; --index) entries[index] = std::move(entries[index - 1]);
  }
  entries[to] = std::move(moving);
  return true;
}

// The index a selected row has after an up (-1) or down (+1) press, or `selected`
// itself when the press changes nothing (no selection, first row up, last row down).
inline size_t NeighbourIndex(size_t selected, int direction, size_t count) {
  if (selected >= count) return selected;
  if (direction < 0) return selected == 0 ? selected : selected - 1;
  return selected + 1 >= count ? selected : selected + 1;
}

}  // namespace va
