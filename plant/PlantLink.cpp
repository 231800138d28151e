// SPDX-License-Identifier: GPL-3.0-or-later
#include "plant/PlantLink.h"

#include "model/PictureLayout.h"
#include "platform/NumberFormat.h"
#include "session/SessionRecorder.h"
#include "sim/Simulator.h"
#include "sim/diagnosis/Diagnostics.h"
#include "sim/diagnosis/Monitoring.h"
#include "sim/display/OperatingDisplays.h"
#include "sim/motion/Controller.h"
#include "sim/motion/Scales.h"
#include "sim/operation/ParamSet.h"

#include <algorithm>
#include <cmath>

namespace vp7 {
namespace {

using modbus::Discrete;
using modbus::Holding;
using modbus::Input;

// A percentage in hundredths as a signed 16-bit register.
uint16_t Hundredths(double percent) {
    const double v = std::clamp(std::nearbyint(percent * 100.0), -32768.0, 32767.0);
    return static_cast<uint16_t>(static_cast<int16_t>(v));
}

// The setpoint current of the 0/4-20 mA input, whichever unit the entry field shows.
Scales::CurrentConversion InputCurrentScale(const Simulator& sim) {
    return Scales::CurrentEntry(sim.params.store.LiveZero != 0);
}

constexpr int kMilliampsEntryDecimals = 3, kMilliampsEntryDigits = 7;
constexpr int kPercentEntryDecimals = 2, kPercentEntryDigits = 7;

// Passes each action on to the observer the device had (a session's recorder) and tells the runner's
// command of each outermost one.
class LineTap final : public ActionObserver {
public:
    LineTap(Simulator& sim, const std::function<void(const std::string&)>& line)
        : sim_(sim), previous_(sim.GetActionObserver()), line_(line) {
        sim_.SetActionObserver(this);
    }
    ~LineTap() override { sim_.SetActionObserver(previous_); }
    void OnAction(const UserAction& action) override {
        if (depth_++ == 0 && line_)
            if (const auto command = SessionRecorder::Command(action)) line_(*command);
        if (previous_) previous_->OnAction(action);
    }
    void OnActionDone() override {
        --depth_;
        if (previous_) previous_->OnActionDone();
    }

private:
    Simulator& sim_;
    ActionObserver* previous_;
    const std::function<void(const std::string&)>& line_;
    int depth_ = 0;
};

// Typed into the setpoint field in the unit it shows, and confirmed with Enter.
void EnterSetpoint(Simulator& sim, double percent, std::optional<double> milliamps) {
    Control& field = sim.form.SetPointText;
    if (!field.enabled) return; // the user could not type it either
    std::string text;
    if (sim.form.SetpointDimSelect.itemIndex == 1) {
        const double mA =
            milliamps ? *milliamps : (percent - sim.scales.EingabeOffset) / sim.scales.EingabeFaktor;
        text = FormatFixed(mA, kMilliampsEntryDecimals, kMilliampsEntryDigits);
    } else {
        text = FormatFixed(percent, kPercentEntryDecimals, kPercentEntryDigits);
    }
    sim.UserEdit(field, std::move(text));
    sim.UserKeyDown(field, Controller::KeyEnter);
}

void SetOption(Simulator& sim, const char* name, bool on) {
    Control* c = sim.form.Find(name);
    if (!c || !c->enabled || c->checked == on) return;
    sim.UserCheck(*c, on);
}

// A click on the switch's middle, as the user flips it; the second answers only with the alarm module.
void SetBinaryInput(Simulator& sim, int input, bool on) {
    const bool first = input == static_cast<int>(modbus::Coil::BinaryInput1);
    const uint8_t now = first ? sim.monitoring.BinaryInput1 : sim.monitoring.BinaryInput2;
    if ((now != 0) == on || sim.form.Image2.visible) return;
    const layout::Point at = first ? layout::BinaryInput1Place : layout::BinaryInput2Place;
    const int x = at.x + layout::SwitchSize.width / 2, y = at.y + layout::SwitchSize.height / 2;
    sim.PointerDown(MouseButton::Left, false, x, y);
    sim.PointerUp(MouseButton::Left, x, y);
}

void Apply(Simulator& sim, const modbus::PlantWrite& write) {
    if (write.table == modbus::PlantWrite::Table::Coil) {
        SetBinaryInput(sim, write.address, write.value != 0);
        return;
    }
    const bool on = write.value != 0;
    switch (static_cast<Holding>(write.address)) {
    case Holding::SetpointHundredths:
        EnterSetpoint(sim, write.value / 100.0, std::nullopt);
        break;
    case Holding::SetpointMicroamps: {
        const double mA = write.value / 1000.0;
        const Scales::CurrentConversion c = InputCurrentScale(sim);
        EnterSetpoint(sim, c.factor * mA + c.offset, mA);
        break;
    }
    case Holding::NoSupplyAir:
        return SetOption(sim, "NoPreasureSelect", on);
    case Holding::BlockDown:
        return SetOption(sim, "BlockDownSelect", on);
    case Holding::BlockUp:
        return SetOption(sim, "BlockUpSelect", on);
    case Holding::Leakage:
        return SetOption(sim, "LeakageSelect", on);
    case Holding::Friction:
        return SetOption(sim, "FrictionSelect", on);
    case Holding::Count:
        break;
    }
}

} // namespace

modbus::PlantImage ReadPlantImage(Simulator& sim) {
    modbus::PlantImage image;
    const SimState& s = sim.state;
    const FormState& f = sim.form;
    const Monitoring& m = sim.monitoring;
    image.takesCurrent = s.ControllerType == 0;
    image[Holding::SetpointHundredths] = static_cast<uint16_t>(std::clamp(
        std::nearbyint(s.Sollwert * 100.0), 0.0, static_cast<double>(modbus::kSetpointHundredthsMax)));
    if (image.takesCurrent) {
        const Scales::CurrentConversion c = InputCurrentScale(sim);
        const double microamps = (s.Sollwert - c.offset) / c.factor * 1000.0;
        image[Holding::SetpointMicroamps] = static_cast<uint16_t>(
            std::clamp(std::nearbyint(microamps), 0.0, static_cast<double>(modbus::kSetpointMicroampsMax)));
    }
    image[Holding::NoSupplyAir] = f.NoPreasureSelect.checked;
    image[Holding::BlockDown] = f.BlockDownSelect.checked;
    image[Holding::BlockUp] = f.BlockUpSelect.checked;
    image[Holding::Leakage] = f.LeakageSelect.checked;
    image[Holding::Friction] = f.FrictionSelect.checked;
    image.coils[static_cast<size_t>(modbus::Coil::BinaryInput1)] = m.BinaryInput1 != 0;
    image.coils[static_cast<size_t>(modbus::Coil::BinaryInput2)] = m.BinaryInput2 != 0;

    image[Input::Position] = Hundredths(s.Istwert);
    image[Input::Setpoint] = Hundredths(s.Sollwert);
    image[Input::ControllerSetpoint] = Hundredths(s.ReglerSollwert);
    image[Input::PositionSetpoint] = Hundredths(s.PositionSetpoint);
    image[Input::Mode] = static_cast<uint16_t>(s.Mode);
    uint16_t faults = 0;
    for (int n = 1; n <= modbus::kFaultCount; ++n)
        if (m.FaultFlags[n]) faults |= static_cast<uint16_t>(1u << (n - 1));
    image[Input::FaultBits] = faults;
    image[Input::Outputs] =
        static_cast<uint16_t>((m.FaultOutput ? 1 : 0) | (m.Alarm1Output ? 2 : 0) | (m.Alarm2Output ? 4 : 0));
    // The module's current as its digits show it: 4 ... 20 mA over 0 ... 100 %.
    if (f.StromModulSelect.checked)
        image[Input::FeedbackCurrent] = static_cast<uint16_t>(
            std::nearbyint(160.0 * std::clamp(sim.displays.IstwertShown, 0.0, 100.0) + 4000.0));
    for (int n = 0; n < modbus::kDiagnosticCount; ++n) {
        const auto value = static_cast<uint32_t>(sim.diagnostics.DiagTable[n].Value);
        const size_t at = static_cast<size_t>(Input::FirstDiagnostic) + 2 * static_cast<size_t>(n);
        image.input[at] = static_cast<uint16_t>(value >> 16);
        image.input[at + 1] = static_cast<uint16_t>(value & 0xFFFF);
    }

    const auto bit = [&](Discrete d, bool on) { image.discrete[static_cast<size_t>(d)] = on; };
    bit(Discrete::FaultOutput, m.FaultOutput != 0);
    bit(Discrete::Alarm1Output, m.Alarm1Output != 0);
    bit(Discrete::Alarm2Output, m.Alarm2Output != 0);
    bit(Discrete::BinaryInput1, m.BinaryInput1 != 0);
    bit(Discrete::BinaryInput2, m.BinaryInput2 != 0);
    bit(Discrete::Automatic, s.Mode == Mode::Automatic);
    for (int n = 1; n <= modbus::kFaultCount; ++n)
        image.discrete[static_cast<size_t>(Discrete::FirstFault) + n - 1] = m.FaultFlags[n] != 0;
    return image;
}

PlantLink::PlantLink(Simulator& sim, std::unique_ptr<ModbusServer> server)
    : sim_(sim), server_(std::move(server)) {
    Refresh();
}

PlantLink::~PlantLink() = default;

void PlantLink::Refresh() {
    if (server_->Clients() == 0) setpointByClient_ = false; // the field is the user's again
    const modbus::PlantImage image = ReadPlantImage(sim_);
    if (publishedOnce_ && image == published_) return;
    published_ = image;
    publishedOnce_ = true;
    server_->Publish(image);
}

void ApplyPlantWrites(Simulator& sim, std::span<const modbus::PlantWrite> writes,
                      const std::function<void(const std::string&)>& line) {
    const LineTap tap(sim, line);
    for (const modbus::PlantWrite& w : writes)
        Apply(sim, w);
}

namespace {

// Of several writes to one register or coil since the last time, the last is what the client wants:
// only it is applied, where the last write stood.
std::vector<modbus::PlantWrite> LastOfEach(const std::vector<modbus::PlantWrite>& writes) {
    std::vector<modbus::PlantWrite> last;
    for (auto w = writes.rbegin(); w != writes.rend(); ++w)
        if (std::none_of(last.begin(), last.end(), [&](const modbus::PlantWrite& kept) {
                return kept.table == w->table && kept.address == w->address;
            }))
            last.push_back(*w);
    std::reverse(last.begin(), last.end());
    return last;
}

} // namespace

size_t PlantLink::ApplyPending(const std::function<void(const std::string&)>& line) {
    const std::vector<modbus::PlantWrite> taken = server_->TakeWrites();
    if (taken.empty()) return 0;
    const std::vector<modbus::PlantWrite> writes = LastOfEach(taken);
    for (const modbus::PlantWrite& w : writes)
        if (w.table == modbus::PlantWrite::Table::Holding &&
            (w.address == static_cast<uint16_t>(Holding::SetpointHundredths) ||
             w.address == static_cast<uint16_t>(Holding::SetpointMicroamps)))
            setpointByClient_ = true;
    ApplyPlantWrites(sim_, writes, line);
    publishedOnce_ = false; // the client's values stood in the image until now: publish the device's
    Refresh();
    return taken.size();
}

} // namespace vp7
