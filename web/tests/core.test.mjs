// The web page's core, built as WebAssembly, against the same source built natively: the answers
// for 1,000 pictures and a few refused recipes are the same bytes; and the page's placing of the
// picture against the desktop's FitPicture; and the size of the code the page loads.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { readFileSync, statSync } from 'node:fs';
import path from 'node:path';
import { test } from 'node:test';
import { fitPicture } from '../picture_fit.js';
import { PAGE_CODE, PAGE_CODE_GOAL, buildDir, scratchFolder, wasmDir, webDir } from './harness.mjs';

test('WebCore: the WebAssembly core draws 1,000 pictures into the same bytes as the native build', () => {
  const folder = scratchFolder('dump');
  const native = path.join(folder, 'native.bin');
  const wasm = path.join(folder, 'wasm.bin');
  execFileSync(path.join(buildDir, 'web-core', 'lorvane_web_dump'), [native]);
  execFileSync(process.execPath, [path.join(wasmDir, 'web', 'lorvane_web_dump.js'), wasm]);
  const expected = readFileSync(native);
  const got = readFileSync(wasm);
  assert.ok(expected.length > 1000 * 4000, `only ${expected.length} bytes`);
  const first = expected.findIndex((byte, i) => byte !== got[i]);
  assert.equal(got.length, expected.length);
  assert.equal(first, -1, `the first difference is at byte ${first}`);
});

test('PictureFit: the page places the picture as FitPicture does, in areas from none to far larger than 16 times the picture', () => {
  const heights = [0, 1, 299, 449, 450, 451, 599, 675, 768, 990, 1080, 1799, 2160, 2314, 7200, 7201, 10000];
  const areas = [];
  for (let width = 0; width <= 10000; width += 13) {
    areas.push(...heights.map((height) => [width, height]));
  }
  const native = execFileSync(path.join(buildDir, 'web-core', 'lorvane_web_fit'),
    { input: areas.map((area) => area.join(' ')).join('\n') }).toString().trim().split('\n');
  assert.equal(native.length, areas.length);
  areas.forEach(([width, height], i) => {
    const { scale, placed } = fitPicture(width, height);
    assert.equal(`${scale} ${placed.x} ${placed.y} ${placed.width} ${placed.height}`,
      native[i].replace(/^\S+/, (text) => String(Number(text))), `${width} x ${height}`);
  });
});

test('WebPage: the code the page loads, its core and its modules, is at most 100 KB', () => {
  const sizes = PAGE_CODE.map((name) => `${name} ${statSync(path.join(webDir, name)).size}`);
  const total = sizes.reduce((sum, entry) => sum + Number(entry.split(' ')[1]), 0);
  assert.ok(total <= PAGE_CODE_GOAL, `${total} bytes: ${sizes.join(', ')}`);
});
