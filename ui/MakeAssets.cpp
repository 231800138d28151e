// SPDX-License-Identifier: GPL-3.0-or-later
// vp7-make-assets DIR: writes the program's drawn files into DIR at build time: the splash picture
// "Opening.bmp" and the program icon in the sizes of the desktop's icon theme.
#include "platform/BmpFile.h"
#include "ui/SplashPicture.h"
#include "ui/artwork/Artwork.h"

#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>

#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv); // fonts and pixmaps need the application object
    if (argc != 2) {
        std::fprintf(stderr, "usage: vp7-make-assets DIR\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!vp7::WriteBmp(dir.filePath(QStringLiteral("Opening.bmp")).toStdString(), vp7::DrawSplashPicture()))
        return 1;
    const QIcon icon = vp7::ProgramIcon();
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("icons/hicolor/%1x%1/apps").arg(size);
        if (!dir.mkpath(folder)) return 1;
        if (!icon.pixmap(size, size).save(dir.filePath(folder + QStringLiteral("/vp7sim.png")))) return 1;
    }
    return 0;
}
