// A small static file server for the browser build, on 127.0.0.1 only.
//   node scripts/serve_web.mjs [FOLDER] [PORT]    (defaults: build-web, 8000)
// It answers as a well-behaved static host does: gzip for the files that
// shrink, validators (ETag, Last-Modified) so that a reload moves almost
// nothing, byte ranges so that the music can stream and seek.
//
// The browser tests start it on a free port and can make it misbehave:
// `hidden` names files it answers 404 for, `replaced` maps a name to other
// bytes served in its place, `stalled` names files whose download stops
// halfway and never ends, `headers` are added to every answer (a
// Content-Security-Policy, say), and `compress: false` turns gzip off, while
// `compress: 'always'` plays a host that gzips every answer, whatever the
// client accepts, byte ranges too (ranges of the gzipped file).
import {createReadStream} from 'node:fs';
import {readFile, stat} from 'node:fs/promises';
import {createServer} from 'node:http';
import {extname, join, resolve, sep} from 'node:path';
import {pathToFileURL} from 'node:url';
import {gzipSync} from 'node:zlib';

const kTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.wasm': 'application/wasm',
  '.mp3': 'audio/mpeg',
  '.png': 'image/png',
  '.tga': 'image/x-tga',
  '.gz': 'application/gzip',
  '.txt': 'text/plain; charset=utf-8',
};
// Already compressed types (MP3, PNG, gzip) gain nothing.
const kCompressible = new Set(['.html', '.js', '.mjs', '.css', '.wasm', '.tga', '.txt']);

function answer(response, status, text, headers = {}) {
  response.writeHead(status, {...headers, 'Content-Type': 'text/plain; charset=utf-8'});
  response.end(text);
}

// One range of `size` bytes from a "bytes=..." header: [first, last], null for
// none or several (answered whole), or 'unsatisfiable'.
export function parseRange(header, size) {
  const m = /^bytes=(\d*)-(\d*)$/.exec(header.trim());
  if (!m || (m[1] === '' && m[2] === '')) return null;
  let first;
  let last;
  if (m[1] === '') {
    const suffix = Number(m[2]);
    if (suffix === 0) return 'unsatisfiable';
    first = Math.max(0, size - suffix);
    last = size - 1;
  } else {
    first = Number(m[1]);
    last = m[2] === '' ? size - 1 : Math.min(Number(m[2]), size - 1);
    if (m[2] !== '' && Number(m[2]) < first) return null;
  }
  return first < size && first <= last ? [first, last] : 'unsatisfiable';
}

// The variant's tag changes with the file and with the encoding, as a strong
// validator must.
function entityTag(info, encoding) {
  return `"${info.size.toString(16)}-${Math.floor(info.mtimeMs).toString(16)}${encoding ? '-gz' : ''}"`;
}

