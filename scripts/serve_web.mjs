// A small static file server for the browser build, on 127.0.0.1 only.
//   node scripts/serve_web.mjs [FOLDER] [PORT]    (defaults: build-web, 8000)
// The browser tests start it on a free port; `hidden` names files it answers
// 404 for, so that a test can play a failed download.
import {createReadStream} from 'node:fs';
import {stat} from 'node:fs/promises';
import {createServer} from 'node:http';
import {extname, join, resolve, sep} from 'node:path';
import {pathToFileURL} from 'node:url';

const kTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.wasm': 'application/wasm',
  '.mp3': 'audio/mpeg',
  '.png': 'image/png',
};

function answer(response, status, text) {
  response.writeHead(status, {'Content-Type': 'text/plain; charset=utf-8'});
  response.end(text);
}

export async function startServer(folder, {port = 0, hidden = []} = {}) {
  const root = resolve(folder);
  const server = createServer(async (request, response) => {
    if (request.method !== 'GET' && request.method !== 'HEAD') {
      answer(response, 405, 'only GET and HEAD');
      return;
    }
    let path;
    try {
      path = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    } catch {
      answer(response, 400, 'bad path');
      return;
    }
    if (path.endsWith('/')) path += 'index.html';
    const file = resolve(join(root, path));
    const name = file.slice(root.length + 1);
    if (!file.startsWith(root + sep) || hidden.includes(name)) {
      answer(response, 404, 'not found');
      return;
    }
    let info;
    try {
      info = await stat(file);
    } catch {
      info = null;
    }
    if (!info || !info.isFile()) {
      answer(response, 404, 'not found');
      return;
    }
    response.writeHead(200, {
      'Content-Type': kTypes[extname(file)] || 'application/octet-stream',
      'Content-Length': info.size,
      'Cache-Control': 'no-cache',
    });
    if (request.method === 'HEAD') {
      response.end();
      return;
    }
    createReadStream(file).on('error', () => response.destroy()).pipe(response);
  });
  await new Promise((done, failed) => {
    server.once('error', failed);
    server.listen(port, '127.0.0.1', done);
  });
  return {
    url: `http://127.0.0.1:${server.address().port}/`,
    close: () => new Promise(done => {
      server.closeAllConnections();
      server.close(done);
    }),
  };
}

if (process.argv[1] && import.meta.url === pathToFileURL(resolve(process.argv[1])).href) {
  const folder = process.argv[2] || 'build-web';
  const port = Number(process.argv[3] || 8000);
  const server = await startServer(folder, {port});
  console.log(`Serving ${resolve(folder)} at ${server.url} (Ctrl-C stops)`);
}
