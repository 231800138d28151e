// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/operation/ScaleDialog.h"

#include "platform/Host.h"
#include "platform/NumberFormat.h"
#include "sim/Simulator.h"
#include "sim/motion/Scales.h"

namespace vp7 {

ScaleDialog::ScaleDialog(Simulator& sim) : sim_(sim) {}

void ScaleDialog::Show() {
    FormActivate();
    sim_.ViewChanged();
    sim_.host.ShowModalDialog(ModalDialog::SetpointScale);
}

void ScaleDialog::FormActivate() {
    ScaleDialogState& d = sim_.form.scaleDialog;
    const SimState& s = sim_.state;
    d.setpoint100Edit = FormatFixed(sim_.scales.SollwertMax, 2, 15);
    d.setpoint0Edit = FormatFixed(sim_.scales.SollwertMin, 2, 15);
    d.caption = s.Text("Sollwert-Skale ändern", "Change setpoint scale");
    d.label1 = s.Text("Skalenendwert (Xe)", "End of scale (Xe)");
    d.label2 = s.Text("Skalenanfangswert (Xa)", "Begin of scale (Xa)");
    d.label3 = s.Text("Bedingungen:", "Conditions:");
    d.cancelCaption = s.Text("Abbrechen", "Cancel");
}

bool ScaleDialog::Button1Click() {
    ScaleDialogState& d = sim_.form.scaleDialog;
    const auto xe = ReadDecimal(d.setpoint100Edit), xa = ReadDecimal(d.setpoint0Edit);
    if (!xe || !xa || *xa < 0 || *xa > 90 || *xe < 10 || *xe > 100 || *xa + 10 > *xe) {
        sim_.host.MessageDlg(sim_.state.Text("Skalenwert fehlerhaft", "Value of scale is incorrect"),
                             MsgType::Error, MsgButton::OK);
        return false;
    }
    Scales& sc = sim_.scales;
    sc.SollwertMax = *xe;
    sc.SollwertMin = *xa;
    sc.PV100 = d.setpoint100Edit; // the texts as typed
    sc.PV0 = d.setpoint0Edit;
    sim_.form.SetPointText.text = d.setpoint0Edit;
    sim_.RecalcScales();
    sim_.ViewChanged();
    return true;
}

} // namespace vp7
