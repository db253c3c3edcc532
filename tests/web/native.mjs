// The native build's tools as references: the simulation hashes and the
// capture tool's frames. Also where the builds are and the picture metric.
import {execFile} from 'node:child_process';
import {mkdtemp, readFile, rm} from 'node:fs/promises';
import {tmpdir} from 'node:os';
import {dirname, join, resolve} from 'node:path';
import {fileURLToPath} from 'node:url';
import {promisify} from 'node:util';
import {PNG} from 'pngjs';

const run = promisify(execFile);
const root = resolve(dirname(fileURLToPath(import.meta.url)), '../..');

export const kNativeBuild = resolve(process.env.QUORVANE_BUILD || join(root, 'build'));
export const kWebBuild = resolve(process.env.QUORVANE_WEB_BUILD || join(root, 'build-web'));
export const kFramesPerSecond = 60;

// {frame, elapsedMs, state, random} for each line of quorvane-sim-hashes.
export async function nativeCheckpoints() {
  const {stdout} = await run(join(kNativeBuild, 'quorvane-sim-hashes'));
  return stdout.trim().split('\n').map(line => {
    const m = /^frame\s+(\d+)\s+elapsedMs\s+(\d+)\s+state\s+(\d+)\s+random\s+(\d+)$/.exec(line.trim());
    if (!m) throw new Error(`unexpected line from quorvane-sim-hashes: ${line}`);
    return {frame: +m[1], elapsedMs: +m[2], state: m[3], random: +m[4]};
  });
}

// Frame k of the 60 fps schedule as the capture tool draws it, as a PNG.
export async function captureFrame(k, width, height) {
  const folder = await mkdtemp(join(tmpdir(), 'quorvane-capture-'));
  try {
    await run(join(kNativeBuild, 'quorvane-capture'),
              ['--quiet', '--size', `${width}x${height}`, '--from',
               String((k - 1) / kFramesPerSecond), '--to', String(k / kFramesPerSecond),
               `${folder}/frames/`],
              {cwd: kNativeBuild});
    return await readFile(join(folder, 'frames', `frame_${String(k).padStart(6, '0')}.png`));
  } finally {
    await rm(folder, {recursive: true, force: true});
  }
}

export function decodePng(bytes) {
  return PNG.sync.read(bytes);
}

// Peak signal-to-noise ratio over the red, green and blue channels, in dB.
export function psnr(a, b) {
  if (a.width !== b.width || a.height !== b.height)
    throw new Error(`sizes differ: ${a.width}x${a.height} and ${b.width}x${b.height}`);
  let sum = 0;
  for (let i = 0; i < a.data.length; i += 4) {
    for (let c = 0; c < 3; ++c) {
      const d = a.data[i + c] - b.data[i + c];
      sum += d * d;
    }
  }
  const mse = sum / (a.width * a.height * 3);
  return mse === 0 ? Infinity : 10 * Math.log10(255 * 255 / mse);
}
