// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/operation/ParamTableView.h"

#include "platform/NumberFormat.h"
#include "sim/Simulator.h"
#include "sim/operation/ParamSet.h"

namespace vp7 {

ParamTableView::ParamTableView(Simulator& sim) : sim_(sim) {}

std::string ParamTableView::ParamValueText(int index) const {
    return ParamValueText(index, sim_.params.ParamTable[index].Value);
}

std::string ParamTableView::ParamValueText(int index, int32_t value) const {
    const ParamSet& p = sim_.params;
    const TParamField& f = p.ParamTable[index];
    std::string text;
    const bool special = Has(f.Kind, ParamKind::Special) && value == f.Special;
    if (Has(f.Kind, ParamKind::Number)) {
        if (special)
            text = f.ValueTexts[0];
        else if (Has(f.Kind, ParamKind::Tenths))
            text = FormatFixed(value / 10.0, 1, 4) + " ";
        else
            text = std::to_string(value) + " ";
    } else if (!Has(f.Kind, ParamKind::Plain)) {
        if (Has(f.Kind, ParamKind::LargeCount)) {
            text = special           ? f.ValueTexts[0]
                   : value >= 100000 ? FormatExponentNoPlus(value, 3, 1)
                                     : std::to_string(value);
        } else {
            const int32_t item = (f.Kind == ParamKind::Action || f.Kind == ParamKind::Reset) ? 0 : value;
            text = item >= 0 && item < 15 ? f.ValueTexts[item] : std::string();
        }
    } else {
        text = std::to_string(value) + " ";
    }
    if (index == p.YAGLIndex) {
        if (const size_t at = text.find('~'); at != std::string::npos) text.replace(at, 1, "°");
    }
    if (index == p.AFCTIndex) {
        for (int i = 0; i < 2; ++i)
            if (const size_t at = text.find('*'); at != std::string::npos) text.replace(at, 1, "-M");
    }
    if (const size_t at = text.find(','); at != std::string::npos) text[at] = '.';
    size_t start = 0;
    while (start < text.size() && static_cast<unsigned char>(text[start]) <= 32)
        ++start;
    return " " + text.substr(start);
}

void ParamTableView::SetParTab() {
    const ParamSet& p = sim_.params;
    std::vector<int> listed{p.YFCTIndex};
    const int32_t yfct = p.ParamTable[p.YFCTIndex].Value;
    if (yfct == 0) listed.push_back(p.YAGLIndex);
    if (yfct == 1) listed.insert(listed.end(), {p.YAGLIndex, p.YWAYIndex});
    // The FF variant has no SDIR, so its index is 0, the first parameter: that table lists YFCT a second
    // time here, as the device program's table does. Not a slip to mend.
    for (int i = p.SDIRIndex; i <= p.SFCTIndex; ++i)
        listed.push_back(i);
    if (p.ParamTable[p.SFCTIndex].Value == 7)
        for (int i = p.SL0Index; i <= p.SL20Index; ++i)
            listed.push_back(i);
    for (int i = p.DEBAIndex; i <= p.ParamLastIndex; ++i)
        if (i != p.PRSTIndex) listed.push_back(i);
    auto& rows = sim_.form.parTab.rows;
    rows.assign(1, {"Parameter", " Wert"});
    for (int index : listed) {
        // A blank and the name's seven characters, one more blank before the fourth: the names line up.
        std::string name = " " + p.ParamTable[index].Name.substr(0, 7);
        name.insert(std::min<size_t>(3, name.size()), " ");
        rows.push_back({name, ParamValueText(index)});
    }
    sim_.ViewChanged();
}

void ParamTableView::ParameterTabelle1Click() {
    ParTabState& t = sim_.form.parTab;
    if (t.visible) {
        t.visible = t.checked = false;
        sim_.form.ParameterTabelle1.checked = false;
    } else {
        t.visible = t.checked = true;
        sim_.form.ParameterTabelle1.checked = true;
        FormActivate();
        SetParTab();
    }
    sim_.ViewChanged();
}

void ParamTableView::FormClose() {
    ParTabState& t = sim_.form.parTab;
    t.visible = t.checked = false;
    sim_.form.ParameterTabelle1.checked = false;
    sim_.ViewChanged();
}

void ParamTableView::FormActivate() {
    sim_.form.parTab.caption = sim_.state.Text("Parameter-Tabelle", "Parameter list");
}

void ParamTableView::FormKeyDown(int key, bool shift, bool alt, bool ctrl) {
    if (key == KeyF5 && !shift && !alt && !ctrl && sim_.form.parTab.visible) SetParTab();
}

bool ParamTableView::FormCanResize(int width, int height) {
    ParTabState& t = sim_.form.parTab;
    if (t.placing) return true;
    if (width != Width || height < MinHeight) return false;
    t.height = height;
    return true;
}

void ParamTableView::PlaceAtStart() {
    ParTabState& t = sim_.form.parTab;
    t.placing = true;
    if (t.checked) ParameterTabelle1Click(); // shows it
    t.placing = false;
    sim_.ViewChanged();
}

} // namespace vp7
