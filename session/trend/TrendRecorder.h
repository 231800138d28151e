// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The trend: the setpoint path and the valve position over time, and the events a trainer points at
// (mode changes, faults, alarms, inputs, options, setpoint entries, the initialization's runs), kept in
// bounded ring buffers for the trend window and the CSV export. It listens to a simulator as its sample
// observer and finds most events by comparing what the device shows with what it showed before.
#include "model/DeviceCodes.h"
#include "model/SampleObserver.h"
#include "session/trend/RingBuffer.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>

namespace vp7 {

class Simulator;

enum class TrendMode : uint8_t { Automatic, Manual, Configuration, Diagnostics, Initialization };
// "AUT", "MAN", "CONF", "DIAG", "INIT"
const char* TrendModeName(TrendMode mode);

struct TrendSample {
    int64_t timeMs = 0; // since the recording began
    double setpoint = 0, controllerSetpoint = 0, positionSetpoint = 0, position = 0;
    TrendMode mode = TrendMode::Automatic;
    double Deviation() const { return positionSetpoint - position; }
};

enum class TrendEventKind : uint8_t {
    Mode,            // which: TrendMode
    Fault,           // which: 1..8; on: raised
    Alarm,           // which: 1 or 2
    BinaryInput,     // which: 1 or 2; on: closed
    Option,          // which: TrendOption
    Throttle,        // which: the item, 0..3
    ValveType,       // which: 0 spring closes, 1 spring opens, 2 double acting
    Initialization,  // which: run 1..5, 6 finished
    SetpointEntered, // value: the setpoint in %
    ConfigurationLoaded,
    ParametersApplied,
};
enum class TrendOption : uint8_t { NoSupplyAir, BlockAt10, BlockAt90, Friction, Leakage };

struct TrendEvent {
    int64_t timeMs = 0;
    uint64_t sample = 0; // the number of the sample that carries it
    TrendEventKind kind = TrendEventKind::Mode;
    uint8_t which = 0;
    bool on = false;
    double value = 0;
    // A short text, "Störung 1 gekommen (Regelabweichung)" / "Fault 1 raised (control deviation)".
    std::string Text(Language language) const;
};

class TrendRecorder final : public SampleObserver {
public:
    // Two hours at the motion tick's 20 samples a second plus the monitoring cycle's one, with a margin.
    static constexpr std::size_t kSampleCapacity = (2 * 3600 + 600) * 21;
    static constexpr std::size_t kEventCapacity = 20000;

    // Starts recording from the simulator's present state, which counts as no event.
    explicit TrendRecorder(Simulator& sim, std::size_t sampleCapacity = kSampleCapacity,
                           std::size_t eventCapacity = kEventCapacity);
    ~TrendRecorder() override;
    TrendRecorder(const TrendRecorder&) = delete;
    TrendRecorder& operator=(const TrendRecorder&) = delete;

    void OnSample(SampleCause cause) override;
    void OnHappening(Happening what) override;

    const RingBuffer<TrendSample>& Samples() const { return samples_; }
    const RingBuffer<TrendEvent>& Events() const { return events_; }
    // The last sample taken at or before `timeMs`, else the first; none while nothing is recorded.
    std::optional<TrendSample> SampleAt(int64_t timeMs) const;
    // Goes on from `earlier`, this session's trend before it was rewound to now, which must have been
    // recorded on the same device restored: what it recorded before now stays, its times and numbers
    // go on. Only while this one has recorded nothing.
    void ContinueFrom(const TrendRecorder& earlier);
    // Changes of these controls (by their names) make no marks: an exercise hides the fault it sets.
    void Conceal(const std::set<std::string>& controls);
    // Grows with every sample and event: a view redraws when it moved.
    uint64_t Revision() const { return samples_.Pushed() + events_.Pushed(); }

private:
    // What the device shows that a change of is an event.
    struct Watched {
        TrendMode mode = TrendMode::Automatic;
        std::array<uint8_t, 9> faults{};
        std::array<uint8_t, 3> alarms{}, inputs{};
        std::array<bool, 5> options{};
        int throttle = 0, valveType = 0, initRun = 0;
    };
    Watched Look() const;
    void MarkChanges(const Watched& now);
    void AddEvent(TrendEventKind kind, int which, bool on = false, double value = 0);
    int64_t Now() const;

    Simulator& sim_;
    std::set<std::string> concealed_; // before last_, which is looked at first in the constructor
    int64_t startMs_;
    Watched last_;
    RingBuffer<TrendSample> samples_;
    RingBuffer<TrendEvent> events_;
    bool eventPending_ = false;
};

} // namespace vp7
