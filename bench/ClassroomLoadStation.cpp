// SPDX-License-Identifier: GPL-3.0-or-later
// The classroom's load on the instructor's station: the messages a room sent, each given to the station
// at the moment it arrived from the broker, timed with the layout and painting it causes (offscreen).
#include "ClassroomLoad.h"
#include "ui/classroom/InstructorStation.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <thread>
#include <time.h>

namespace bench {
namespace {

// Counts the paint events of every widget: the grid did repaint what a message changed.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return QObject::eventFilter(watched, event);
    }
};

constexpr double kNsPerMs = 1e6;

// This thread's time on a CPU: what the station cost, without the moments others had the core.
int64_t ThreadCpuNs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec;
}

} // namespace

std::optional<StationFigures> ReplayToStation(const std::vector<vp7::test::Instructor::Message>& messages,
                                              const std::string& room) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "vp7_classroom_load";
    static char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    QTemporaryDir classFolder;
    vp7::InstructorStation station(
        QString::fromStdString(room), false, [](const QString&, const QByteArray&) {}, classFolder.path());
    station.show();
    QCoreApplication::processEvents();
    StationFigures figures;
    if (messages.empty()) return figures;
    PaintCounter counter;
    app.installEventFilter(&counter);
    const auto begin = std::chrono::steady_clock::now();
    const auto first = messages.front().arrived;
    for (const auto& m : messages) {
        std::this_thread::sleep_until(begin + (m.arrived - first));
        const qsizetype tiles = station.Seats().size();
        QElapsedTimer taken;
        const int64_t cpuBefore = ThreadCpuNs();
        taken.start();
        station.Received(QString::fromStdString(m.topic), QByteArray::fromStdString(m.payload));
        // What the message changed is laid out and painted before the next can come.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        const auto ns = static_cast<double>(taken.nsecsElapsed());
        figures.cpuMs.push_back(static_cast<double>(ThreadCpuNs() - cpuBefore) / kNsPerMs);
        (station.Seats().size() > tiles ? figures.tileMadeMs : figures.takenMs).push_back(ns / kNsPerMs);
    }
    figures.paints = counter.paints;
    app.removeEventFilter(&counter);
    return figures;
}

} // namespace bench
