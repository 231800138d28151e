// SPDX-License-Identifier: GPL-3.0-or-later
// vp7sim [--record FILE] [--play FILE] [--exercise FILE]: the desktop simulator; with --record the whole
// run is recorded into FILE, with --play a recording plays in a window beside the device at start, with
// --exercise the exercise starts at once (after asking for the trainee's name).
#include "ui/Application.h"
#include "ui/MainWindow.h"
#include "ui/SingleInstance.h"
#include "ui/TerminationSignals.h"

#include <QApplication>
#include <QLocale>
#include <QProcess>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    vp7::SingleInstance instance;
    if (!instance.Acquire()) {
        // Another simulator runs: its window comes to the front, and this start ends without one.
        vp7::SingleInstance::AskToRaise();
        return 0;
    }

    QApplication::setApplicationName(QStringLiteral("vp7sim"));
    QApplication::setApplicationDisplayName(vp7::kApplicationTitle);

    const QStringList arguments = QCoreApplication::arguments();
    const qsizetype record = arguments.indexOf(QStringLiteral("--record"));
    const std::string recordPath =
        record > 0 && record + 1 < arguments.size() ? arguments[record + 1].toStdString() : "";
    const qsizetype play = arguments.indexOf(QStringLiteral("--play"));

    bool restart = false;
    QStringList restartArguments;
    int status;
    {
        vp7::AppWindows windows = vp7::CreateProgramWindows(
            QCoreApplication::applicationDirPath().toStdString(), vp7::PictureScale(),
            QLocale::system().language() == QLocale::German, nullptr, recordPath);
        windows.main->show();
        QObject::connect(&instance, &vp7::SingleInstance::RaiseRequested, windows.main.get(),
                         [&windows] { vp7::BringToFront(*windows.main); });
        vp7::CloseOnTerminationSignals(windows.main.get());
        if (play > 0 && play + 1 < arguments.size()) windows.main->PlayRecording(arguments[play + 1]);
        const qsizetype exercise = arguments.indexOf(QStringLiteral("--exercise"));
        if (exercise > 0 && exercise + 1 < arguments.size())
            windows.main->StartExercise(arguments[exercise + 1]);
        status = QApplication::exec();
        restartArguments = windows.main->RestartArguments();
        restart = windows.main->RestartWanted() || !restartArguments.isEmpty();
    }
    instance.Release();
    // The new instance starts only after this one has let go of the lock.
    if (restart) QProcess::startDetached(QCoreApplication::applicationFilePath(), restartArguments);
    return status;
}
