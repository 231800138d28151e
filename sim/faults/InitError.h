// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The initialization stopped with an error: the sequencer stays in the failing run and the lower line
// alternates between the run and "ERROR"; the info window says what was found and what to do. Only the
// mode key leaves, as after the end.
#include <cstdint>
#include <string>

namespace vp7 {

class Simulator;
class StateVisitor;

class InitError {
public:
    explicit InitError(Simulator& sim);

    // Stops the procedure in its current run: any move halts where the stem is.
    void Stop(const char* errorDe, const char* errorEn, const std::string& measureDe,
              const std::string& measureEn);
    // A sequencer tick while stopped: the lower line changes and the tick is taken.
    bool Tick();
    bool Stopped() const { return Run != 0; }

    bool Holds() const { return Stopped(); }
    void Reset();
    void DoState(StateVisitor& v);

    uint8_t Run = 0; // the failing run, 1..5; 0 while none failed
    uint8_t ShowsError = 0;

private:
    Simulator& sim_;
};

} // namespace vp7
