// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/operation/ConfigMenu.h"

#include "platform/NumberFormat.h"
#include "platform/StateVisitor.h"
#include "sim/Simulator.h"
#include "sim/diagnosis/Initialization.h"
#include "sim/display/Lcd.h"
#include "sim/operation/ParamSet.h"

namespace vp7 {
namespace {

// Byte offset of the character at index `n` (counting UTF-8 sequences as one), or the text's size.
size_t ByteOfChar(std::string_view text, size_t n) {
    size_t i = 0;
    for (size_t count = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (count++ == n) return i;
    }
    return text.size();
}

size_t CharCount(std::string_view text) {
    size_t n = 0;
    for (unsigned char c : text)
        n += (c & 0xC0) != 0x80;
    return n;
}

} // namespace

ConfigMenu::ConfigMenu(Simulator& sim) : sim_(sim) {}

std::string ConfigMenu::NumberedName(uint32_t n, const std::string& name) {
    if (n > 99 || name.size() < 2) return name;
    std::string number = n >= 10 ? std::to_string(n) : " " + std::to_string(n);
    return number + name.substr(2);
}

std::string ConfigMenu::WrapHelpText(std::string_view text) {
    std::string t = " " + std::string(text) + " ";
    if (CharCount(t) <= 43) return t;
    // Break after the last blank or control character at or before character 43, or after the first.
    for (size_t k = 43; k >= 2; --k) {
        const size_t at = ByteOfChar(t, k - 1);
        if (static_cast<unsigned char>(t[at]) < 33) return t.insert(at + 1, "\r\n ");
    }
    return t.insert(ByteOfChar(t, 1), "\r\n ");
}

void ConfigMenu::PrepareEdit() {
    const TParamField& f = sim_.params.ParamTable[CurrentParam];
    value_ = f.Value;
    kind_ = f.Kind;
    min_ = f.Min;
    max_ = f.Max;
    special_ = f.Special;
    specialText_ = Has(kind_, ParamKind::Special) ? f.ValueTexts[0] : std::string();
    if (Has(kind_, ParamKind::Number)) {
        EditStep = stepMultiplier_;
        return;
    }
    if (Has(kind_, ParamKind::Plain)) EditStep = stepMultiplier_;
    if (Has(kind_, ParamKind::List)) {
        if (kind_ == ParamKind::Action) value_ = 1;
        if (kind_ == ParamKind::Reset) {
            stepMultiplier_ = 1;
            value_ = sim_.params.TableAtDefaults() ? 3 : 0;
        }
        EditStep = stepMultiplier_;
        return;
    }
    if (Has(kind_, ParamKind::LargeCount)) {
        if (value_ < 400) {
            EditStep = stepMultiplier_;
            return;
        }
        // Steps of 2, 5, 10, 20, 50, 100 ... grow with the value: large counts stay reachable.
        const int32_t q = value_ / 200;
        int64_t s = 2;
        for (int i = 0; q / s >= 2; ++i)
            s = (i % 3 == 0) ? s * 5 / 2 : s * 2;
        EditStep = static_cast<int32_t>(stepMultiplier_ * s);
    }
}

void ConfigMenu::Next() {
    const ParamSet& p = sim_.params;
    if (CurrentParam == static_cast<uint32_t>(p.YAGLIndex) && p.ParamTable[p.YFCTIndex].Value != 1)
        CurrentParam = p.INITAIndex; // the stroke range belongs to linear actuators only
    else if (CurrentParam == static_cast<uint32_t>(p.SFCTIndex) && p.ParamTable[p.SFCTIndex].Value != 7)
        CurrentParam = p.DEBAIndex; // the support values belong to the free characteristic only
    else if (CurrentParam >= static_cast<uint32_t>(p.ParamLastIndex))
        CurrentParam = p.ParamFirstIndex;
    else
        ++CurrentParam;
}

void ConfigMenu::Previous() {
    const ParamSet& p = sim_.params;
    if (CurrentParam == static_cast<uint32_t>(p.INITAIndex) && p.ParamTable[p.YFCTIndex].Value != 1)
        CurrentParam = p.YAGLIndex;
    else if (CurrentParam == static_cast<uint32_t>(p.DEBAIndex) && p.ParamTable[p.SFCTIndex].Value != 7)
        CurrentParam = p.SFCTIndex;
    else if (CurrentParam <= static_cast<uint32_t>(p.ParamFirstIndex))
        CurrentParam = p.ParamLastIndex;
    else
        --CurrentParam;
}

void ConfigMenu::Run(KeyCode code, int32_t step) {
    ParamSet& p = sim_.params;
    if (CurrentParam > static_cast<uint32_t>(p.ParamLastIndex)) CurrentParam = p.ParamFirstIndex;
    const auto at = [&](int index) { return CurrentParam == static_cast<uint32_t>(index); };
    const bool onInit = at(p.INITAIndex) || at(p.INITMIndex);
    // Releases on the action parameters only redraw.
    if ((code == KeyCode::IncreaseReleased && (onInit || at(p.PRSTIndex))) ||
        (code == KeyCode::DecreaseReleased && onInit))
        code = KeyCode::Neutral;
    // Presses and right-button releases change nothing here.
    if (IgnoredInMenus(code)) {
        sim_.state.LastKeyCode = KeyCode::Neutral;
        return;
    }
    stepMultiplier_ = step;
    PrepareEdit();
    TParamField* field = &p.ParamTable[CurrentParam];
    switch (code) {
    case KeyCode::ModeReleased: // next parameter
        Next();
        PrepareEdit();
        break;
    case KeyCode::ModeRightPressed: // previous parameter
        Previous();
        PrepareEdit();
        break;
    case KeyCode::DecreasePressed:
        if (value_ > min_ && !Has(kind_, ParamKind::NoDecrease))
            value_ = value_ < EditStep ? min_ : value_ - EditStep;
        else if (Has(kind_, ParamKind::Special))
            value_ = special_;
        field->Value = value_;
        p.StoreFromTable();
        break;
    case KeyCode::IncreasePressed:
        if (at(p.PRSTIndex)) {
            value_ = 2;
        } else {
            if (value_ < max_) value_ += EditStep;
            if (value_ > max_) value_ = max_;
            if (value_ < min_) value_ = min_; // from the special value up to the minimum
        }
        field->Value = value_;
        p.StoreFromTable();
        break;
    case KeyCode::IncreaseHeld:
        if (at(p.PRSTIndex)) {
            p.ResetTableToDefaults();
            p.StoreFromTable();
            value_ = 3;
        } else if (at(p.INITAIndex)) {
            sim_.state.InitRunning = 1;
            sim_.initialization.StartInitialization();
            return;
        } else if (at(p.INITMIndex)) {
            sim_.state.InitStepRunning = 1;
            sim_.initialization.StartInitialization();
            return;
        }
        break;
    default:
        break;
    }
    // Part-turn actuators have the 90-degree feedback angle.
    if (at(p.YFCTIndex)) {
        const uint8_t yfct = p.store.YFCT;
        if (yfct == 0 || yfct == 3 || yfct == 4 || yfct == 5) {
            p.store.YAGL = 0;
            p.ParamTable[p.YAGLIndex].Value = 0;
            PrepareEdit();
        }
    }
    ShowHelp();
    Lcd& lcd = sim_.lcd;
    lcd.LcdLowerText = NumberedName(CurrentParam + 1, p.ParamTable[CurrentParam].Name);
    lcd.LCDWrite(lcd.LcdLowerText, LowerLine);
    lcd.LcdUpperText = UpperText();
    lcd.LCDWrite(lcd.LcdUpperText, UpperLine);
    sim_.ViewChanged();
}

void ConfigMenu::ShowHelp() {
    const TParamField& f = sim_.params.ParamTable[CurrentParam];
    const int language = static_cast<int>(sim_.state.Language);
    sim_.form.HilfeUnten.text = WrapHelpText(sim_.state.Text(f.LongName[0], f.LongName[1]));
    std::string upper;
    const auto description = [&](int32_t index) {
        return f.ValueHelp && index >= 0 && index < 15 ? WrapHelpText((*f.ValueHelp)[language * 15 + index])
                                                       : std::string();
    };
    if (f.ValueHelp) {
        if (kind_ == ParamKind::List || kind_ == ParamKind::Plain)
            upper = description(value_);
        else if (Has(kind_, ParamKind::Special) && value_ == special_)
            upper = description(0);
    }
    sim_.form.HilfeOben.text = upper;
}

std::string ConfigMenu::UpperText() const {
    const ParamSet& p = sim_.params;
    const bool special = Has(kind_, ParamKind::Special) && value_ == special_;
    if (Has(kind_, ParamKind::Number) && Has(kind_, ParamKind::Tenths))
        return special ? specialText_ : FormatFixed(value_ / 10.0, 1, 4) + " ";
    if (Has(kind_, ParamKind::Number)) return special ? specialText_ : std::to_string(value_) + " ";
    if (Has(kind_, ParamKind::Plain)) return std::to_string(value_) + " ";
    if (Has(kind_, ParamKind::LargeCount)) {
        if (special) return specialText_;
        return value_ < 100000 ? std::to_string(value_) : FormatExponentNoPlus(value_, 3, 1);
    }
    if (Has(kind_, ParamKind::List)) {
        const bool onInit = CurrentParam == static_cast<uint32_t>(p.INITAIndex) ||
                            CurrentParam == static_cast<uint32_t>(p.INITMIndex);
        if (onInit && value_ == 1) return p.InitTravelText();
        const TParamField& f = p.ParamTable[CurrentParam];
        return value_ >= 0 && value_ < 15 ? f.ValueTexts[value_] : std::string();
    }
    return {};
}

void ConfigMenu::DoState(StateVisitor& v) {
    v.Part("configMenu");
    v("CurrentParam", CurrentParam);
    v("EditStep", EditStep);
    v("value_", value_);
    v("min_", min_);
    v("max_", max_);
    v("special_", special_);
    v("kind_", kind_);
    v("stepMultiplier_", stepMultiplier_);
    v("specialText_", specialText_);
}

} // namespace vp7
