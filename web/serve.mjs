// SPDX-License-Identifier: GPL-3.0-or-later
// node web/serve.mjs [--port N] DIR: serves the page's files in DIR to this machine alone (127.0.0.1),
// GET and HEAD only, never a file outside DIR, with a content policy that keeps every request on the
// page's own origin. Port 0 (the default) takes a free one; the address is printed once listening.
import { createServer } from 'node:http';
import { createReadStream } from 'node:fs';
import { realpath, stat } from 'node:fs/promises';
import path from 'node:path';
import { pathToFileURL } from 'node:url';

export const MIME_TYPES = {
    '.html': 'text/html; charset=utf-8',
    '.css': 'text/css; charset=utf-8',
    '.js': 'text/javascript; charset=utf-8',
    '.mjs': 'text/javascript; charset=utf-8',
    '.json': 'application/json; charset=utf-8',
    '.wasm': 'application/wasm',
    '.png': 'image/png',
    '.webp': 'image/webp',
    '.svg': 'image/svg+xml',
    '.ico': 'image/x-icon',
    '.txt': 'text/plain; charset=utf-8',
    '.ini': 'text/plain; charset=utf-8',
    '.vp7x': 'application/octet-stream',
    '.vp7s': 'text/plain; charset=utf-8',
};

// Nothing the page loads or sends may leave its origin; WebAssembly compiles without 'unsafe-eval'.
export const CONTENT_POLICY = [
    "default-src 'self'",
    "script-src 'self' 'wasm-unsafe-eval'",
    "style-src 'self'",
    "img-src 'self' blob: data:",
    "connect-src 'self'",
    "worker-src 'self' blob:",
    "object-src 'none'",
    "base-uri 'none'",
    "form-action 'none'",
    "frame-ancestors 'none'",
].join('; ');

const HEADERS = {
    'Content-Security-Policy': CONTENT_POLICY,
    'X-Content-Type-Options': 'nosniff',
    'Referrer-Policy': 'no-referrer',
    'Cache-Control': 'no-cache',
};

export function mimeTypeOf(file) {
    return MIME_TYPES[path.extname(file).toLowerCase()] ?? 'application/octet-stream';
}

// The file below `root` (a real path) a request's path names, or null for anything that would lead
// outside it: "..", its percent-encoded forms, backslashes, NUL, and symbolic links pointing out.
export async function resolveInside(root, urlPath) {
    let decoded;
    try {
        decoded = decodeURIComponent(urlPath.split(/[?#]/, 1)[0]);
    } catch {
        return null;
    }
    if (!decoded.startsWith('/') || decoded.includes('\0') || decoded.includes('\\')) return null;
    if (decoded.split('/').some((part) => part === '..')) return null;
    let file = path.join(root, decoded);
    try {
        if ((await stat(file)).isDirectory()) file = path.join(file, 'index.html');
        const real = await realpath(file);
        if (real !== root && !real.startsWith(root + path.sep)) return null;
        return (await stat(real)).isFile() ? real : null;
    } catch {
        return null;
    }
}

function refuse(response, status, text) {
    response.writeHead(status, { ...HEADERS, 'Content-Type': 'text/plain; charset=utf-8' });
    response.end(text + '\n');
}

export async function startServer(dir, port = 0) {
    const root = await realpath(dir);
    const server = createServer(async (request, response) => {
        if (request.method !== 'GET' && request.method !== 'HEAD') {
            response.setHeader('Allow', 'GET, HEAD');
            refuse(response, 405, 'method not allowed');
            return;
        }
        const file = await resolveInside(root, request.url ?? '/');
        if (!file) {
            refuse(response, 404, 'not found');
            return;
        }
        const { size } = await stat(file);
        response.writeHead(200, { ...HEADERS, 'Content-Type': mimeTypeOf(file), 'Content-Length': size });
        if (request.method === 'HEAD') {
            response.end();
            return;
        }
        createReadStream(file)
            .on('error', () => response.destroy())
            .pipe(response);
    });
    await new Promise((resolve, reject) => {
        server.once('error', reject);
        server.listen(port, '127.0.0.1', resolve);
    });
    return server;
}

function parseArguments(args) {
    let port = 0;
    let dir = null;
    for (let i = 0; i < args.length; ++i) {
        if (args[i] === '--port') port = Number(args[++i]);
        else if (dir === null) dir = args[i];
        else return null;
    }
    return dir !== null && Number.isInteger(port) && port >= 0 && port < 65536 ? { port, dir } : null;
}

if (import.meta.url === pathToFileURL(process.argv[1] ?? '').href) {
    const options = parseArguments(process.argv.slice(2));
    if (!options) {
        console.error('usage: node serve.mjs [--port N] DIR');
        process.exit(2);
    }
    try {
        const server = await startServer(options.dir, options.port);
        console.log(`serving http://127.0.0.1:${server.address().port}/`);
    } catch (error) {
        console.error(`serve.mjs: ${error.message}`);
        process.exit(1);
    }
}
