// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where everything sits on the device picture, in picture coordinates (0, 0 is its top left corner),
// and where the picture sits in the main window. Whatever draws on the picture, hit-tests a point on it
// or lays a control over it takes its numbers from here. A Rect leaves out its right and bottom edges,
// so an area that reaches from column A to column B, both included, is {A, ..., B + 1, ...}.
// The flat sprites, the simulator's drawing and its hit tests all take it from here.
#include "platform/Picture.h"

namespace vp7::layout {

struct Point {
    int x, y;
};
struct Size {
    int width, height;
};
constexpr Rect Place(Point at, Size size) {
    return {at.x, at.y, at.x + size.width, at.y + size.height};
}

// The picture, and its top left corner in the main window's client area: window coordinates are
// picture coordinates plus this.
inline constexpr Size PictureSize{624, 697};
inline constexpr Point PictureInWindow{384, 0};

// The two-line display: its four fields, each the place of the unlit background it is cleared with.
// The segment cells lie at offsets from the display's top left corner (sim/display/LcdTables.h).
inline constexpr Rect LcdUpperLine{355, 260, 506, 300};
inline constexpr Rect LcdLowerLine{LcdUpperLine.left, 299, LcdUpperLine.right, 332};
inline constexpr Rect LcdLowerDigits{LcdLowerLine.left, LcdLowerLine.top, 402, LcdLowerLine.bottom};
inline constexpr Rect LcdLowerText{401, LcdLowerLine.top, LcdLowerLine.right, LcdLowerLine.bottom};
inline constexpr Rect LcdArea{LcdUpperLine.left, LcdUpperLine.top, LcdLowerLine.right, LcdLowerLine.bottom};
// Where hovering over the display explains it: the upper line, the lower line and, on the lower line,
// the mode part and the setpoint part.
inline constexpr Rect UpperLineHelpArea{356, 261, 505, 299};
inline constexpr Rect LowerLineHelpArea{UpperLineHelpArea.left, 300, UpperLineHelpArea.right, 331};
inline constexpr Rect ModeHelpArea{411, LowerLineHelpArea.top, 455, LowerLineHelpArea.bottom};
inline constexpr Rect SetpointHelpArea{469, LowerLineHelpArea.top, LowerLineHelpArea.right,
                                       LowerLineHelpArea.bottom};

// The three device keys: mode (Umschalt), decrease (Kleiner), increase (Groesser), in that order. The
// increase key's area runs to the picture's right edge.
inline constexpr int KeyTop = 346, KeyBottom = 368;
inline constexpr Rect KeyAreas[3] = {{367, KeyTop, 391, KeyBottom},
                                     {419, KeyTop, 439, KeyBottom},
                                     {471, KeyTop, PictureSize.width, KeyBottom}};
// Where a key is pressed by name (the runner's `press`, the tests).
inline constexpr int KeyCentreRow = 356;
inline constexpr Point KeyCentres[3] = {{378, KeyCentreRow}, {428, KeyCentreRow}, {480, KeyCentreRow}};
// The red circle on a latched key, lying over the picture.
inline constexpr int LatchCircleTop = 347;
inline constexpr Size LatchCircleSize{17, 17};
inline constexpr Rect LatchCircles[3] = {Place({371, LatchCircleTop}, LatchCircleSize),
                                         Place({423, LatchCircleTop}, LatchCircleSize),
                                         Place({475, LatchCircleTop}, LatchCircleSize)};

// The gear marks: the sprites' places and sizes, and the smaller areas that take a click and explain.
inline constexpr Point GearTopPlace{432, 233}, GearBottomPlace{432, 377};
inline constexpr Size GearTopSize{14, 14}, GearBottomSize{16, 12};
inline constexpr Rect UpperGearMarkArea{434, 235, 444, 255}, LowerGearMarkArea{435, 380, 444, 386};

// The terminal compartment: binary inputs, fault and alarm outputs (one size for all, and for the
// empty place), the feedback module and its five digits (offsets from the module's corner).
inline constexpr Size SwitchSize{47, 71};
inline constexpr Point BinaryInput1Place{16, 40}, BinaryInput2Place{92, 40};
inline constexpr Point FaultOutputPlace{16, 160}, AlarmOutput1Place{92, 160}, AlarmOutput2Place{168, 160};
inline constexpr Point FeedbackModulePlace{8, 248};
inline constexpr Size FeedbackModuleSize{231, 95};
inline constexpr int FeedbackDigitX[5] = {26, 56, 86, 116, 146};
inline constexpr int FeedbackDigitY = 28;
inline constexpr Size FeedbackDigitSize{21, 39};

// The actuator: every piston frame at one place, and the tight-closing symbols, the upper pair for
// tight opening and the lower pair for tight closing.
inline constexpr Point PistonPlace{320, 494};
inline constexpr Size PistonSize{152, 164};
inline constexpr Point TightOpenPlaces[2] = {{291, 525}, {492, 525}};
inline constexpr Point TightClosePlaces[2] = {{291, 658}, {492, 658}};
inline constexpr Size TightSymbolSize{20, 25};

// The face of the supply gauge on the positioner's side, which both gauge sprites cover.
inline constexpr Rect SupplyGaugeArea{554, 242, 594, 282};

// The three scales on their black panel: setpoint, controller and valve, each a vertical line with
// 100 % at the high row and 0 % at the low row, 2 rows a percent.
inline constexpr Rect ScaleArea{0, 406, 208, PictureSize.height};
inline constexpr int ScaleX[3] = {10, 80, 150};
inline constexpr int ScaleHighRow = 470, ScaleLowRow = 670;
inline constexpr int ScaleTitleRow = 410, ScaleSubtitleRow = 426, ScaleHighTextRow = 448,
                     ScaleLowTextRow = 679;
// What is cleared before the scales are drawn again.
inline constexpr Rect ScaleClearRects[4] = {{6, ScaleArea.top, 206, 442},
                                            {10, ScaleHighTextRow, 200, ScaleHighRow},
                                            {10, ScaleLowRow + 1, 207, 701},
                                            {10, ScaleHighRow, 180, 701}};
// A marker line runs from these columns right of its scale's line.
inline constexpr int MarkerFrom = 20, MarkerTo = 40;
// A right click on the setpoint scale's heading opens the scale dialog.
inline constexpr Rect SetpointScaleHeading{0, 415, 64, 468};

// Help labels, in window coordinates: at the display they end 5 points left of it, at the rows of the
// upper line, the lower line and the keys; at a gear mark they end 20 points left of its sprite (both
// marks share their column).
inline constexpr int HelpAtDisplayRight = PictureInWindow.x + LcdArea.left - 5;
inline constexpr int HelpUpperLineRow = 270, HelpLowerLineRow = 309, HelpKeysRow = PictureInWindow.y + KeyTop;
inline constexpr int HelpGearRight = PictureInWindow.x + GearTopPlace.x - 20;

} // namespace vp7::layout
