// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rewind dialog: the session's time line with a tick every minute and the trend's event marks;
// a click or drag on it chooses the moment to go back to.
#include <QDialog>
#include <QString>

#include <cstdint>
#include <vector>

class QLabel;

namespace vp7 {

struct RewindMark {
    int64_t ms; // after the session's start
    QString text;
};

class RewindTimeline;

class RewindDialog : public QDialog {
    Q_OBJECT
public:
    RewindDialog(QWidget* parent, int64_t lengthMs, std::vector<RewindMark> marks, bool german);
    int64_t ChosenMs() const;
    void Choose(int64_t ms);

private:
    void ShowChosen();
    RewindTimeline* timeline_;
    QLabel* chosen_;
    bool german_;
};

} // namespace vp7
