// SPDX-License-Identifier: GPL-3.0-or-later
// vp7-desktop-probe: what the desktop test needs to see and close a real simulator window under X.
//   lcd SHOT.bmp X Y       the display read back from the device picture whose top left is at (X, Y)
//   find SHOT.bmp READING  "X Y" of the place where the display reads READING (a line as `lcd` prints it)
//   close WINDOW           asks the window to close, as a window manager's close button does
//   key mode|dec|inc       "X Y" of the key's centre in the device picture
#include "model/PictureLayout.h"
#include "model/SpriteSet.h"
#include "platform/BmpFile.h"
#include "platform/Picture.h"
#include "session/language/Output.h"
#include "sim/display/LcdReadBack.h"
#include "sim/display/LcdTables.h"

#include <X11/Xlib.h>

#include <cstdlib>
#include <iostream>
#include <string>

namespace {

using namespace vp7;

// The display's surroundings in the device picture; nothing outside it is read.
const Rect kDisplayArea{lcd::kOriginX - 10, lcd::kOriginY - 10, lcd::kOriginX + 200, lcd::kOriginY + 110};

std::string Reading(const Picture& shot, int x, int y) {
    static Picture device(layout::PictureSize.width, layout::PictureSize.height, 0xFFFFFF);
    const Rect src{x + kDisplayArea.left, y + kDisplayArea.top, x + kDisplayArea.right,
                   y + kDisplayArea.bottom};
    device.CopyRect(kDisplayArea, shot, src);
    const LcdReading lcd = ReadLcd(device);
    return "lcd " + QuoteText(lcd.upper) + ' ' + QuoteText(lcd.lower);
}

int Usage() {
    std::cerr
        << "usage: vp7-desktop-probe lcd SHOT.bmp X Y | find SHOT.bmp READING | close WINDOW | key NAME\n";
    return 2;
}

int CloseWindow(const char* id) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::cerr << "vp7-desktop-probe: no X display\n";
        return 1;
    }
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = static_cast<Window>(std::strtoul(id, nullptr, 0));
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
    XFlush(display);
    XCloseDisplay(display);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "close" && argc == 3) return CloseWindow(argv[2]);
    if (command == "key" && argc == 3) {
        const std::string names[] = {"mode", "dec", "inc"};
        for (int k = 0; k < 3; ++k)
            if (argv[2] == names[k]) {
                std::cout << layout::KeyCentres[k].x << ' ' << layout::KeyCentres[k].y << '\n';
                return 0;
            }
        return Usage();
    }
    if ((command != "lcd" || argc != 5) && (command != "find" || argc != 4)) return Usage();
    const auto shot = ReadBmp(argv[2]);
    if (!shot) {
        std::cerr << "vp7-desktop-probe: cannot read " << argv[2] << '\n';
        return 1;
    }
    if (command == "lcd") {
        std::cout << Reading(*shot, std::atoi(argv[3]), std::atoi(argv[4])) << '\n';
        return 0;
    }
    for (int y = 0; y + layout::PictureSize.height <= shot->Height(); ++y) {
        for (int x = 0; x + layout::PictureSize.width <= shot->Width(); ++x) {
            if (Reading(*shot, x, y) == argv[3]) {
                std::cout << x << ' ' << y << '\n';
                return 0;
            }
        }
    }
    return 1;
}
