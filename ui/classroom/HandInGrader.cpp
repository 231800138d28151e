// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/classroom/HandInGrader.h"

#include <QMetaObject>

namespace vp7 {

HandInGrader::HandInGrader(Graded graded, QObject* parent) : QObject(parent), graded_(std::move(graded)) {
    // One replay at a time: the machine is the instructor's, and a room's hand-ins arrive together.
    workers_.setMaxThreadCount(1);
}

HandInGrader::~HandInGrader() {
    workers_.clear();
    workers_.waitForDone();
}

void HandInGrader::Grade(HandInMessage handIn, std::optional<SentExercise> sent) {
    if (!sent) {
        HandInVerdict verdict;
        verdict.refusal = "the station sent this seat no exercise";
        return graded_(handIn, verdict);
    }
    if (handIn.result.recording.empty())
        return graded_(handIn, VerifyHandIn(*sent, handIn.result)); // refused at once
    ++pending_;
    workers_.start([this, handIn = std::move(handIn), sent = std::move(*sent)]() mutable {
        HandInVerdict verdict = VerifyHandIn(sent, handIn.result);
        // Queued to this object: delivered on its thread, and dropped with it when it is gone first.
        QMetaObject::invokeMethod(
            this,
            [this, handIn = std::move(handIn), verdict = std::move(verdict)] {
                --pending_;
                graded_(handIn, verdict);
            },
            Qt::QueuedConnection);
    });
}

} // namespace vp7
