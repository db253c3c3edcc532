// The piece's files as the page knows them, and how to say what a wrong one
// is. Nothing here touches the document, so that Node can test it.

export const kAtlasName = 'TEX.tga';
export const kMusicName = 'RX_muc.mp3';
export const kProgramName = 'quorvane.wasm';

// An 18-byte header, then 1024 x 1024 pixels of four bytes: the piece reads
// no more than this.
export const kAtlasReadBytes = 18 + 1024 * 1024 * 4;
// A TGA may end with an extension area and a footer, which the piece skips.
export const kAtlasTrailerBytes = 64 * 1024;

const startsWith = (bytes, text) =>
    bytes.length >= text.length && [...text].every((c, i) => bytes[i] === c.charCodeAt(0));

// What the first bytes of a file look like, for a message: HTML (a host's
// error page, or a fallback page answered for any name), or their values.
export function describeStart(bytes) {
  if (bytes.length === 0) return 'empty';
  const text = new TextDecoder().decode(bytes.subarray(0, 64)).trimStart().toLowerCase();
  if (text.startsWith('<!doctype html') || text.startsWith('<html') || text.startsWith('<head') ||
      text.startsWith('<body'))
    return 'an HTML page';
  const shown = [...bytes.subarray(0, 4)].map(b => b.toString(16).padStart(2, '0')).join(' ');
  return `starting with bytes ${shown}`;
}

const bytesText = (total, read) => total === null ? `at least ${read} bytes` : `${total} bytes`;

// Null for the piece's own atlas, else the sentence that names the file.
// `bytes` are those read (at most what the piece reads, plus one trailer);
// `total` is the file's length, or null when only "at least what was read" is known.
export function atlasProblem(bytes, total) {
  const size = total ?? bytes.length;
  const header = bytes.length >= 18 && bytes[0] === 0 && bytes[1] === 0 && bytes[2] === 2 &&
                 bytes[12] === 0 && bytes[13] === 4 && bytes[14] === 0 && bytes[15] === 4 &&
                 bytes[16] === 32;
  const longest = kAtlasReadBytes + kAtlasTrailerBytes;
  if (header && total !== null && size >= kAtlasReadBytes && size <= longest) return null;
  let what;
  if (!header) {
    const start = describeStart(bytes);
    what = start === 'empty' || start === 'an HTML page'
        ? start
        : 'not a 1024x1024 32-bit uncompressed TGA';
  } else if (size < kAtlasReadBytes) {
    what = `${kAtlasReadBytes - size} bytes short`;
  } else {
    what = `longer than the piece's ${kAtlasReadBytes} bytes`;
  }
  return `${kAtlasName} is not the piece's atlas: ${bytesText(total, bytes.length)}, ${what}`;
}

// Null for a WebAssembly module, else what the file is instead.
export function programProblem(bytes) {
  if (bytes.length >= 8 && startsWith(bytes, '\0asm')) return null;
  return `${kProgramName} is not the program: ${bytes.length} bytes, ${describeStart(bytes)}`;
}

// Why a music file the browser refused might be refused: null when it starts
// like MP3 (an ID3 tag, or a frame's sync bits), else what it is.
export function musicStartProblem(bytes) {
  if (startsWith(bytes, 'ID3') || (bytes.length >= 2 && bytes[0] === 0xff && (bytes[1] & 0xe0) === 0xe0))
    return null;
  const start = describeStart(bytes);
  return start === 'empty' ? 'the file is empty' : `it is not MP3: ${start}`;
}
