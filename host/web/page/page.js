'use strict';
// The page around the piece: it loads the program and the two files, shows the
// start and end screens, and provides the hooks (Module.*) that the browser
// build calls. window.quorvane holds what the tests read.
//
// URL parameters, for tests and measurements:
//   frame=K          draw frame K of a 60 fps run (frames K-1 and K drawn, as the
//                    capture tool draws a still) instead of playing the piece,
//                    and report the simulation state at the checkpoint frames
//   size=WxH         the canvas in device pixels (default: the screen, or the
//                    window where full screen is not offered)
//   speed=N          the piece's clock runs N times real time

const kAssetFiles = ['TEX.tga', 'RX_muc.mp3'];
const kWithoutAsset = {
  'TEX.tga': 'the piece will run without its textures',
  'RX_muc.mp3': 'the piece will run without music',
};
const kLastFrame = 230 * 60;
// Larger canvases than browsers give WebGL anyway.
const kLargestSide = 16384;

const quorvane = window.quorvane = {
  state: 'loading',  // loading, ready, running, ended, drawing, drawn, failed, no-webgl
  log: [],
  problems: [],
  checkpoints: [],
  frames: 0,
};

const page = {
  stage: document.getElementById('stage'),
  start: document.getElementById('start'),
  loading: document.getElementById('loading'),
  progress: document.getElementById('progress'),
  motion: document.getElementById('motion'),
  problems: document.getElementById('problems'),
  begin: document.getElementById('begin'),
  end: document.getElementById('end'),
  again: document.getElementById('again'),
};

let wakeLock = null;

function note(event, detail) {
  quorvane.log.push({event, detail, time: performance.now()});
}

function reportProblem(text) {
  quorvane.problems.push(text);
  const item = document.createElement('li');
  item.textContent = text;
  page.problems.appendChild(item);
}

function fail(text) {
  reportProblem(text);
  quorvane.state = 'failed';
  page.loading.hidden = true;
  page.begin.hidden = true;
  page.end.hidden = true;
  page.start.hidden = false;
}

// Bad parameters are reported and ignored rather than guessed at.
function readParameters() {
  const params = new URLSearchParams(location.search);
  const read = {frame: 0, size: null, speed: 1};
  if (params.has('frame')) {
    const frame = Number(params.get('frame'));
    if (Number.isInteger(frame) && frame >= 1 && frame <= kLastFrame) read.frame = frame;
    else reportProblem(`frame must be a whole number from 1 to ${kLastFrame}`);
  }
  if (params.has('size')) {
    const match = /^(\d{1,5})x(\d{1,5})$/.exec(params.get('size'));
    const [width, height] = match ? [+match[1], +match[2]] : [0, 0];
    if (Math.min(width, height) >= 1 && Math.max(width, height) <= kLargestSide)
      read.size = [width, height];
    else reportProblem(`size must be WIDTHxHEIGHT, 1 to ${kLargestSide} pixels each`);
  }
  if (params.has('speed')) {
    const speed = Number(params.get('speed'));
    if (speed > 0 && speed <= 1000) read.speed = speed;
    else reportProblem('speed must be above 0 and at most 1000');
  }
  return read;
}

const parameters = readParameters();

function hasWebGL() {
  const gl = document.createElement('canvas').getContext('webgl');
  if (!gl) return false;
  const lose = gl.getExtension('WEBGL_lose_context');
  if (lose) lose.loseContext();
  return true;
}

// The canvas is never resized during a run (the viewport is never set, as in
// the native program), so it starts at the size of what it will cover.
function canvasPixelSize() {
  if (parameters.size) return parameters.size;
  const ratio = window.devicePixelRatio || 1;
  const covered = document.fullscreenEnabled ? screen : {width: innerWidth, height: innerHeight};
  return [Math.round(covered.width * ratio), Math.round(covered.height * ratio)];
}

// Hooks called from the browser build.

function replaceCanvas() {
  const old = document.getElementById('canvas');
  if (old) {
    const gl = old.getContext('webgl');
    const lose = gl && gl.getExtension('WEBGL_lose_context');
    if (lose) lose.loseContext();
    old.remove();
  }
  const canvas = document.createElement('canvas');
  canvas.id = 'canvas';
  [canvas.width, canvas.height] = canvasPixelSize();
  page.stage.appendChild(canvas);
}

function enterFullscreen() {
  note('fullscreen-requested');
  const root = document.documentElement;
  if (!document.fullscreenEnabled) {
    note('fullscreen-unavailable');
    return;
  }
  root.requestFullscreen({navigationUI: 'hide'})
      .then(() => note('fullscreen'), e => note('fullscreen-refused', String(e)));
}

function showCanvas() {
  page.start.hidden = true;
  page.end.hidden = true;
}

function hideCursor() {
  document.documentElement.classList.add('running');
  if (navigator.wakeLock)
    navigator.wakeLock.request('screen').then(lock => { wakeLock = lock; }, () => {});
}

function releasePage() {
  document.documentElement.classList.remove('running');
  if (wakeLock) wakeLock.release().catch(() => {});
  wakeLock = null;
  if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
}

