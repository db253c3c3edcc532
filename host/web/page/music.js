// The music on an <audio> element that streams the file: it plays while it
// arrives, so the start need not wait for it. The piece's clock starts first
// and the music follows it, as natively; here it is also kept in step with
// that clock for the whole run, through a slow start, a stall, a frozen or a
// hidden tab: far off, it seeks; a little off, it plays a little faster or
// slower until it is back in step.
import {kMusicName, musicStartProblem} from './files.js';
import {note, reportProblem, showNotice} from './notes.js';

// Within this the music counts as in step; beyond kSeekSeconds a seek is
// quicker than a change of speed.
const kInStepSeconds = 0.015;
const kSeekSeconds = 0.25;
// A change of speed of at most 6%, proportional to the offset: 40 ms off
// plays 6% faster or slower, back in step within about a second; a stutter
// of the audio output (100 ms behind, on a busy machine) takes two.
const kMostRateChange = 0.06;
const kRatePerSecondOff = 1.5;
// Muted after a seek, where nothing is heard, the seek's lateness is made up
// at up to 1.75 times the speed; and just after one (a start, a resume), where
// a jump was heard anyway, the output's first stutter at up to 25%: most of
// the offset gone by the next alignment.
const kMutedMostRateChange = 0.75;
const kQuickAfterSeekMs = 1500;
const kQuickMostRateChange = 0.25;
const kQuickRatePerSecondOff = 4;
const kAlignEveryMs = 200;
// And while it catches up quickly, more often, so that it does not overshoot.
const kQuickAlignEveryMs = 50;
// A seek needs time to play again; until then, what the element reports
// says nothing of where the next seek should aim.
const kSeekSettleMs = 1000;
const kMostSeekLead = 0.5;
// Muted from a seek until in step, so that a late start is not heard jumping;
// after this the music is heard whatever its offset.
const kMutedAtMostMs = 2000;
// Browsers play media at rates from 1/16 to 16 only.
const kSlowestRate = 1 / 16;
const kFastestRate = 16;

let audio = null;
let failure = null;
// The piece's clock as the program reads it: performance.now() times `rate`,
// in whole milliseconds, from the reading `startMs`.
let clock = null;
let wanted = false;
let timer = 0;
let quickTimer = 0;
// How long a seek takes to play, learnt from the last one, so that the next
// seek aims that far ahead.
let seekLead = 0;
let seekTarget = null;
let seekAt = -Infinity;
// The most the music was behind since the last seek played, in seconds,
// while that seek's lesson is being taken; else null.
let mostBehind = null;
// Counts the seeks, so that one seek's lesson is not taken from another's.
let seeks = 0;
let playing = null;
let mutedAt = 0;
// The whole file as a Blob URL, once the streamed one failed; while it comes,
// nothing is done with the element.
let wholeFile = null;

export const musicState = () => ({
  playing: !!audio && !audio.paused,
  failure,
  offsetMs: audio && clock && !audio.paused ? (audio.currentTime - pieceSeconds()) * 1000 : null,
});

function pieceSeconds() {
  const now = Math.floor(performance.now() * clock.rate) >>> 0;
  return ((now - clock.startMs) | 0) / 1000;
}

function following() {
  return clock && clock.rate >= kSlowestRate && clock.rate <= kFastestRate;
}

function describeError() {
  const error = audio.error;
  const codes = {1: 'aborted', 2: 'network error', 3: 'could not be decoded', 4: 'not playable'};
  return error ? `${codes[error.code] ?? 'error'}${error.message ? `: ${error.message}` : ''}` : '';
}

// A host that compresses the music breaks the ranges that the element
// streams it in, but a plain request still brings it whole: the element
// plays it from memory then. Tried once; a file that is not MP3, or that
// fails again, is named.
async function onError() {
  if (wholeFile || failure) {
    if (wholeFile !== 'loading') nameFailure();
    return;
  }
  wholeFile = 'loading';
  note('music-stream-failed', describeError());
  let url = null;
  try {
    const response = await fetch(kMusicName, {cache: 'no-store'});
    const bytes = response.ok ? new Uint8Array(await response.arrayBuffer()) : null;
    if (bytes && !musicStartProblem(bytes))
      url = URL.createObjectURL(new Blob([bytes], {type: 'audio/mpeg'}));
  } catch {
    // Named below, from what a ranged request gets.
  }
  wholeFile = url ?? 'failed';
  if (!url) {
    nameFailure();
    return;
  }
  note('music-whole-file', kMusicName);
  audio.src = url;
  if (!wanted) return;
  if (following()) seek(pieceSeconds() + seekLead);
  play();
}

// The element's error says little; the file's first bytes, how the host
// sends them and the page's security policy say more.
async function nameFailure() {
  if (failure) return;
  failure = 'pending';
  let why = describeError();
  try {
    const response = await fetch(kMusicName, {headers: {Range: 'bytes=0-1023'}, cache: 'no-store'});
    if (!response.ok) {
      why = `HTTP ${response.status} ${response.statusText}`.trim();
    } else {
      const bytes = new Uint8Array(await response.arrayBuffer());
      why = musicStartProblem(bytes) ?? `the browser could not decode it (${why})`;
    }
  } catch {
    // A range of a compressed file does not unpack; only the headers tell.
    // The same policy may also stop the look at the file.
    why = await compressedBy().catch(() => null) ?? why;
  }
  if (failure !== 'pending') return;
  failed(`${kMusicName} cannot be played (${why}): the piece will run without music.`);
}

