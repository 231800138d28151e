// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/app/TerminationSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QWidget>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace vp7 {
namespace {

int signalPipe[2] = {-1, -1};

// Only async-signal-safe work here: one byte to the event loop.
void OnSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

} // namespace

void CloseOnTerminationSignals(QWidget* window, std::function<void()> keepSettings) {
    if (signalPipe[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, window);
    QObject::connect(notifier, &QSocketNotifier::activated, window, [window, keepSettings] {
        char byte;
        [[maybe_unused]] const ssize_t got = ::read(signalPipe[0], &byte, 1);
        // A window that refuses to close (the start-up picture still showing) must not keep the
        // system from ending the program, nor lose what was set meanwhile in the program's other
        // windows (the instructor station's broker and room).
        if (window->close()) return;
        if (keepSettings) keepSettings();
        QCoreApplication::exit(0);
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGHUP, SIGINT})
        sigaction(sig, &action, nullptr);
}

} // namespace vp7
