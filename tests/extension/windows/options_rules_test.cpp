// The options dialog's portable rules: the page a dialog opens on, the speed
// box's text, stored download bounds, and where the pages' drag lists mark and
// drop a dragged row.
#include "extension/windows/options_rules.h"

#include <gtest/gtest.h>


#include "extension/windows/list_drag.h"

namespace va {
namespace {

// A page number that is none of the six opens the first; the speed box shows
// hundredths and stores the typed number times a hundred.
TEST(OptionsRules, PageSpeedBoundsAndDragRows) {
  for (int page : {0, 7, 200, 207, -201}) EXPECT_EQ(ChooseOptionsPage(page), 201) << page;
  const struct {
    const char* text;
    uint32_t stored;
  } typed[] = {{"12.5", 1250},  {"12", 1200}, {"0.005", 1} /* halves round up */, {"0.004", 0}, {"1.239", 124},
               {".5", 50},      {"", 0},      {"99999999999", 4294967295u} /* held in range */};
  for (const auto& row : typed) EXPECT_EQ(ParseSpeedText(row.text), row.stored) << '"' << row.text << '"';
  EXPECT_EQ(FormatSpeedText(5), "0.05");
  // Stored download bounds are brought into 1..10 with the minimum not above the
  // maximum (typing and clamping are checked in the dialog itself).
  const struct {
    int32_t minimum, maximum, wantMin, wantMax;
  } stored[] = {{2, 4, 2, 4}, {7, 3, 3, 3}, {0, 0, 1, 1}, {12, 15, 10, 10}, {-1, 5, 1, 5}};
  for (const auto& c : stored) {
    int32_t minimum = c.minimum, maximum = c.maximum;
    NormaliseDownloadBounds(&minimum, &maximum);
    EXPECT_EQ(std::make_pair(minimum, maximum), std::make_pair(c.wantMin, c.wantMax)) << c.minimum << "," << c.maximum;
  }
  // Drag lists mark and drop by the row under the cursor.
  const struct {
    int over, dragged, count, mark, drop;
  } rows[] = {{1, 0, 4, 2, 1},   {3, 0, 4, 3, 3},   {0, 3, 4, 0, 0},  {2, 3, 4, 2, 2},  {1, 1, 4, -1, -1},
              {-1, 1, 4, -1, -1}, {4, 1, 4, -1, -1}, {2, -1, 4, -1, -1}, {1, 5, 4, -1, -1}};
  for (const auto& r : rows) {
    EXPECT_EQ(DragMarkRow(r.over, r.dragged, r.count), r.mark) << r.over << " " << r.dragged;
    EXPECT_EQ(DragDropRow(r.over, r.dragged, r.count), r.drop) << r.over << " " << r.dragged;
  }
}

}  // namespace
}  // namespace va
