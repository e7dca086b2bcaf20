// The options dialog's portable rules: the page a dialog opens on, the speed
// box's text, stored download bounds, and where the pages' drag lists mark and
// drop a dragged row; the fixed dialogs' base units, dialog units and font height.
#include "extension/windows/options_rules.h"

#include <gtest/gtest.h>

#include "extension/windows/dialog_units.h"
#include "extension/windows/list_drag.h"

namespace va {
namespace {

// A page number that is none of the six opens the first; the speed box shows
// hundredths and stores the typed number times a hundred.
TEST(OptionsRules, PageSpeedBoundsAndDragRows) {
  for (auto [page, opens] : {std::pair{0, 201}, {7, 201}, {200, 201}, {201, 201}, {202, 202}, {205, 205}, {206, 206}, {207, 201},
                             {-201, 201}})
    EXPECT_EQ(ChooseOptionsPage(page), opens) << page;
  for (auto [text, stored] : {std::pair{"12.5", 1250u}, {"12", 1200u}, {"0.005", 1u} /* halves round up */, {"0.004", 0u},
                              {"1.239", 124u}, {".5", 50u}, {" 3", 300u}, {"-1", 0u}, {"", 0u}, {"99999999999", 4294967295u} /* held in range */})
    EXPECT_EQ(ParseSpeedText(text), stored) << '"' << text << '"';
  for (auto [stored, shown] : {std::pair{0u, "0.00"}, {5u, "0.05"}, {100u, "1.00"}, {1250u, "12.50"}, {4294967295u, "42949672.95"}})
    EXPECT_EQ(FormatSpeedText(stored), shown) << stored;
  // Stored download bounds are brought into 1..10 with the minimum not above the
  // maximum (typing and clamping are checked in the dialog itself).
  for (auto [minimum, maximum, want] : {std::tuple{2, 4, "2,4"}, {7, 3, "3,3"}, {0, 0, "1,1"}, {12, 15, "10,10"}, {-1, 5, "1,5"}}) {
    NormaliseDownloadBounds(&minimum, &maximum);
    EXPECT_EQ(std::to_string(minimum) + "," + std::to_string(maximum), want);
  }
  // Drag lists mark and drop by the row under the cursor (of four rows).
  for (auto [over, dragged, mark, drop] : {std::array{1, 0, 2, 1}, {3, 0, 3, 3}, {0, 3, 0, 0}, {2, 3, 2, 2}, {1, 1, -1, -1},
                                           {-1, 1, -1, -1}, {4, 1, -1, -1}, {2, -1, -1, -1}, {1, 5, -1, -1}})
    EXPECT_EQ(std::make_pair(DragMarkRow(over, dragged, 4), DragDropRow(over, dragged, 4)), std::make_pair(mark, drop)) << over << " " << dragged;
}

// Base unit: the 52 letters' width / 26, + 1, / 2, truncated; dialog units x unit /
// 4 (or / 8), + 0.001, to the nearest pixel; font height -points x dpi / 72, halves away from 0.
TEST(OptionsRules, FixedDialogUnits) {
  for (auto [width, unit] : {std::pair{0, 0}, {25, 0}, {26, 1}, {77, 1}, {78, 2}, {350, 7}, {389, 7}, {390, 8}})
    EXPECT_EQ(HorizontalBaseUnit(width), unit) << width;
  for (auto [value, unit, divisor, pixels] : {std::tuple{10, 7, 4, 18}, {3, 6, 4, 5}, {1, 13, 8, 2}, {5, 13, 8, 8}, {0, 7, 4, 0},
       {100, 7, 4, 175}, {-2, 7, 4, -3}, {-3, 6, 4, -4}, {7, 7, 0, 0}})
    EXPECT_EQ(DialogUnitsToPixels(value, unit, divisor), pixels) << value << "x" << unit << "/" << divisor;
  for (auto [points, dpi, height] : {std::tuple{8, 96, -11}, {8, 120, -13}, {9, 96, -12}, {10, 144, -20}, {3, 12, -1},
       {1, 35, 0}, {-8, 96, 11}, {0, 96, 0}})
    EXPECT_EQ(FontHeightForPoints(points, dpi), height) << points << "pt at " << dpi;
}

}  // namespace
}  // namespace va
