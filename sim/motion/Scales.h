// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The measuring ranges: the setpoint and controller setpoint scales read from their texts and rounded
// to drawable ranges, the valve range Ya..Ye, and every linear map the controller, the characteristic
// and the scale drawing use. Valid only when everything is consistent.
#include "model/PictureLayout.h"

#include <cstdint>
#include <string>

namespace vp7 {

class StateVisitor;

class Simulator;

struct LinearMap {
    void DoState(StateVisitor& v);
    double factor = 1, offset = 0;
    double operator()(double x) const { return factor * x + offset; }
};

class Scales {
public:
    explicit Scales(Simulator& sim);
    // Its own fields, for a snapshot: saved, loaded, checked and compared alike.
    void DoState(StateVisitor& v);

    // Recomputes everything; shows the first inconsistency as an error box. Sets ScalesValid.
    void CalcMB();
    // Entry conversion for the unit chosen in SetpointDimSelect (also used when the unit changes).
    void ComputeEntryConversion();
    // The setpoint current's conversion, percent = factor * mA + offset, for 4-20 mA (live zero) or
    // 0-20 mA: the mA entry's, and a plant's current written over Modbus.
    struct CurrentConversion {
        double factor, offset;
    };
    static CurrentConversion CurrentEntry(bool liveZero) {
        return liveZero ? CurrentConversion{6.25, -25} : CurrentConversion{5, 0};
    }

    // Parses a scale text (first "," read as ".") and stores it only when lower <= value <= upper.
    static bool ReadScaleValue(const std::string& text, double& value, double lower, double upper);
    // Rounds a scale to a 1-2-5 range and writes its label texts; lowText and highText enter as the
    // exponent texts of min and max.
    static bool RoundScale(std::string& lowText, std::string& highText, double& scaleLow, double& scaleHigh,
                           double max, double min);
    // y of a value on the setpoint, controller and valve scales, rounded (ties to even).
    int32_t SollwertY(double v) const;
    int32_t ReglerY(double v) const;
    int32_t VentilY(double v) const;

    // Scale texts kept by the settings and changed in the setpoint scale dialog.
    std::string PV100 = "100", PV0 = "0", Out100 = "100.0", Out0 = "0.0";

    double SollwertMin = 0, SollwertMax = 100, ReglerMin = 0, ReglerMax = 100;
    double SollwertScaleLow = 0, SollwertScaleHigh = 100, ReglerScaleLow = 0, ReglerScaleHigh = 100;
    std::string SollwertScaleTexts[2] = {"0.0", "100.0"}, ReglerScaleTexts[2] = {"0.0", "100.0"};
    std::string VentilScaleTexts[2] = {"0.0", "100.0"};
    double EingabeMin = 0, EingabeMax = 100, EingabeFaktor = 1, EingabeOffset = 0;
    LinearMap splitRange, reglerScale, kennlinienEingang;
    double Ya = 0, Ye = 100, Yfactor = 1, Yoffset = 0;
    LinearMap sollwertPixel, reglerPixel, ventilPixel;
    int32_t SollwertMinY = layout::ScaleLowRow, SollwertMaxY = layout::ScaleHighRow;
    int32_t ReglerMinY = layout::ScaleLowRow, ReglerMaxY = layout::ScaleHighRow;
    int32_t YaY = layout::ScaleLowRow, YeY = layout::ScaleHighRow;
    double TightOpenOn = 0, TightOpenOff = 0, TightCloseOn = 0, TightCloseOff = 0;

private:
    bool Fail(const char* german, const char* english);
    Simulator& sim_;
};

} // namespace vp7
