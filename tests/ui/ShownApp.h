#pragma once
// The program's windows on a fresh program folder, the main window shown.
#include "ui/Application.h"
#include "ui/MainWindow.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace vp7::test {

// A program folder whose settings switch the screen check off: the offscreen screen is small, and the
// check's modal dialog would wait for a user.
inline QString ProgramFolder(const QTemporaryDir& dir) {
    QDir(dir.path()).mkpath(QStringLiteral("Config"));
    QFile ini(dir.filePath(QStringLiteral("Config/VP7.ini")));
    if (ini.open(QIODevice::WriteOnly)) ini.write("[Config]\r\nCheckScreen=0\r\n");
    return dir.path();
}

struct ShownApp {
    QTemporaryDir dir;
    AppWindows windows = CreateWindows(ProgramFolder(dir).toStdString(), 1);
    MainWindow& main = *windows.main;
    ShownApp() { main.show(); }
};

} // namespace vp7::test
