// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/motion/Scales.h"

#include "platform/Host.h"
#include "platform/NumberFormat.h"
#include "platform/StateVisitor.h"
#include "sim/Simulator.h"
#include "sim/operation/ParamSet.h"

#include <cmath>

namespace vp7 {
namespace {

// The pixel rows of every scale: low end at its low row, high end at its high row.
LinearMap PixelMap(double low, double high) {
    LinearMap m;
    m.factor = static_cast<double>(layout::ScaleHighRow - layout::ScaleLowRow) / (high - low);
    m.offset = layout::ScaleLowRow - m.factor * low;
    return m;
}

int32_t Round(double v) {
    return static_cast<int32_t>(std::nearbyint(v));
}

std::string ExponentText(double v) {
    return FloatToStrF(v, FloatFormat::Exponent, 8, 2);
}

// Step 6 of the rounding: "E+02" becomes "E+2", and values of a sensible size are written plainly.
std::string LabelText(std::string text, double value) {
    if (text.size() >= 2 && text[text.size() - 2] == '0') text.erase(text.size() - 2, 1);
    const double a = std::fabs(value);
    if (value != 0 && a >= 0.001 && a < 10000000)
        text = a >= 1 ? FormatFixed(value, 1, 7) : FormatFixed(value, 3, 5);
    return text;
}

} // namespace

Scales::Scales(Simulator& sim) : sim_(sim) {
    sollwertPixel = reglerPixel = ventilPixel = PixelMap(0, 100);
}

int32_t Scales::SollwertY(double v) const {
    return Round(sollwertPixel(v));
}
int32_t Scales::ReglerY(double v) const {
    return Round(reglerPixel(v));
}
int32_t Scales::VentilY(double v) const {
    return Round(ventilPixel(v));
}

bool Scales::ReadScaleValue(const std::string& text, double& value, double lower, double upper) {
    const auto v = ReadDecimal(text);
    if (!v || *v < lower || *v > upper) return false;
    value = *v;
    return true;
}

bool Scales::RoundScale(std::string& lowText, std::string& highText, double& scaleLow, double& scaleHigh,
                        double max, double min) {
    if (max == min) return false;
    const double m = std::max(std::fabs(max), std::fabs(min));
    std::string t = ExponentText(m);
    const size_t e = t.find_first_of("Ee");
    if (t.size() < 8 || e == std::string::npos || t.size() - e - 1 != 3 || t[0] < '1' || t[0] > '9')
        return false;

    int d = t[0] - '0';
    const std::string mantissa = t.substr(2, e - 2);
    const bool exact = mantissa.find_first_not_of('0') == std::string::npos;
    char sign = t[e + 1];
    int exponent = (t[e + 2] - '0') * 10 + (t[e + 3] - '0');
    if (!exact || (d != 1 && d != 2 && d != 5)) {
        if (d == 1) {
            d = 2;
        } else if (d <= 4) {
            d = 5;
        } else {
            d = 1;
            // One decade up: a positive exponent counts up, a negative one counts down toward zero.
            if (sign == '+') {
                ++exponent;
            } else if (--exponent == 0) {
                sign = '+';
            }
        }
    }
    char expText[8];
    std::snprintf(expText, sizeof expText, "%c%02d", sign, exponent % 100);
    const std::string text = std::string(1, static_cast<char>('0' + d)) + ".0E" + expText;
    const double n = d * std::pow(10.0, sign == '+' ? exponent : -exponent);

    // The end of larger magnitude gets the rounded range; the other end is 0, or the mirror of the
    // range when the two ends lie on opposite sides of 0.
    const auto setEnds = [&](double big, double other, std::string& bigText, double& bigEnd,
                             std::string& otherText, double& otherEnd) {
        const bool negative = big < 0;
        bigText = negative ? "-" + text : text;
        bigEnd = negative ? -n : n;
        if (other == 0 || (other < 0) == negative) {
            otherText = "0.0";
            otherEnd = 0;
        } else {
            otherText = negative ? text : "-" + text;
            otherEnd = negative ? n : -n;
        }
    };
    if (std::fabs(max) == m)
        setEnds(max, min, highText, scaleHigh, lowText, scaleLow);
    else
        setEnds(min, max, lowText, scaleLow, highText, scaleHigh);
    lowText = LabelText(lowText, scaleLow);
    highText = LabelText(highText, scaleHigh);
    return true;
}

bool Scales::Fail(const char* german, const char* english) {
    sim_.host.MessageDlg(sim_.state.Text(german, english), MsgType::Error, MsgButton::OK);
    return false;
}

void Scales::ComputeEntryConversion() {
    if (sim_.form.SetpointDimSelect.itemIndex == 1) { // mA
        const CurrentConversion current = CurrentEntry(sim_.params.store.LiveZero != 0);
        EingabeFaktor = current.factor;
        EingabeOffset = current.offset;
        EingabeMin = (SollwertMin - EingabeOffset) / EingabeFaktor;
        EingabeMax = (SollwertMax - EingabeOffset) / EingabeFaktor;
    } else {
        EingabeFaktor = 1;
        EingabeOffset = 0;
        EingabeMin = SollwertMin;
        EingabeMax = SollwertMax;
    }
}

void Scales::CalcMB() {
    SimState& s = sim_.state;
    const ParamStore& p = sim_.params.store;
    s.ScalesValid = 0;

    // Setpoint scale
    if (!ReadScaleValue(PV100, SollwertMax, SollwertMin + 10, 100))
        return void(Fail("Sollwertskale 100% ist fehlerhaft", "Setpoint scale 100% is incorrect"));
    SollwertScaleTexts[1] = ExponentText(SollwertMax);
    if (!ReadScaleValue(PV0, SollwertMin, 0, SollwertMax - 10))
        return void(Fail("Sollwertskale 0% ist fehlerhaft", "Setpoint scale 0% is incorrect"));
    SollwertScaleTexts[0] = ExponentText(SollwertMin);
    if (!RoundScale(SollwertScaleTexts[0], SollwertScaleTexts[1], SollwertScaleLow, SollwertScaleHigh,
                    SollwertMax, SollwertMin))
        return void(Fail("Fehler bei Sollwertskale", "Error in setpoint scale"));

    // Controller setpoint scale
    if (!ReadScaleValue(Out100, ReglerMax, ReglerMin + 10, 100))
        return void(
            Fail("Reglersollwertskale 100% ist fehlerhaft", "Controller setpoint scale 100% is incorrect"));
    ReglerScaleTexts[1] = ExponentText(ReglerMax);
    if (!ReadScaleValue(Out0, ReglerMin, 0, ReglerMax - 10))
        return void(
            Fail("Reglersollwertskale 0% ist fehlerhaft", "Controller setpoint scale 0% is incorrect"));
    ReglerScaleTexts[0] = ExponentText(ReglerMin);
    if (!RoundScale(ReglerScaleTexts[0], ReglerScaleTexts[1], ReglerScaleLow, ReglerScaleHigh, ReglerMax,
                    ReglerMin))
        return void(Fail("Fehler bei Reglersollwertskale", "Error in controller setpoint scale"));

    // Valve range
    Ya = ParamSet::Fixed88ToReal(p.YA);
    Ye = ParamSet::Fixed88ToReal(p.YE);
    if (Ya == Ye) return void(Fail("Ya und Ye sind gleich", "Ya and Ye are equal"));
    if (Ye < Ya) return void(Fail("Ya ist größer als Ye", "Ya is greater than Ye"));

    ComputeEntryConversion();

    // Split range, only on the analogue variant
    if (s.ControllerType == 0) {
        const double start = ParamSet::Fixed88ToReal(p.SPRA), end = ParamSet::Fixed88ToReal(p.SPRE);
        if (start == end)
            return void(Fail("Splitrange-Anfang und Splitrange-Ende sind gleich",
                             "Start of split range und and end of split range are equal"));
        if (end < start)
            return void(Fail("Splitrange-Anfang ist größer als Splitrange-Ende",
                             "Start of split range is greater than end of split range"));
        splitRange.factor = 100 / (end - start);
        splitRange.offset = -splitRange.factor * start;
    } else {
        splitRange = {1, 0};
    }

    if (p.SDIR != 0)
        reglerScale = {(ReglerMax - ReglerMin) / -100, ReglerMax};
    else
        reglerScale = {(ReglerMax - ReglerMin) / 100, ReglerMin};
    kennlinienEingang.factor = 100 / (ReglerMax - ReglerMin);
    kennlinienEingang.offset = -kennlinienEingang.factor * ReglerMin;
    Yfactor = (Ye - Ya) / 100;
    Yoffset = Ya;

    sollwertPixel = PixelMap(SollwertScaleLow, SollwertScaleHigh);
    reglerPixel = PixelMap(ReglerScaleLow, ReglerScaleHigh);
    ventilPixel = PixelMap(0, 100);
    SollwertMinY = SollwertY(SollwertMin);
    SollwertMaxY = SollwertY(SollwertMax);
    ReglerMinY = ReglerY(ReglerMin);
    ReglerMaxY = ReglerY(ReglerMax);
    YaY = VentilY(Ya);
    YeY = VentilY(Ye);
    const char* tooCloseDe = "Sollwertskale 100% und Sollwertskale 0% liegen zu dicht zusammen";
    const char* tooCloseEn = "Distance between Setpoint scale 100% and setpoint scale 0% is to low";
    if (std::abs(SollwertMinY - SollwertMaxY) < 3) return void(Fail(tooCloseDe, tooCloseEn));
    if (std::abs(ReglerMinY - ReglerMaxY) < 3) return void(Fail(tooCloseDe, tooCloseEn));
    if (std::abs(YaY - YeY) < 3)
        return void(Fail("Ya und Ye liegen zu dicht zusammen", "Distance between Ya and Ye is to low"));

    const double a = ParamSet::Fixed88ToReal(p.YCUP), b = ParamSet::Fixed88ToReal(p.YCDO);
    TightOpenOn = Yfactor * a + Yoffset;
    TightOpenOff = Yfactor * (a - 1) + Yoffset;
    TightCloseOn = Yfactor * b + Yoffset;
    TightCloseOff = Yfactor * (b + 1) + Yoffset;
    s.ScalesValid = 1;
}

void LinearMap::DoState(StateVisitor& v) {
    v("factor", factor);
    v("offset", offset);
}

void Scales::DoState(StateVisitor& v) {
    v.Part("scales");
    v("PV100", PV100);
    v("PV0", PV0);
    v("Out100", Out100);
    v("Out0", Out0);
    v("SollwertMin", SollwertMin);
    v("SollwertMax", SollwertMax);
    v("ReglerMin", ReglerMin);
    v("ReglerMax", ReglerMax);
    v("SollwertScaleLow", SollwertScaleLow);
    v("SollwertScaleHigh", SollwertScaleHigh);
    v("ReglerScaleLow", ReglerScaleLow);
    v("ReglerScaleHigh", ReglerScaleHigh);
    v("SollwertScaleTexts", SollwertScaleTexts);
    v("ReglerScaleTexts", ReglerScaleTexts);
    v("VentilScaleTexts", VentilScaleTexts);
    v("EingabeMin", EingabeMin);
    v("EingabeMax", EingabeMax);
    v("EingabeFaktor", EingabeFaktor);
    v("EingabeOffset", EingabeOffset);
    v("splitRange", splitRange);
    v("reglerScale", reglerScale);
    v("kennlinienEingang", kennlinienEingang);
    v("Ya", Ya);
    v("Ye", Ye);
    v("Yfactor", Yfactor);
    v("Yoffset", Yoffset);
    v("sollwertPixel", sollwertPixel);
    v("reglerPixel", reglerPixel);
    v("ventilPixel", ventilPixel);
    v("SollwertMinY", SollwertMinY);
    v("SollwertMaxY", SollwertMaxY);
    v("ReglerMinY", ReglerMinY);
    v("ReglerMaxY", ReglerMaxY);
    v("YaY", YaY);
    v("YeY", YeY);
    v("TightOpenOn", TightOpenOn);
    v("TightOpenOff", TightOpenOff);
    v("TightCloseOn", TightCloseOn);
    v("TightCloseOff", TightCloseOff);
}

} // namespace vp7