async function compressedBy() {
  const response = await fetch(kMusicName, {method: 'HEAD', cache: 'no-store'});
  const encoding = response.headers.get('Content-Encoding');
  return encoding && encoding !== 'identity'
      ? `the host sends it compressed (Content-Encoding: ${encoding}), which browsers cannot play`
      : null;
}

function failed(text) {
  failure = text;
  note('music-failed', text);
  reportProblem(text);
  if (wanted) showNotice(text, {seconds: 8});
}

// Starts streaming the music, so that its failures are named on the start
// screen and its first seconds are in before the start.
export function prepareMusic() {
  if (audio) return;
  audio = new Audio();
  audio.preload = 'auto';
  audio.addEventListener('error', onError);
  for (const event of ['playing', 'seeked', 'pause', 'waiting']) audio.addEventListener(event, align);
  audio.addEventListener('seeked', learnSeekLead);
  document.addEventListener('securitypolicyviolation', event => {
    if (event.effectiveDirective === 'media-src' && event.blockedURI.endsWith(kMusicName))
      failed(`${kMusicName} is blocked by this site's Content-Security-Policy (media-src): ` +
             'the piece will run without music.');
  });
  // A frozen page's element plays on (pausing it there, to seek back on
  // resuming, left it silent for seconds); whatever the browser did to it
  // meanwhile is put right on resuming.
  document.addEventListener('resume', align);
  document.addEventListener('visibilitychange', align);
  audio.src = kMusicName;
}

// Once a seek has played for a moment: how far the music fell behind the
// clock at worst (before the quick catch-up made it up) is how much further
// ahead the next one aims.
function learnSeekLead() {
  if (seekTarget === null) return;
  const target = seekTarget;
  const seek = seeks;
  seekTarget = null;
  mostBehind = -Infinity;
  setTimeout(() => {
    const behind = mostBehind;
    mostBehind = null;
    if (!wanted || audio.paused || audio.seeking || seeks !== seek || behind === -Infinity) return;
    seekLead = Math.min(kMostSeekLead, Math.max(0, seekLead + behind));
    note('music-seek-lead', {target, lead: seekLead});
  }, 300);
}

function seek(to) {
  ++seeks;
  seekTarget = to;
  seekAt = performance.now();
  audio.currentTime = to;
  audio.muted = true;
  mutedAt = performance.now();
  note('music-seek', to);
}

function align() {
  if (!wanted || !audio || failure || wholeFile === 'loading') return;
  if (!following()) {
    if (audio.paused) audio.play().catch(() => {});
    return;
  }
  const target = pieceSeconds();
  const end = audio.duration;
  if (Number.isFinite(end) && target + seekLead >= end) return;  // over, as natively
  const baseRate = clock.rate;
  // Paused by the browser (a hidden tab before the music began, a freeze):
  // played again from where the clock is, but not seek after seek while the
  // browser keeps pausing it.
  if (audio.paused) {
    if (performance.now() - seekAt >= kSeekSettleMs) seek(target + seekLead);
    play();
    return;
  }
  if (audio.seeking || audio.readyState < HTMLMediaElement.HAVE_FUTURE_DATA) return;
  const offset = audio.currentTime - target;
  if (mostBehind !== null) mostBehind = Math.max(mostBehind, -offset);
  if (Math.abs(offset) > kSeekSeconds) {
    if (performance.now() - seekAt < kSeekSettleMs) return;
    audio.playbackRate = baseRate;
    seek(target + seekLead);
    return;
  }
  if (Math.abs(offset) <= 2 * kInStepSeconds || performance.now() - mutedAt > kMutedAtMostMs)
    audio.muted = false;
  const quick = audio.muted || performance.now() - seekAt < kQuickAfterSeekMs;
  const most = audio.muted ? kMutedMostRateChange : quick ? kQuickMostRateChange : kMostRateChange;
  const gain = quick ? kQuickRatePerSecondOff : kRatePerSecondOff;
  const change = Math.abs(offset) <= kInStepSeconds
      ? 0
      : Math.max(-most, Math.min(most, offset * gain));
  audio.playbackRate = baseRate * (1 - change);
  clearTimeout(quickTimer);
  if (quick && change) quickTimer = setTimeout(align, kQuickAlignEveryMs);
}

function play() {
  if (playing) return;
  playing = audio.play().catch(e => {
    // Pausing or seeking before playback began interrupts play(): not a refusal;
    // nor is an element that failed, which names its failure itself.
    if (e.name === 'AbortError' || !wanted || audio.error) return;
    failed(`The browser refused to play ${kMusicName} (${e.name}: ${e.message}): ` +
           'the piece runs without music.');
  }).finally(() => { playing = null; });
}

// Hooks of the music seam.

export function setMusicClock(startMs, rate) {
  clock = {startMs, rate};
}

export function musicOpen(name) {
  if (name !== kMusicName) throw new Error(`no music file ${name}`);
  prepareMusic();
  note(failure ? 'music-missing' : 'music-stream', name);
}

export function musicPlay() {
  note('music-play');
  if (failure) return;
  wanted = true;
  seekLead = 0;
  audio.playbackRate = following() ? clock.rate : 1;
  audio.preservesPitch = true;
  audio.muted = false;
  if (following()) {
    seek(pieceSeconds());
  } else {
    audio.currentTime = 0;
  }
  play();
  timer = setInterval(align, kAlignEveryMs);
}

export function musicStop() {
  wanted = false;
  clearInterval(timer);
  clearTimeout(quickTimer);
  if (audio) audio.pause();
}

// The element stays, with what it has buffered, for the next run.
export function musicFree() {
  note('music-free');
}
