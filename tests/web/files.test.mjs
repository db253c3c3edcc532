// How the page names a file that is not what the piece expects: the atlas by
// its TGA header and length, the program by its magic number, the music by
// its first bytes; and the program's contract with the page, as written.
// Plain Node, no browser.
import assert from 'node:assert/strict';
import {readFile} from 'node:fs/promises';
import {join} from 'node:path';
import {describe, test} from 'node:test';

import {atlasProblem, describeStart, kAtlasReadBytes, kAtlasTrailerBytes, musicStartProblem,
        programProblem} from '../../host/web/page/files.js';
import {kSite, kWebBuild} from './native.mjs';

// The header that the piece's atlas generator writes.
function tgaHeader({type = 2, width = 1024, height = 1024, bits = 32, idLength = 0} = {}) {
  const header = new Uint8Array(18);
  header[0] = idLength;
  header[2] = type;
  header.set([width & 0xff, width >> 8, height & 0xff, height >> 8], 12);
  header[16] = bits;
  header[17] = 8;
  return header;
}

function file(header, length) {
  const bytes = new Uint8Array(Math.min(length, kAtlasReadBytes + kAtlasTrailerBytes + 1));
  bytes.set(header.subarray(0, bytes.length));
  return bytes;
}

describe('the atlas', () => {
  test('the piece\'s own, alone or with a TGA footer, passes', () => {
    assert.equal(atlasProblem(file(tgaHeader(), kAtlasReadBytes), kAtlasReadBytes), null);
    assert.equal(atlasProblem(file(tgaHeader(), kAtlasReadBytes + 26), kAtlasReadBytes + 26), null);
  });

  test('the generated one in the web build passes', async () => {
    const bytes = new Uint8Array(await readFile(join(kSite, 'TEX.tga')));
    assert.equal(atlasProblem(bytes, bytes.length), null);
  });

  test('each way of not being it is named with its length', () => {
    const html = new TextEncoder().encode('<!DOCTYPE html><html><body>Not found</body></html>');
    const cases = [
      [new Uint8Array(0), 0, /: 0 bytes, empty$/],
      [html, html.length, new RegExp(`: ${html.length} bytes, an HTML page$`)],
      [file(tgaHeader(), 1000), 1000, new RegExp(`: 1000 bytes, ${kAtlasReadBytes - 1000} bytes short$`)],
      [file(tgaHeader({width: 512}), kAtlasReadBytes), kAtlasReadBytes, /not a 1024x1024 32-bit uncompressed TGA/],
      [file(tgaHeader({bits: 24}), kAtlasReadBytes), kAtlasReadBytes, /not a 1024x1024 32-bit/],
      [file(tgaHeader({type: 10}), kAtlasReadBytes), kAtlasReadBytes, /not a 1024x1024 32-bit/],
      [file(tgaHeader({idLength: 5}), kAtlasReadBytes), kAtlasReadBytes, /not a 1024x1024 32-bit/],
      // Read only a little further than the piece needs.
      [file(tgaHeader(), 100e6), null,
       new RegExp(`: at least ${kAtlasReadBytes + kAtlasTrailerBytes + 1} bytes, longer than`)],
      [file(tgaHeader(), 100e6), 100e6, /: 100000000 bytes, longer than the piece's 4194322 bytes/],
    ];
    for (const [bytes, total, expected] of cases) {
      const problem = atlasProblem(bytes, total);
      assert.match(problem ?? 'none', /^TEX\.tga is not the piece's atlas: /);
      assert.match(problem, expected);
    }
  });
});

describe('the program and the music', () => {
  test('the built program is WebAssembly, a page in its place is not', async () => {
    assert.equal(programProblem(new Uint8Array(await readFile(join(kSite, 'quorvane.wasm')))), null);
    const page = new TextEncoder().encode('<html><head></head></html>');
    assert.equal(programProblem(page), `quorvane.wasm is not the program: ${page.length} bytes, an HTML page`);
    assert.match(programProblem(new Uint8Array([0, 0x61, 0x73])), /3 bytes, starting with bytes 00 61 73$/);
  });

  test('music that starts like MP3 is not blamed on its bytes; anything else is', async () => {
    const music = await readFile(join(kSite, 'RX_muc.mp3'));
    assert.equal(musicStartProblem(new Uint8Array(music.subarray(0, 1024))), null);
    assert.equal(musicStartProblem(new Uint8Array([0xff, 0xfb, 0x90, 0x64])), null);
    assert.equal(musicStartProblem(new Uint8Array(0)), 'the file is empty');
    assert.match(musicStartProblem(new TextEncoder().encode('  <html>')), /an HTML page/);
    assert.match(musicStartProblem(new Uint8Array([0x12, 0x34])), /starting with bytes 12 34/);
  });

  test('only the first bytes are shown, as hexadecimal', () => {
    assert.equal(describeStart(new Uint8Array([1, 2, 3, 4, 5, 6])), 'starting with bytes 01 02 03 04');
  });
});

describe('the contract between the program and the page', () => {
  // page_hooks.js is derived from page_hooks.h at build time: each declared
  // PageName must reach the page's hook `name`, and the runtime must check
  // the page for each of them, and for nothing else.
  test('every hook the header declares is called and checked, and only those', async () => {
    const header = await readFile(new URL('../../host/web/page_hooks.h', import.meta.url), 'utf8');
    const declared = [...header.matchAll(/^(?:void|bool) Page(\w)(\w*)\(/gm)]
                         .map(m => m[1].toLowerCase() + m[2]);
    const library = await readFile(join(kWebBuild, 'host', 'web', 'page_hooks.js'), 'utf8');
    const called = new Set([...library.matchAll(/Module\['page'\]\['(\w+)'\]/g)].map(m => m[1]));
    const listed = /names: \[([^\]]*)\]/.exec(library)[1].match(/'(\w+)'/g).map(n => n.slice(1, -1));
    assert.ok(declared.length > 10, `only ${declared.length} hooks read from the header`);
    assert.deepEqual([...called].sort(), [...declared].sort());
    assert.deepEqual([...listed].sort(), [...declared].sort());
  });
});
