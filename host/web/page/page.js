// The page around the piece: it loads the program and the atlas, shows the
// screen before and after a run, and gives the program the hooks it calls
// (page_hooks.h in the program's source declares them). window.quorvane holds
// what the tests read; parameters.js reads the URL parameters.

import {canvasNote, canvasOpened, currentCanvas, enterFullscreen, initCanvas, leaveFullscreen,
        replaceCanvas} from './canvas.js';
import {kAtlasName} from './files.js';
import {loadAtlas, loadProgramBinary, onProgress, StalledError, startProgram} from './loading.js';
import {musicFree, musicOpen, musicPlay, musicState, musicStop, prepareMusic,
        setMusicClock} from './music.js';
import {hideNotice, note, quorvane, reportProblem, showNotice} from './notes.js';
import {readParameters} from './parameters.js';
import {kLargestPictureSide, kPieceFps, kPieceSeconds} from './piece_facts.js';

const page = {
  screen: document.getElementById('screen'),
  loading: document.getElementById('loading'),
  progress: document.getElementById('progress'),
  motion: document.getElementById('motion'),
  begin: document.getElementById('begin'),
  again: document.getElementById('again'),
  retry: document.getElementById('retry'),
};

let wakeLock = null;
let endRequested = false;
let restartAfterEnd = false;
let clockStart = null;
let timeLeftTimer = 0;
// Said quietly over every run when the atlas was not the piece's, since the
// picture alone does not tell why it looks wrong (or stays black).
let atlasNote = null;

const parameters = readParameters(
    location.search, {lastFrame: kPieceSeconds * kPieceFps, largestSide: kLargestPictureSide});
parameters.problems.forEach(reportProblem);

// The largest side this browser's WebGL draws, or null without WebGL.
function probeWebGL() {
  const gl = document.createElement('canvas').getContext('webgl');
  if (!gl) return null;
  const viewport = gl.getParameter(gl.MAX_VIEWPORT_DIMS);
  const largestSide = Math.min(viewport[0], viewport[1], gl.getParameter(gl.MAX_RENDERBUFFER_SIZE));
  gl.getExtension('WEBGL_lose_context')?.loseContext();
  return {largestSide};
}

function showScreen(which) {
  page.screen.hidden = which === null;
  page.begin.hidden = which !== 'start';
  page.again.hidden = which !== 'end';
  page.retry.hidden = which !== 'retry';
  page.loading.hidden = true;
  const button = {start: page.begin, end: page.again, retry: page.retry}[which];
  button?.focus();
}

function fail(text, {retry = false} = {}) {
  reportProblem(text);
  quorvane.state = 'failed';
  showScreen(retry ? 'retry' : 'failed');
}

// An error inside the program ends its run for good: nothing is left to resume.
function stopped(what) {
  if (quorvane.state === 'running' || quorvane.state === 'drawing') release();
  fail(`The program stopped: ${what}`);
}

// What a screen reader finds during the run: the time left, on request (a
// timer is not read out by itself).
function showTimeLeft() {
  const timer = document.createElement('p');
  timer.id = 'time-left';
  timer.className = 'visually-hidden';
  timer.setAttribute('role', 'timer');
  document.body.appendChild(timer);
  const update = () => {
    const elapsed = clockStart === null ? 0 : (performance.now() - clockStart) * parameters.speed;
    const left = Math.max(0, Math.ceil(kPieceSeconds - elapsed / 1000));
    const minutes = Math.floor(left / 60);
    const seconds = left % 60;
    timer.textContent = `${minutes ? `${minutes} min ` : ''}${seconds} s left of the piece`;
  };
  update();
  timeLeftTimer = setInterval(update, 1000);
}

// Hooks called from the program.

function showCanvas() {
  showScreen(null);
  showTimeLeft();
  const canvas = currentCanvas();
  canvas.tabIndex = -1;
  canvas.focus();
  const notes = [atlasNote, canvasNote()].filter(Boolean);
  if (notes.length) showNotice(notes.join(' '));
}

function hideCursor() {
  document.documentElement.classList.add('running');
  if (navigator.wakeLock)
    navigator.wakeLock.request('screen').then(lock => { wakeLock = lock; }, () => {});
}

// An animation frame when the tab is shown; in a hidden tab, where the browser
// runs none, a timer that the browser slows to about one a second. The clock
// keeps running there, as a covered native window's does, so the run still
// ends at its time and the music stays with it.
function waitForFrame(wakeUp) {
  let timer = 0;
  const frame = requestAnimationFrame(() => {
    clearTimeout(timer);
    wakeUp();
  });
  timer = setTimeout(() => {
    cancelAnimationFrame(frame);
    wakeUp();
  }, 250);
}

