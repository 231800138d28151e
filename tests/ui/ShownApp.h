// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's windows on a fresh program folder, the main window shown; files a test reads and writes
// whole; an exercise worked on in its window.
#include "platform/VirtualClock.h"
#include "session/script/ReadExercise.h"
#include "ui/app/Application.h"
#include "ui/app/MainWindow.h"
#include "ui/training/ExerciseSession.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string_view>

namespace vp7::test {

// A program folder whose settings switch the screen check off: the offscreen screen is small, and the
// check's modal dialog would wait for a user.
inline QString ProgramFolder(const QTemporaryDir& dir) {
    QDir(dir.path()).mkpath(QStringLiteral("Config"));
    QFile ini(dir.filePath(QStringLiteral("Config/VP7.ini")));
    if (ini.open(QIODevice::WriteOnly)) ini.write("[Config]\r\nCheckScreen=0\r\n");
    return dir.path();
}

inline QByteArray Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool WriteFile(const QString& path, std::string_view bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size());
}

// The exercise `text`, read from `path`, worked on in its window by `trainee`, its results going to
// `data`.
inline std::unique_ptr<ExerciseSession> StartExercise(const QString& path, std::string_view text,
                                                      const QTemporaryDir& data,
                                                      const QString& trainee = QStringLiteral("Anna"),
                                                      bool german = false) {
    auto scratch = std::make_unique<QTemporaryDir>();
    auto read = ReadExercise(text, scratch->filePath(QStringLiteral("check")).toStdString());
    if (!std::holds_alternative<Exercise>(read)) ADD_FAILURE() << std::get<ScriptProblem>(read).reason;
    return std::make_unique<ExerciseSession>(std::move(std::get<Exercise>(read)), std::nullopt, path, trainee,
                                             data.path().toStdString(), std::move(scratch), german);
}

// Lets real time pass for `ms` with the events running, or until `done` holds.
inline void RunEvents(int ms, const std::function<bool()>& done = {}) {
    QElapsedTimer wall;
    wall.start();
    while (wall.elapsed() < ms && !(done && done()))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// Answers every message box, keeping what it said; any other dialog is cancelled, its title kept.
struct MessageBoxes {
    QStringList texts;
    QTimer answering;
    MessageBoxes() {
        QObject::connect(&answering, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts << box->text();
                box->done(QMessageBox::Ok);
            } else if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                texts << dialog->windowTitle();
                dialog->reject();
            }
        });
        answering.start(10);
    }
};

// The simulator runs on a virtual clock: a test lets time pass with Run, not by waiting.
struct ShownApp {
    QTemporaryDir dir;
    VirtualClock clock;
    AppWindows windows = CreateWindows(ProgramFolder(dir).toStdString(), 1, &clock);
    MainWindow& main = *windows.main;
    ShownApp() { main.show(); }
    // `ms` of simulated time, then the change mark taken and pending window events run, as the
    // program does after each tick.
    void Run(int ms) {
        clock.Advance(ms);
        main.AfterEvent();
        QCoreApplication::processEvents();
    }
};

} // namespace vp7::test
