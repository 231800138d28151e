// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The binary input switches and the alarm module's outputs on the device picture: a switch picture per
// state and language, and its caption above it.
#include <cstdint>

namespace vp7 {

class Simulator;

class IoPictures {
public:
    explicit IoPictures(Simulator& sim);

    void ShowBinaryInput1();
    void ShowBinaryInput2();
    void ShowFaultOutput(bool on);
    void ShowAlarmOutput1(bool on);
    void ShowAlarmOutput2(bool on);
    // The captions and pictures of the three outputs in their last states.
    void ShowAlarmModule();

    // One switch or output: place, pictures and caption.
    struct Element;

private:
    void ShowCaption(const Element& e, bool visible);
    void ShowPicture(const Element& e, bool on, bool fitted);
    Simulator& sim_;
};

} // namespace vp7
