#include "device/OperatingDisplays.h"

#include "core/Simulator.h"

namespace vp7 {

OperatingDisplays::OperatingDisplays(Simulator& sim) : sim_(sim) {}

// The texts on the display and the feedback digits are drawn here once the display output exists;
// until then the values are only recorded.
void OperatingDisplays::IstwertAnzeige(double position) { IstwertShown = position; }

void OperatingDisplays::SollwertAnzeige(double setpoint) { SollwertShownOnLcd = setpoint; }

} // namespace vp7
