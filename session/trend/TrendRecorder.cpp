// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/trend/TrendRecorder.h"

#include "platform/NumberFormat.h"
#include "sim/Simulator.h"
#include "sim/diagnosis/Initialization.h"
#include "sim/diagnosis/Monitoring.h"

namespace vp7 {
namespace {

struct TwoTexts {
    const char* de;
    const char* en;
};

constexpr TwoTexts kFaultNames[9] = {
    {"", ""},
    {"Regelabweichung", "control deviation"},
    {"nicht in Automatik", "not in automatic"},
    {"Binäreingang", "binary input"},
    {"Hubzähler", "stroke counter"},
    {"Richtungswechsel", "direction changes"},
    {"Nullpunkt", "zero point"},
    {"Anschlag oben", "upper end stop"},
    {"Totzone", "dead band"},
};
constexpr TwoTexts kOptionNames[5] = {
    {"Keine Druckluft", "No supply air"},
    {"Blockieren bei 10%", "Block at 10%"},
    {"Blockieren bei 90%", "Block at 90%"},
    {"Reibung", "Friction"},
    {"Leckage", "Leakage"},
};
constexpr TwoTexts kThrottleNames[4] = {
    {"ganz offen", "full open"},
    {"4 Umdrehungen", "4 turns"},
    {"2 Umdrehungen", "2 turns"},
    {"1/2 Umdrehung", "1/2 turn"},
};
constexpr TwoTexts kValveTypes[3] = {{"selbstschließend", "self-closing"},
                                     {"selbstöffnend", "self-opening"},
                                     {"doppelwirkend", "double acting"}};

template <std::size_t N> const TwoTexts& Pick(const TwoTexts (&table)[N], int i) {
    return table[static_cast<std::size_t>(i) < N ? i : 0];
}

} // namespace

const char* TrendModeName(TrendMode mode) {
    static constexpr const char* kNames[] = {"AUT", "MAN", "CONF", "DIAG", "INIT"};
    return kNames[static_cast<int>(mode)];
}

std::string TrendEvent::Text(Language language) const {
    const bool de = language == Language::German;
    const auto pick = [de](const TwoTexts& t) { return std::string(de ? t.de : t.en); };
    const std::string n = std::to_string(which);
    switch (kind) {
    case TrendEventKind::Mode:
        return (de ? "Betriebsart " : "Mode ") + std::string(TrendModeName(static_cast<TrendMode>(which)));
    case TrendEventKind::Fault:
        return (de ? "Störung " : "Fault ") + n +
               (de ? (on ? " gekommen (" : " gegangen (") : (on ? " raised (" : " cleared (")) +
               pick(Pick(kFaultNames, which)) + ")";
    case TrendEventKind::Alarm:
        return "Alarm A" + n + (on ? (de ? " ein" : " on") : (de ? " aus" : " off"));
    case TrendEventKind::BinaryInput:
        return (de ? "Binäreingang " : "Binary input ") + n +
               (on ? (de ? " geschlossen" : " closed") : (de ? " offen" : " open"));
    case TrendEventKind::Option:
        return pick(Pick(kOptionNames, which)) + (on ? (de ? " ein" : " on") : (de ? " aus" : " off"));
    case TrendEventKind::Throttle:
        return (de ? "Drossel " : "Needle valve ") + pick(Pick(kThrottleNames, which));
    case TrendEventKind::ValveType:
        return (de ? "Ventil " : "Valve ") + pick(Pick(kValveTypes, which));
    case TrendEventKind::Initialization:
        return which > 5 ? std::string("FINSH") : "RUN " + n;
    case TrendEventKind::SetpointEntered:
        return (de ? "Sollwert " : "Setpoint ") + FormatFixed(value, 1, 18) + " %";
    case TrendEventKind::ConfigurationLoaded:
        return de ? "Konfiguration geladen" : "Configuration loaded";
    case TrendEventKind::ParametersApplied:
        return de ? "Parameter übernommen" : "Parameters applied";
    }
    return {};
}

TrendRecorder::TrendRecorder(Simulator& sim, std::size_t sampleCapacity, std::size_t eventCapacity)
    : sim_(sim), startMs_(sim.clock.NowMs()), last_(Look()), samples_(sampleCapacity),
      events_(eventCapacity) {
    sim_.SetSampleObserver(this);
}

TrendRecorder::~TrendRecorder() {
    sim_.SetSampleObserver(nullptr);
}

void TrendRecorder::ContinueFrom(const TrendRecorder& earlier) {
    if (!samples_.Empty() || !events_.Empty()) return;
    // Both trends began as long after their device's creation.
    startMs_ = sim_.CreatedMs + (earlier.startMs_ - earlier.sim_.CreatedMs);
    const int64_t now = Now();
    samples_.NumberFrom(earlier.samples_.FirstKept());
    for (std::size_t i = 0; i < earlier.samples_.Size() && earlier.samples_[i].timeMs < now; ++i)
        samples_.Push(earlier.samples_[i]);
    events_.NumberFrom(earlier.events_.FirstKept());
    for (std::size_t i = 0; i < earlier.events_.Size() && earlier.events_[i].timeMs < now; ++i)
        events_.Push(earlier.events_[i]);
    concealed_ = earlier.concealed_;
    last_ = Look();
}

int64_t TrendRecorder::Now() const {
    return sim_.clock.NowMs() - startMs_;
}

TrendRecorder::Watched TrendRecorder::Look() const {
    const SimState& s = sim_.state;
    const Monitoring& m = sim_.monitoring;
    const FormState& f = sim_.form;
    Watched w;
    if (s.InitRunning || s.InitStepRunning)
        w.mode = TrendMode::Initialization;
    else if (s.DiagnosticMode)
        w.mode = TrendMode::Diagnostics;
    else if (s.Mode == Mode::Automatic)
        w.mode = TrendMode::Automatic;
    else if (s.Mode == Mode::Manual)
        w.mode = TrendMode::Manual;
    else
        w.mode = TrendMode::Configuration;
    for (int i = 1; i <= 8; ++i)
        w.faults[i] = m.FaultFlags[i] != 0;
    w.alarms = {0, m.Alarm1Active, m.Alarm2Active};
    w.inputs = {0, m.BinaryInput1, m.BinaryInput2};
    const Control* options[] = {&f.NoPreasureSelect, &f.BlockDownSelect, &f.BlockUpSelect, &f.FrictionSelect,
                                &f.LeakageSelect};
    for (std::size_t i = 0; i < w.options.size(); ++i)
        w.options[i] = options[i]->checked && !concealed_.contains(options[i]->name);
    if (!concealed_.contains(f.DrosselSelect.name)) w.throttle = f.DrosselSelect.itemIndex;
    if (!concealed_.contains(f.SelfClosingSelect.name))
        w.valveType = f.SelfClosingSelect.checked ? 0 : f.SelfOpeningSelect.checked ? 1 : 2;
    const Initialization& init = sim_.initialization;
    if (w.mode == TrendMode::Initialization) w.initRun = init.InitShow == 11 ? 6 : init.InitRun + 1;
    return w;
}

void TrendRecorder::MarkChanges(const Watched& now) {
    const auto flags = [this](const auto& before, const auto& after, TrendEventKind kind, int first) {
        for (std::size_t i = first; i < after.size(); ++i)
            if ((before[i] != 0) != (after[i] != 0)) AddEvent(kind, static_cast<int>(i), after[i] != 0);
    };
    if (now.mode != last_.mode) AddEvent(TrendEventKind::Mode, static_cast<int>(now.mode));
    flags(last_.faults, now.faults, TrendEventKind::Fault, 1);
    flags(last_.alarms, now.alarms, TrendEventKind::Alarm, 1);
    flags(last_.inputs, now.inputs, TrendEventKind::BinaryInput, 1);
    flags(last_.options, now.options, TrendEventKind::Option, 0);
    if (now.throttle != last_.throttle) AddEvent(TrendEventKind::Throttle, now.throttle);
    if (now.valveType != last_.valveType) AddEvent(TrendEventKind::ValveType, now.valveType);
    if (now.initRun != last_.initRun && now.initRun != 0)
        AddEvent(TrendEventKind::Initialization, now.initRun);
    last_ = now;
}

void TrendRecorder::AddEvent(TrendEventKind kind, int which, bool on, double value) {
    TrendEvent e;
    e.timeMs = Now();
    e.sample = samples_.Pushed(); // the sample taken next
    e.kind = kind;
    e.which = static_cast<uint8_t>(which);
    e.on = on;
    e.value = value;
    events_.Push(e);
    eventPending_ = true;
}

void TrendRecorder::OnHappening(Happening what) {
    switch (what) {
    case Happening::SetpointEntered:
        AddEvent(TrendEventKind::SetpointEntered, 0, false, sim_.state.Sollwert);
        break;
    case Happening::ConfigurationLoaded:
        AddEvent(TrendEventKind::ConfigurationLoaded, 0);
        break;
    case Happening::ParametersApplied:
        AddEvent(TrendEventKind::ParametersApplied, 0);
        break;
    }
}

void TrendRecorder::Conceal(const std::set<std::string>& controls) {
    concealed_ = controls;
    last_ = Look();
}

std::optional<TrendSample> TrendRecorder::SampleAt(int64_t timeMs) const {
    if (samples_.Empty()) return std::nullopt;
    std::size_t low = 0, high = samples_.Size(); // the first sample after timeMs lies in [low, high]
    while (low < high) {
        const std::size_t mid = low + (high - low) / 2;
        if (samples_[mid].timeMs <= timeMs)
            low = mid + 1;
        else
            high = mid;
    }
    return samples_[low > 0 ? low - 1 : 0];
}

void TrendRecorder::OnSample(SampleCause cause) {
    MarkChanges(Look());
    // An action or a timer besides the two cycles is worth a sample only when it made an event.
    if (cause == SampleCause::Event && !eventPending_) return;
    eventPending_ = false;
    const SimState& s = sim_.state;
    // The initialization moves the stem on its own; the device takes the position over at its end.
    const double position =
        last_.mode == TrendMode::Initialization ? sim_.initialization.StemPercent() : s.Istwert;
    samples_.Push(TrendSample{Now(), s.Sollwert, s.ReglerSollwert, s.PositionSetpoint, position, last_.mode});
}

} // namespace vp7
