// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The initialization procedure: RUN 1 to RUN 5 on their own once started from the configuration menu,
// moving the actuator in potentiometer coordinates (end stops at 8.0 and 92.0), timing the strokes,
// stepping around the middle, and ending with "FINSH" and the determined travel. Also the texts of
// the info window that accompanies it.
#include <array>
#include <cstdint>
#include <string>

namespace vp7 {

class StateVisitor;

class Simulator;

class Initialization {
public:
    explicit Initialization(Simulator& sim);
    // Its own fields, for a snapshot: saved, loaded, checked and compared alike.
    void DoState(StateVisitor& v);

    void StartInitialization();
    void EndInitialization();
    // One step per monitoring cycle (1000 ms).
    void InitSequencer();
    // One move step per motion tick (50 ms).
    void InitMoveStep();
    void StartInitMove();
    // Where the stem is while the procedure moves it, in % of the travel (the device's own position
    // stays as it was until the procedure ends).
    double StemPercent() const;
    void ShowInitRun(int run, int code);
    void ShowInitValue(int code, double value);
    // The info window's Pause / Continue button.
    void RunPauseButtonClick();
    // The run's name and explanation lines in the info window.
    void ShowRunInfo();

    // Codes of ShowInitRun and ShowInitValue beyond the runs' own (0 run and position, 9 up time, 10
    // down time, 11 finished): the extended fault effects' leakage and error displays.
    static constexpr int ShowLeakage = 12, ShowError = 13;
    static constexpr double InitBottom = 8.0, InitTop = 92.0, InitSpan = InitTop - InitBottom;
    static constexpr double InitScale = InitSpan / 100, InitOffset = InitBottom;
    // Potentiometer travel per piston frame; also scales the motion speeds while the procedure runs.
    static constexpr double InitSpeedFactor = 2.5 * InitSpan / 100;

    uint8_t InitPaused = 0;
    uint8_t InitRun = 0;
    std::array<uint8_t, 5> RunStep{}; // Run1Step ... Run5Step
    int32_t InitWait = 0;
    uint8_t InitShow = 0; // 0 run and position, 9 up time, 10 down time, 11 finished
    double InitTarget = 0, InitPosition = 0;
    double TravelTimeDown = 0, TravelTimeUp = 0;
    int32_t ShowCount = 0;
    struct Run5Entry {
        void DoState(StateVisitor& v);
        double target;
        int32_t wait;
    };
    std::array<Run5Entry, 11> Run5Table{};
    int32_t Run5Index = 0;

private:
    // True while a move is still under way: the step is tried again at the next tick.
    bool Moving() const;
    // "After InitWait ticks": counts down and says whether the wait is over.
    bool Waited();
    void Run1();
    void Run2();
    void Run3();
    void Run4();
    void Run5();
    Simulator& sim_;
};

} // namespace vp7