function release() {
  document.documentElement.classList.remove('running');
  if (wakeLock) wakeLock.release().catch(() => {});
  wakeLock = null;
  clearInterval(timeLeftTimer);
  document.getElementById('time-left')?.remove();
  hideNotice();
  leaveFullscreen();
}

function clockStarted(nowMs) {
  clockStart = performance.now();
  note('clock-start', nowMs);
  setMusicClock(nowMs, parameters.speed);
}

function takeEndRequest() {
  const asked = endRequested;
  endRequested = false;
  return asked;
}

const hooks = {
  replaceCanvas, canvasOpened, enterFullscreen, showCanvas, hideCursor, waitForFrame, release,
  clockStarted, takeEndRequest, musicOpen, musicPlay, musicStop, musicFree,
  framePresented: () => { ++quorvane.frames; },
  musicOpenOutput: sampleRate => note('music-output', sampleRate),
  reportCheckpoint: (frame, elapsedMs, state, random) =>
      quorvane.checkpoints.push({frame, elapsedMs, state, random}),
};
quorvane.music = musicState;

// The real-time piece, from a click, a tap or a key press (browsers allow full
// screen and sound only then).
async function play() {
  if (quorvane.state !== 'ready' && quorvane.state !== 'ended') return;
  quorvane.state = 'running';
  quorvane.frames = 0;
  endRequested = false;
  clockStart = null;
  note('begin');
  let status;
  try {
    status = await window.Module.ccall('QuorvaneRunPiece', 'number', ['number'], [parameters.speed],
                                       {async: true});
  } catch (e) {
    stopped(e.message);
    return;
  }
  note('end', status);
  quorvane.state = 'ended';
  showScreen('end');
  if (restartAfterEnd) {
    restartAfterEnd = false;
    play();
  }
}

async function drawScheduledFrame() {
  quorvane.state = 'drawing';
  showScreen(null);
  try {
    const drawn = await window.Module.ccall('QuorvaneScheduledRun', 'boolean', ['number'],
                                            [parameters.frame], {async: true});
    if (drawn) quorvane.state = 'drawn';
    else fail('No WebGL context, or it was lost and did not come back: nothing was drawn.');
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
page.screen.addEventListener('click', () => {
  if (quorvane.state === 'ready') play();
});
page.again.addEventListener('click', event => {
  event.stopPropagation();
  play();
});
page.retry.addEventListener('click', () => location.reload());
// Errors thrown from the program's own event handlers (keys, full screen).
window.addEventListener('error', event => {
  if (quorvane.state === 'running' || quorvane.state === 'drawing') stopped(event.message);
});

async function start() {
  const webgl = probeWebGL();
  if (!webgl) {
    quorvane.state = 'no-webgl';
    page.loading.hidden = true;
    reportProblem('This browser offers no WebGL, which the piece needs to draw. ' +
                  'Try another browser, or turn on hardware acceleration.');
    return;
  }
  initCanvas({
    size: parameters.size,
    largestSide: webgl.largestSide,
    isRunning: () => quorvane.state === 'running' || quorvane.state === 'drawing',
    onLeave: () => { endRequested = true; },
    onGiveUp: () => {
      restartAfterEnd = true;
      endRequested = true;
    },
  });
  if (matchMedia('(prefers-reduced-motion: reduce)').matches) page.motion.hidden = false;
  if (matchMedia('(pointer: coarse)').matches) page.begin.textContent = 'tap to begin';
  onProgress(share => { page.progress.value = share; });

  const atlasLoading = loadAtlas();
  try {
    const wasmBinary = await loadProgramBinary();
    await startProgram({page: hooks, wasmBinary});
  } catch (e) {
    fail(`The program could not be started: ${e.message}`, {retry: e instanceof StalledError});
    return;
  }
  window.Module.onAbort = what => stopped(what);
  const atlas = await atlasLoading;
  if (atlas.stalled) {
    fail(`${atlas.problem}.`, {retry: true});
    return;
  }
  if (atlas.bytes) window.Module.FS.writeFile(kAtlasName, atlas.bytes);
  if (atlas.problem) {
    reportProblem(atlas.bytes
        ? `${atlas.problem}; the piece runs with this file, as the native one would.`
        : `${atlas.problem}: the piece will run without its textures.`);
    atlasNote = atlas.bytes
        ? `${kAtlasName} is not the piece's atlas: the picture is not as it should be.`
        : `${kAtlasName} could not be loaded: the piece runs without its textures.`;
  }
  if (parameters.frame) {
    drawScheduledFrame();
    return;
  }
  prepareMusic();
  quorvane.state = 'ready';
  showScreen('start');
}

start().catch(e => fail(`The page stopped: ${e.message}`));