function notModified(request, tag, info) {
  const match = request.headers['if-none-match'];
  if (match !== undefined)
    return match.split(',').some(t => t.trim() === '*' || t.trim().replace(/^W\//, '') === tag);
  const since = Date.parse(request.headers['if-modified-since'] ?? '');
  return !Number.isNaN(since) && Math.floor(info.mtimeMs / 1000) * 1000 <= since;
}

export async function startServer(folder, {port = 0, hidden = [], replaced = {}, stalled = [],
                                           headers = {}, compress = true} = {}) {
  const root = resolve(folder);
  // gzip bodies by path, made once per version of the file.
  const gzipped = new Map();
  const pendingStalls = new Set();

  async function gzipOf(file, info) {
    const key = `${file}:${info.mtimeMs}:${info.size}`;
    if (!gzipped.has(key)) gzipped.set(key, gzipSync(await readFile(file), {level: 9}));
    return gzipped.get(key);
  }

  async function serve(request, response) {
    if (request.method !== 'GET' && request.method !== 'HEAD') {
      answer(response, 405, 'only GET and HEAD', headers);
      return;
    }
    let path;
    try {
      path = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    } catch {
      answer(response, 400, 'bad path', headers);
      return;
    }
    if (path.endsWith('/')) path += 'index.html';
    const file = resolve(join(root, path));
    const name = file.slice(root.length + 1);
    if (!file.startsWith(root + sep) || hidden.includes(name)) {
      answer(response, 404, 'not found', headers);
      return;
    }
    const type = kTypes[extname(file)] || 'application/octet-stream';
    if (name in replaced) {
      const body = Buffer.from(replaced[name]);
      response.writeHead(200, {...headers, 'Content-Type': type, 'Content-Length': body.length,
                               'Cache-Control': 'no-store'});
      response.end(request.method === 'HEAD' ? undefined : body);
      return;
    }
    let info;
    try {
      info = await stat(file);
    } catch {
      info = null;
    }
    if (!info || !info.isFile()) {
      answer(response, 404, 'not found', headers);
      return;
    }
    if (stalled.includes(name)) {
      // Half the file, then silence until the server closes.
      response.writeHead(200, {...headers, 'Content-Type': type, 'Content-Length': info.size,
                               'Cache-Control': 'no-store'});
      const half = await readFile(file).then(b => b.subarray(0, b.length >> 1));
      response.write(half);
      pendingStalls.add(response);
      response.on('close', () => pendingStalls.delete(response));
      return;
    }

    const accepts = /\bgzip\b/.test(request.headers['accept-encoding'] ?? '');
    const rangeHeader = request.headers.range;
    const always = compress === 'always';
    const encoding =
        always || (compress && accepts && kCompressible.has(extname(file)) && !rangeHeader);
    const tag = entityTag(info, encoding);
    const common = {
      ...headers,
      'Content-Type': type,
      'Cache-Control': 'no-cache',
      'ETag': tag,
      'Last-Modified': new Date(info.mtimeMs).toUTCString(),
      'Accept-Ranges': 'bytes',
      'Vary': 'Accept-Encoding',
    };
    if (notModified(request, tag, info)) {
      response.writeHead(304, common);
      response.end();
      return;
    }
    if (encoding && !always) {
      const body = await gzipOf(file, info);
      response.writeHead(200, {...common, 'Content-Encoding': 'gzip', 'Content-Length': body.length});
      response.end(request.method === 'HEAD' ? undefined : body);
      return;
    }
    const gzipped = always ? await gzipOf(file, info) : null;
    const size = gzipped ? gzipped.length : info.size;
    const ifRange = request.headers['if-range'];
    let range = rangeHeader && (ifRange === undefined || ifRange === tag)
        ? parseRange(rangeHeader, size)
        : null;
    if (range === 'unsatisfiable') {
      answer(response, 416, 'range not satisfiable', {...common, 'Content-Range': `bytes */${size}`});
      return;
    }
    const [first, last] = range ?? [0, size - 1];
    response.writeHead(range ? 206 : 200, {
      ...common,
      ...(gzipped ? {'Content-Encoding': 'gzip'} : {}),
      'Content-Length': size === 0 ? 0 : last - first + 1,
      ...(range ? {'Content-Range': `bytes ${first}-${last}/${size}`} : {}),
    });
    if (request.method === 'HEAD' || size === 0) {
      response.end();
    } else if (gzipped) {
      response.end(gzipped.subarray(first, last + 1));
    } else {
      createReadStream(file, {start: first, end: last}).on('error', () => response.destroy())
          .pipe(response);
    }
  }

  const server = createServer((request, response) => {
    serve(request, response).catch(() => response.destroy());
  });
  await new Promise((done, failed) => {
    server.once('error', failed);
    server.listen(port, '127.0.0.1', done);
  });
  return {
    url: `http://127.0.0.1:${server.address().port}/`,
    close: () => new Promise(done => {
      for (const response of pendingStalls) response.destroy();
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
