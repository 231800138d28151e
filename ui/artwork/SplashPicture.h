// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's own splash picture, "Opening.bmp": drawn once at build time and written beside the
// program. It is made to pass the program's check of a splash picture (size, black bands, three
// marker pixels).
#include "platform/Picture.h"

namespace vp7 {

Picture DrawSplashPicture();

} // namespace vp7
