// Loading the program and the atlas with one progress bar. A download that
// stops moving ends after kStallSeconds; a file is read no further than the
// piece needs.
import {atlasProblem, kAtlasName, kAtlasReadBytes, kAtlasTrailerBytes, kProgramName,
        programProblem} from './files.js';
import {note} from './notes.js';

export const kStallSeconds = 20;

export class StalledError extends Error {}

const downloads = [];
let showProgress = () => {};

export function onProgress(show) {
  showProgress = show;
}

function reportProgress() {
  const received = downloads.reduce((sum, d) => sum + d.received, 0);
  const total = downloads.reduce((sum, d) => sum + Math.max(d.total, d.received), 0);
  if (total > 0) showProgress(received / total);
}

// The response's body, counted for the progress bar and watched for stalls.
function watchedBody(response, controller, name) {
  const download = {received: 0, total: Number(response.headers.get('Content-Length')) || 0};
  downloads.push(download);
  let timer = 0;
  const arm = () => {
    clearTimeout(timer);
    timer = setTimeout(() => controller.abort(new StalledError(
        `${name} stopped arriving: nothing came for ${kStallSeconds} s`)), kStallSeconds * 1000);
  };
  arm();
  return response.body.pipeThrough(new TransformStream({
    transform(chunk, out) {
      download.received += chunk.length;
      reportProgress();
      arm();
      out.enqueue(chunk);
    },
    flush() {
      clearTimeout(timer);
    },
  }));
}

// Reads `stream` until it ends or `limit` bytes are in, and then stops the
// download. `ended` tells which.
async function readUpTo(stream, limit) {
  const reader = stream.getReader();
  const chunks = [];
  let length = 0;
  let ended = false;
  while (length < limit) {
    const {done, value} = await reader.read();
    if (done) {
      ended = true;
      break;
    }
    chunks.push(value);
    length += value.length;
  }
  if (!ended) reader.cancel().catch(() => {});
  const bytes = new Uint8Array(Math.min(length, limit));
  let at = 0;
  for (const chunk of chunks) {
    const part = chunk.subarray(0, bytes.length - at);
    bytes.set(part, at);
    at += part.length;
  }
  return {bytes, ended: ended && length <= limit};
}

// Fetches `name`; an HTTP error, a stall or a broken connection throws an
// Error that says which. {bytes, total}: total is the file's length, or null
// when the reading stopped at `limit` before the end.
async function fetchFile(name, {limit = Infinity, gunzip = false} = {}) {
  const controller = new AbortController();
  let response;
  try {
    response = await fetch(name, {signal: controller.signal});
    if (!response.ok) throw new Error(`HTTP ${response.status} ${response.statusText}`.trim());
    let body = watchedBody(response, controller, name);
    // A host that sends the .gz file with Content-Encoding: gzip has had the
    // browser unpack it already; the magic number tells.
    if (gunzip) body = await gunzipUnlessPlain(body);
    const {bytes, ended} = await readUpTo(body, limit);
    return {bytes, total: ended ? bytes.length : null};
  } catch (e) {
    controller.abort();
    throw controller.signal.reason instanceof StalledError ? controller.signal.reason : e;
  }
}

async function gunzipUnlessPlain(body) {
  const reader = body.getReader();
  const first = await reader.read();
  const head = first.done ? new Uint8Array(0) : first.value;
  const rest = new ReadableStream({
    start(out) {
      if (head.length) out.enqueue(head);
      if (first.done) out.close();
    },
    async pull(out) {
      const {done, value} = await reader.read();
      if (done) out.close();
      else out.enqueue(value);
    },
    cancel(reason) {
      return reader.cancel(reason);
    },
  });
  const gzip = head.length >= 2 && head[0] === 0x1f && head[1] === 0x8b;
  return gzip ? rest.pipeThrough(new DecompressionStream('gzip')) : rest;
}

// The atlas, from its gzip copy where the browser can unpack it, else from
// the plain file, which also decides when the copy is not the atlas. Returns
// the bytes the piece reads, or null (and the problem) when neither could be
// had; a file that is not the piece's atlas comes with a problem too, and is
// still used as the native program would use it.
export async function loadAtlas() {
  const limit = kAtlasReadBytes + kAtlasTrailerBytes + 1;
  const read = file => ({
    bytes: file.bytes.subarray(0, kAtlasReadBytes),
    problem: atlasProblem(file.bytes, file.total),
    stalled: false,
  });
  if ('DecompressionStream' in window) {
    try {
      const atlas = read(await fetchFile(`${kAtlasName}.gz`, {limit, gunzip: true}));
      if (!atlas.problem) {
        note('atlas-from', `${kAtlasName}.gz`);
        return atlas;
      }
      note('atlas-gzip-failed', atlas.problem);
    } catch (e) {
      if (e instanceof StalledError) return {bytes: null, problem: e.message, stalled: true};
      note('atlas-gzip-failed', e.message);
    }
  }
  try {
    const atlas = read(await fetchFile(kAtlasName, {limit}));
    note('atlas-from', kAtlasName);
    return atlas;
  } catch (e) {
    const stalled = e instanceof StalledError;
    return {bytes: null, problem: stalled ? e.message : `${kAtlasName} could not be loaded (${e.message})`,
            stalled};
  }
}

// The program's WebAssembly, checked before the runtime is given it.
export async function loadProgramBinary() {
  let file;
  try {
    file = await fetchFile(kProgramName);
  } catch (e) {
    if (e instanceof StalledError) throw e;
    throw new Error(`${kProgramName} could not be loaded (${e.message})`);
  }
  const problem = programProblem(file.bytes);
  if (problem) throw new Error(problem);
  return file.bytes;
}

// Runs quorvane.js with `module` as its Module; resolves when the runtime is
// up. A script that does not arrive, does not parse, or aborts names itself.
export function startProgram(module) {
  const name = 'quorvane.js';
  return new Promise((resolve, reject) => {
    let settled = false;
    const settle = (done, value) => {
      if (settled) return;
      settled = true;
      clearTimeout(timer);
      window.removeEventListener('error', onError);
      done(value);
    };
    const timer = setTimeout(
        () => settle(reject, new StalledError(`${name} did not arrive within ${3 * kStallSeconds} s`)),
        3 * kStallSeconds * 1000);
    const onError = event => {
      if (event.filename && event.filename.endsWith(name))
        settle(reject, new Error(`${name} could not be run (${event.message})`));
    };
    window.addEventListener('error', onError);
    module.onRuntimeInitialized = () => settle(resolve);
    module.onAbort = what => settle(reject, new Error(`the program stopped while starting: ${what}`));
    window.Module = module;
    const script = document.createElement('script');
    script.src = name;
    script.onerror = () => settle(reject, new Error(`${name} could not be loaded`));
    script.onload = () => {
      // A script that ran but set nothing up (cut short, or another file) never
      // starts the runtime.
      if (typeof window.Module.ccall !== 'function')
        settle(reject, new Error(`${name} is not the program's script`));
    };
    document.body.appendChild(script);
  });
}
