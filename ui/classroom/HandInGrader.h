// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The station's judge of the hand-ins: each replayed (VerifyHandIn) on a worker thread of its own, one
// at a time, so that the station's window stays responsive however long a replay takes within the
// verifier's bounds; the verdict comes back on the thread the grader lives on. A hand-in without a
// recording, or for a seat that was sent nothing, needs no replay: its verdict comes at once.
#include "classroom/HandInVerifier.h"

#include <QObject>
#include <QThreadPool>

#include <functional>
#include <optional>

namespace vp7 {

class HandInGrader : public QObject {
public:
    using Graded = std::function<void(const HandInMessage& handIn, const HandInVerdict& verdict)>;

    explicit HandInGrader(Graded graded, QObject* parent = nullptr);
    // Waits for the replay under way, which its wall budget bounds; those queued behind it are dropped.
    ~HandInGrader() override;

    // Judges `handIn` against `sent`, what the station sent its seat (none: nothing).
    void Grade(HandInMessage handIn, std::optional<SentExercise> sent);
    // Hand-ins handed to a worker whose verdict has not come yet.
    int Pending() const { return pending_; }

private:
    Graded graded_;
    QThreadPool workers_;
    int pending_ = 0;
};

} // namespace vp7
