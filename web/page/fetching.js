// SPDX-License-Identifier: GPL-3.0-or-later
// The page's own files, fetched from its site and read whole. A busy server or a school's network drops a
// request now and then, most often one sent on a connection the server is just closing, and the browser
// gives that up as a network error; so the file is asked for once more before the page gives up. A
// failure names the file, which is what a trainer reading the page's message needs to tell the centre's IT.
export const RETRY_PAUSE_MS = 200;

// The body of `url` as `read` gives it ('arrayBuffer', 'json' or 'text'). Bytes are read rather than
// taken as a Blob: Chromium's blob() of a streamed body failed now and then, for all of a page's files at
// once, while pages of the same browser came and went; the bytes wrapped in a Blob never did.
export async function fetchFile(url, read = 'arrayBuffer', pauseMs = RETRY_PAUSE_MS) {
    for (let attempt = 1; ; ++attempt) {
        let response;
        try {
            response = await fetch(url);
            if (response.ok) return await response[read]();
        } catch (error) {
            if (error instanceof SyntaxError || attempt === 2) throw new Error(`${url}: ${error.message}`);
            await new Promise((resolve) => setTimeout(resolve, pauseMs));
            continue;
        }
        throw new Error(`${url}: ${response.status} ${response.statusText}`.trimEnd());
    }
}
