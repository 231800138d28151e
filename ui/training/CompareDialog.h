// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Konfiguration vergleichen…": one configuration file against the running device, or two files
// against each other, as the parameter table shows them side by side, the differing rows marked.
class QWidget;

namespace vp7 {

class Simulator;

// Asks for one or two configuration files in the data folder and shows the comparison (a refused file
// gives its message instead).
void CompareConfigurations(QWidget* parent, Simulator& sim);

} // namespace vp7
