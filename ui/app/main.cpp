// SPDX-License-Identifier: GPL-3.0-or-later
// vp7sim [--record FILE] [--play FILE] [--exercise FILE] [--instructor]: the desktop simulator; with --record
// the whole run is recorded into FILE, with --play a recording plays in a window beside the device at start,
// with --exercise the exercise starts at once (after asking for the trainee's name), with --state the
// device starts from a saved state, with --instructor the classroom's instructor station opens. --help and
// --version say what it is.
#include "formats/PrivateFolders.h"
#include "session/SavedState.h"
#include "sim/files/Settings.h"
#include "ui/app/Application.h"
#include "ui/app/ClassroomControl.h"
#include "ui/app/MainWindow.h"
#include "ui/app/SingleInstance.h"
#include "ui/app/StateStart.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>

#include <cstdio>

namespace {

// The options. An unknown option, or one without its FILE, is passed over, as it always was; Qt's own
// (-platform, -style, ...) are taken by QApplication before these are read.
struct CommandLine {
    QCommandLineParser parser;
    QCommandLineOption record{QStringLiteral("record"),
                              QStringLiteral("Records the whole run into FILE, a script that the player and "
                                             "vp7-headless replay exactly."),
                              QStringLiteral("FILE")};
    QCommandLineOption play{QStringLiteral("play"),
                            QStringLiteral("Plays the recording FILE in a window beside the device."),
                            QStringLiteral("FILE")};
    QCommandLineOption exercise{QStringLiteral("exercise"),
                                QStringLiteral("Starts the exercise FILE at once (after asking for the "
                                               "trainee's name)."),
                                QStringLiteral("FILE")};
    QCommandLineOption state{QStringLiteral("state"),
                             QStringLiteral("Starts from the saved state FILE (Simulation, Save state)."),
                             QStringLiteral("FILE")};
    QCommandLineOption instructor{QStringLiteral("instructor"),
                                  QStringLiteral("Opens the instructor station for a classroom (after asking "
                                                 "for the broker and the room).")};
    QCommandLineOption room{
        QStringLiteral("room"),
        QStringLiteral("Opens the instructor station on the room FILE (room.json, made by "
                       "vp7-room), every seat of it shown from the start."),
        QStringLiteral("FILE")};
    // How a rewind or a loaded state hands its session to the program started again.
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Shows this help and ends.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Shows the version and ends.")};

    explicit CommandLine(const QStringList& arguments) {
        parser.setApplicationDescription(QStringLiteral(
            "The KELDAR VP7 simulator: a training simulator of an electropneumatic valve positioner.\n"
            "Qt's own options (-platform, -style, ...) are understood as well. More: man vp7sim"));
        // "-reverse" is Qt's option, not -r -e -v ...
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.addOptions({record, play, exercise, state, instructor, room, help, version});
        parser.parse(arguments);
    }
    std::string Value(const QCommandLineOption& option) const { return parser.value(option).toStdString(); }
    // For the simulator already running: the file this start was given to open, by its absolute path
    // (the running one has a working folder of its own).
    vp7::InstanceMessage ForRunningInstance() const {
        const std::pair<const QCommandLineOption*, vp7::OpenKind> files[] = {
            {&state, vp7::OpenKind::State},
            {&play, vp7::OpenKind::Recording},
            {&exercise, vp7::OpenKind::Exercise},
            {&room, vp7::OpenKind::Room}};
        for (const auto& [option, kind] : files)
            if (parser.isSet(*option))
                return {vp7::OpenRequest{kind,
                                         QFileInfo(parser.value(*option)).absoluteFilePath().toStdString()}};
        return {};
    }
};

// --help and --version answer without a display, a window or the running simulator brought to the front.
bool AnsweredInformation(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine line(arguments);
    if (!line.parser.isSet(line.help) && !line.parser.isSet(line.version)) return false;
    const QCoreApplication core(argc, argv); // the help names the program as it was called
    const QString text = line.parser.isSet(line.help)
                             ? line.parser.helpText()
                             : QStringLiteral("vp7sim %1\n").arg(QString::fromLatin1(vp7::ProgramVersion()));
    std::fputs(text.toLocal8Bit().constData(), stdout);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (AnsweredInformation(argc, argv)) return 0;
    QApplication app(argc, argv);
    vp7::SingleInstance instance;
    if (!instance.Acquire()) {
        // Another simulator runs: its window comes to the front, opens the file given to this start, and
        // this start ends without a window.
        vp7::SingleInstance::AskToRaise(CommandLine(QCoreApplication::arguments()).ForRunningInstance());
        return 0;
    }

    QApplication::setApplicationName(QStringLiteral("vp7sim"));
    QApplication::setApplicationDisplayName(vp7::kApplicationTitle);

    const CommandLine line(QCoreApplication::arguments());
    // On a shared PC, one trainee's recordings (an exercise's solution), reports and settings are no
    // other's to read: what the program makes from now on, and its folders an older version made open.
    vp7::CreatePrivately();
    const std::string programDir = QCoreApplication::applicationDirPath().toStdString();
    for (const std::string& base : vp7::SettingsBases(programDir, vp7::UserDataDir()))
        vp7::TightenOwnFolders(base, base == vp7::UserDataDir());

    bool restart = false;
    QStringList restartArguments;
    int status;
    {
        vp7::AppWindows windows =
            vp7::StartProgram(programDir, QLocale::system().language() == QLocale::German,
                              QCoreApplication::arguments(), line.Value(line.record));
        windows.main->show();
        QObject::connect(&instance, &vp7::SingleInstance::RaiseRequested, windows.main.get(),
                         [&windows] { vp7::BringToFront(*windows.main); });
        // Queued: opening may ask the user, which must not happen inside the socket's handler.
        QObject::connect(
            &instance, &vp7::SingleInstance::OpenRequested, windows.main.get(),
            [&windows](const vp7::OpenRequest& request) { vp7::OpenForSecondStart(windows, request); },
            Qt::QueuedConnection);
        vp7::EndOnTerminationSignals(windows);
        if (line.parser.isSet(line.play)) windows.main->PlayRecording(line.parser.value(line.play));
        if (line.parser.isSet(line.exercise)) windows.main->StartExercise(line.parser.value(line.exercise));
        if (line.parser.isSet(line.instructor)) windows.classroom->AskForStation();
        if (line.parser.isSet(line.room)) windows.classroom->OpenRoom(line.parser.value(line.room));
        status = QApplication::exec();
        restartArguments = windows.main->RestartArguments();
        restart = windows.main->RestartWanted() || !restartArguments.isEmpty();
    }
    instance.Release();
    // The new instance starts only after this one has let go of the lock.
    if (restart) QProcess::startDetached(QCoreApplication::applicationFilePath(), restartArguments);
    return status;
}