function reportCheckpoint(frame, elapsedMs, state, random) {
  quorvane.checkpoints.push({frame, elapsedMs, state, random});
}

// The real-time piece, from a click or a key press (browsers allow full screen
// and sound only then).
async function play() {
  if (quorvane.state !== 'ready' && quorvane.state !== 'ended') return;
  quorvane.state = 'running';
  quorvane.frames = 0;
  note('begin');
  let status;
  try {
    status = await Module.ccall('QuorvaneRunPiece', 'number', ['number'], [parameters.speed],
                                {async: true});
  } catch (e) {
    stopped(e.message);
    return;
  }
  note('end', status);
  quorvane.state = 'ended';
  page.end.hidden = false;
  page.again.focus();
}

async function drawScheduledFrame() {
  quorvane.state = 'drawing';
  page.start.hidden = true;
  try {
    const drawn = await Module.ccall('QuorvaneScheduledRun', 'boolean', ['number'],
                                     [parameters.frame], {async: true});
    if (drawn) quorvane.state = 'drawn';
    else fail('No WebGL context: nothing was drawn.');
  } catch (e) {
    stopped(e.message);
  }
}

function isBeginKey(event) {
  return !event.repeat && event.key !== 'Escape' && event.key !== 'Tab' &&
         !['Shift', 'Control', 'Alt', 'Meta'].includes(event.key);
}

document.addEventListener('keydown', event => {
  if (quorvane.state === 'ready' && isBeginKey(event)) {
    event.preventDefault();
    play();
  }
});
page.start.addEventListener('click', () => play());
page.again.addEventListener('click', () => play());
// Errors thrown from the program's own event handlers (keys, full screen).
window.addEventListener('error', event => {
  if (quorvane.state === 'running' || quorvane.state === 'drawing') stopped(event.message);
});

// Loading: the program and both files at once; a file that does not arrive is
// named on the page, and the piece runs without it as the native one does.

async function fetchWithProgress(name, progress) {
  const response = await fetch(name);
  if (!response.ok) throw new Error(`HTTP ${response.status} ${response.statusText}`.trim());
  progress.total = Number(response.headers.get('Content-Length')) || 0;
  const reader = response.body.getReader();
  const chunks = [];
  for (;;) {
    const {done, value} = await reader.read();
    if (done) break;
    chunks.push(value);
    progress.received += value.length;
    showProgress();
  }
  const bytes = new Uint8Array(progress.received);
  let at = 0;
  for (const chunk of chunks) {
    bytes.set(chunk, at);
    at += chunk.length;
  }
  return bytes;
}

const assetProgress = kAssetFiles.map(() => ({received: 0, total: 0}));

function showProgress() {
  const received = assetProgress.reduce((sum, p) => sum + p.received, 0);
  const total = assetProgress.reduce((sum, p) => sum + Math.max(p.total, p.received), 0);
  if (total > 0) page.progress.value = received / total;
}

function loadAssets() {
  return Promise.all(kAssetFiles.map(async (name, i) => {
    try {
      return await fetchWithProgress(name, assetProgress[i]);
    } catch (e) {
      reportProblem(`${name} could not be loaded (${e.message}): ${kWithoutAsset[name]}.`);
      return null;
    }
  }));
}

// An error inside the program ends its run for good: nothing is left to resume.
function stopped(what) {
  if (quorvane.state === 'running' || quorvane.state === 'drawing') releasePage();
  fail(`The program stopped: ${what}`);
}

function loadProgram() {
  return new Promise((resolve, reject) => {
    let started = false;
    window.Module = {
      note, replaceCanvas, enterFullscreen, showCanvas, hideCursor, releasePage, reportCheckpoint,
      notePresent: () => { ++quorvane.frames; },
      onRuntimeInitialized: () => {
        started = true;
        resolve();
      },
      onAbort: what => started ? stopped(what) : reject(new Error(String(what))),
    };
    const script = document.createElement('script');
    script.src = 'quorvane.js';
    script.onerror = () => reject(new Error('quorvane.js could not be loaded'));
    document.body.appendChild(script);
  });
}

async function start() {
  if (!hasWebGL()) {
    quorvane.state = 'no-webgl';
    page.loading.hidden = true;
    reportProblem('This browser offers no WebGL, which the piece needs to draw. ' +
                  'Try another browser, or turn on hardware acceleration.');
    return;
  }
  if (matchMedia('(prefers-reduced-motion: reduce)').matches) page.motion.hidden = false;
  let assets;
  try {
    [assets] = await Promise.all([loadAssets(), loadProgram()]);
  } catch (e) {
    fail(`The program could not be started: ${e.message}`);
    return;
  }
  kAssetFiles.forEach((name, i) => {
    if (assets[i]) Module.FS.writeFile(name, assets[i]);
  });
  page.loading.hidden = true;
  if (parameters.frame) {
    drawScheduledFrame();
    return;
  }
  quorvane.state = 'ready';
  page.begin.hidden = false;
  page.begin.focus();
}

start();
