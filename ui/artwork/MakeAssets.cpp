// SPDX-License-Identifier: GPL-3.0-or-later
// vp7-make-assets DIR [WEBDIR]: writes the program's drawn files into DIR at build time: the splash
// picture "Opening.bmp", the program icon in the sizes of the desktop's icon theme, and what the program
// carries as resources (listed in "artwork/artwork.qrc"): the device artwork at scales 1 and 2 as raw
// pixels ("artwork/SCALE/SPRITE") and the window icon ("artwork/icon/SIZE.png"). The browser's page gets
// the same artwork as images in WEBDIR (DIR/web when not given): "artwork/SCALE/SPRITE.EXT" and
// "artwork/sprites.json", the sprites' logical sizes in SpriteId order and the scales drawn.
#include "platform/BmpFile.h"
#include "ui/artwork/Artwork.h"
#include "ui/artwork/SplashPicture.h"
#include "ui/artwork/WebArtwork.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>

#include <cstdio>

namespace {

constexpr int kScales[] = {1, 2};

bool WriteIconTheme(const QDir& dir, const QIcon& icon) {
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("icons/hicolor/%1x%1/apps").arg(size);
        if (!dir.mkpath(folder) || !icon.pixmap(size, size).save(dir.filePath(folder + "/vp7sim.png")))
            return false;
    }
    return true;
}

// The files under DIR/artwork and the resource list naming them.
class Resources {
public:
    explicit Resources(const QDir& dir) : dir_(dir.filePath(QStringLiteral("artwork"))) {}

    bool AddSprites(const vp7::SpriteSet& sprites, int scale) {
        for (int i = 0; i < static_cast<int>(vp7::SpriteId::Count); ++i) {
            const auto id = static_cast<vp7::SpriteId>(i);
            const vp7::Picture& pic = sprites.Get(id);
            const QString name =
                QStringLiteral("%1/%2").arg(scale).arg(QLatin1StringView(vp7::SpriteInfoOf(id).name));
            const auto size = static_cast<qint64>(sizeof(vp7::Rgb)) * pic.DeviceWidth() * pic.DeviceHeight();
            QFile file(Place(name));
            if (!file.open(QIODevice::WriteOnly) ||
                file.write(reinterpret_cast<const char*>(pic.Bits()), size) != size)
                return false;
        }
        return true;
    }

    bool AddIcon(const QIcon& icon) {
        for (int size : vp7::kProgramIconSizes)
            if (!icon.pixmap(size, size).save(Place(QStringLiteral("icon/%1.png").arg(size)))) return false;
        return true;
    }

    bool WriteList() const {
        QFile qrc(dir_.filePath(QStringLiteral("artwork.qrc")));
        const QString text =
            QStringLiteral("<RCC><qresource prefix=\"/artwork\">\n%1</qresource></RCC>\n").arg(list_);
        return qrc.open(QIODevice::WriteOnly) && qrc.write(text.toUtf8()) >= 0;
    }

private:
    // The path for `name`, listed; empty when its folder cannot be made.
    QString Place(const QString& name) {
        if (!dir_.mkpath(QFileInfo(name).path())) return {};
        list_ += QStringLiteral("<file>%1</file>\n").arg(name);
        return dir_.filePath(name);
    }

    QDir dir_;
    QString list_;
};

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv); // fonts and pixmaps need the application object
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: vp7-make-assets DIR [WEBDIR]\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    const QIcon icon = vp7::ProgramIcon();
    Resources carried(dir);
    vp7::WebArtwork web(argc == 3 ? QString::fromLocal8Bit(argv[2]) : dir.filePath(QStringLiteral("web")));
    bool written =
        vp7::WriteBmp(dir.filePath(QStringLiteral("Opening.bmp")).toStdString(), vp7::DrawSplashPicture()) &&
        WriteIconTheme(dir, icon);
    for (int scale : kScales) {
        const vp7::SpriteSet sprites = vp7::RenderArtwork(scale);
        written = written && carried.AddSprites(sprites, scale) && web.AddSprites(sprites, scale);
    }
    written = written && carried.AddIcon(icon) && carried.WriteList() && web.WriteList(kScales);
    return written ? 0 : 1;
}
