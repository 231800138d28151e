// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The running device's configuration sheet (training/ConfigSheet) from the window: printed through
// Qt's print dialog (a PDF file through it too) and exported as CSV through a save dialog.
class QPagedPaintDevice;
class QWidget;

namespace vp7 {

class Simulator;

void PrintConfiguration(QWidget* parent, const Simulator& sim);
void ExportConfiguration(QWidget* parent, const Simulator& sim);
// The sheet as it is now, laid out on `device` (a printer or a PDF writer).
void PrintConfigSheet(const Simulator& sim, QPagedPaintDevice& device);

} // namespace vp7
