// SPDX-License-Identifier: GPL-3.0-or-later
// Loaded by the page's head on its own, ahead of the page's other modules: the artwork of the screen is
// fetched and decoded while those still arrive and the module compiles. A failure is the page's to
// report, when it takes the same promise as it starts.
import { artworkOfScreen } from './artwork.js';

artworkOfScreen().catch(() => {});
