// What the web page's tests and benchmark share: the page's folder served on 127.0.0.1, Debian's
// Chromium driven by puppeteer-core, lorvane01-render as the reference, and pixels read in the page.
import { execFileSync, spawn } from 'node:child_process';
import { mkdtempSync, readdirSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

const root = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../..');
export const buildDir = path.resolve(root, process.env.LORVANE_BUILD ?? 'build');
export const wasmDir = path.resolve(root, process.env.LORVANE_WASM ?? 'build-wasm');
export const webDir = path.resolve(root, process.env.LORVANE_WEB ?? 'build/web');
export const render = path.join(buildDir, 'lorvane01-render');

// The code the page loads: the core's WebAssembly and module, and the page's own modules.
export const PAGE_CODE = ['lorvane01_core.wasm', 'lorvane01_core.js', 'lorvane01.js', 'core_answer.js', 'page_keys.js',
  'picture_address.js', 'picture_fit.js', 'picture_painting.js', 'png_file.js'];
// What it may come to, in bytes.
export const PAGE_CODE_GOAL = 100000;

export const WIDTH = 600;
export const HEIGHT = 450;
// The captions' line starts here (picture pixels); everything above it is squares and background.
export const CAPTION_TOP = 425;
export const CAPTION_LEFTS = [12, 220, 420];

// A new folder under the system's temporary folder, removed when the test process ends.
export function scratchFolder(name) {
  const folder = mkdtempSync(path.join(tmpdir(), `lorvane01-${name}-`));
  process.on('exit', () => rmSync(folder, { recursive: true, force: true }));
  return folder;
}

// `python3 -m http.server` on a free port of 127.0.0.1, serving the page's folder.
export async function startServer() {
  const server = spawn('python3', ['-u', '-m', 'http.server', '0', '--bind', '127.0.0.1', '-d', webDir],
    { stdio: ['ignore', 'pipe', 'pipe'] });
  const port = await new Promise((resolve, reject) => {
    let seen = '';
    server.stdout.on('data', (data) => {
      seen += data;
      const found = /port (\d+)/.exec(seen);
      if (found) {
        resolve(Number(found[1]));
      }
    });
    server.on('exit', (code) => reject(new Error(`the web server ended with status ${code}`)));
  });
  server.stderr.resume();
  return { url: `http://127.0.0.1:${port}/`, stop: () => server.kill() };
}

export function launchBrowser() {
  return puppeteer.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage', '--font-render-hinting=none'],
  });
}

// A page of this size (CSS pixels) and device pixel ratio that records every error it throws or logs.
export async function openPage(browser, scale, { width = 640, height = 540 } = {}) {
  const page = await browser.newPage();
  await page.setViewport({ width, height, deviceScaleFactor: scale });
  page.errors = [];
  page.on('pageerror', (error) => page.errors.push(error.message));
  page.on('console', (message) => {
    if (message.type() === 'error') {
      page.errors.push(message.text());
    }
  });
  return page;
}

// Loads the page afresh at this address and waits for its first picture.
export async function load(page, url) {
  await page.goto('about:blank');
  await page.goto(url);
  await page.waitForSelector('html[data-ready="true"]', { timeout: 10000 });
}

// Where the page placed its picture on the canvas (its fit: { scale, placed }).
export function pageFit(page) {
  return page.evaluate(async () => (await import('./lorvane01.js')).page.fit);
}

// RGBA pixels from the page: its canvas; 'fills', the shown picture played again at the canvas's
// scale without its captions; or { png } a PNG's bytes in base64, decoded by the browser with no
// colour conversion, and with { frame } that frame of an animated PNG as shown, and the count of
// frames.
async function pagePixels(page, source) {
  const { width, height, base64, frames } = await page.evaluate(async (source) => {
    let canvas = document.getElementById('picture');
    let frames;
    if (source === 'fills') {
      const { page } = await import('./lorvane01.js');
      const { deviceSize, paint } = await import('./picture_painting.js');
      const { scale } = page.fit;
      const { width, height } = deviceSize(scale);
      canvas = new OffscreenCanvas(width, height);
      paint(canvas.getContext('2d', { alpha: false }), page.shown, scale, { captions: false });
    } else if (source !== 'canvas') {
      const png = Uint8Array.from(atob(source.png), (c) => c.charCodeAt(0));
      let image;
      if (source.frame === undefined) {
        image = await createImageBitmap(new Blob([png], { type: 'image/png' }), { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
      } else {
        const decoder = new ImageDecoder({ data: png, type: 'image/png', colorSpaceConversion: 'none' });
        await decoder.tracks.ready;
        frames = decoder.tracks.selectedTrack.frameCount;
        image = (await decoder.decode({ frameIndex: source.frame < 0 ? frames + source.frame : source.frame })).image;
      }
      canvas = new OffscreenCanvas(image.displayWidth ?? image.width, image.displayHeight ?? image.height);
      canvas.getContext('2d').drawImage(image, 0, 0);
      image.close();
    }
    const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    let binary = '';
    for (let i = 0; i < data.length; i += 0x8000) {
      binary += String.fromCharCode(...data.subarray(i, i + 0x8000));
    }
    return { width: canvas.width, height: canvas.height, base64: btoa(binary), frames };
  }, source);
  return { width, height, rgba: new Uint8Array(Buffer.from(base64, 'base64')), frames };
}

export const canvasPixels = (page) => pagePixels(page, 'canvas');
export const fillPixels = (page) => pagePixels(page, 'fills');

// A PNG's chunks in order: { type, data } (a Buffer each).
export function pngChunks(bytes) {
  const chunks = [];
  for (let at = 8; at < bytes.length; at += 12 + bytes.readUInt32BE(at)) {
    chunks.push({ type: bytes.toString('latin1', at + 4, at + 8), data: bytes.subarray(at + 8, at + 8 + bytes.readUInt32BE(at)) });
  }
  return chunks;
}

// A PNG's pixels, decoded in the page, and its tEXt chunks.
export async function decodePng(page, bytes) {
  const text = {};
  for (const { data } of pngChunks(bytes).filter((chunk) => chunk.type === 'tEXt')) {
    const nul = data.indexOf(0);
    text[data.toString('latin1', 0, nul)] = data.toString('latin1', nul + 1);
  }
  return { ...(await pagePixels(page, { png: bytes.toString('base64') })), text };
}

// Frame `frame` of an animated PNG as shown (negative counts from the end), and the count of frames.
export const decodeFrame = (page, bytes, frame) => pagePixels(page, { png: bytes.toString('base64'), frame });

// lorvane01-render's PNG of a recipe at a scale.
export function renderPng(page, { seed, picture, at }, scale) {
  const out = scratchFolder('render');
  execFileSync(render, ['--seed', seed, '--first', String(picture), '--at', at, '--scale', String(scale),
    '--out', out, '--jobs', '1']);
  return decodePng(page, readFileSync(path.join(out, readdirSync(out)[0])));
}

// lorvane01-render's PNG of a recipe with --fit WxH.
export function renderFitPng(page, { seed, picture, at }, width, height) {
  const out = scratchFolder('fit');
  execFileSync(render, ['--seed', seed, '--first', String(picture), '--at', at, '--fit', `${width}x${height}`,
    '--out', out, '--jobs', '1']);
  return decodePng(page, readFileSync(path.join(out, readdirSync(out)[0])));
}

// The rectangle { x, y, width, height } of an image.
export function crop(image, { x, y, width, height }) {
  const rgba = new Uint8Array(width * height * 4);
  for (let row = 0; row < height; ++row) {
    const from = ((y + row) * image.width + x) * 4;
    rgba.set(image.rgba.subarray(from, from + width * 4), row * width * 4);
  }
  return { width, height, rgba };
}

// The first pixel (x, y, the two colours) that differs in rows [0, rows), or null.
export function firstDifference(a, b, rows) {
  if (a.width !== b.width || a.height !== b.height) {
    return { size: `${a.width} x ${a.height} against ${b.width} x ${b.height}` };
  }
  for (let i = 0; i < a.width * rows; ++i) {
    for (let c = 0; c < 3; ++c) {
      if (a.rgba[i * 4 + c] !== b.rgba[i * 4 + c]) {
        const colour = (image) => [...image.rgba.subarray(i * 4, i * 4 + 3)].join(',');
        return { x: i % a.width, y: Math.floor(i / a.width), got: colour(a), expected: colour(b) };
      }
    }
  }
  return null;
}

// Where each caption's ink is below the captions' top, one box per caption column. The captions
// are white: a pixel's ink is how far it went from the picture without captions towards white,
// in the channel with the most room, and pixels over near-white fills (where that cannot be told)
// are left out.
export function captionBoxes(image, fills, scale) {
  const top = Math.round(CAPTION_TOP * scale);
  const edges = [...CAPTION_LEFTS.map((left) => Math.round(left * scale)), image.width];
  return CAPTION_LEFTS.map((_, column) => {
    const box = { left: Infinity, top: Infinity, right: -Infinity, bottom: -Infinity };
    for (let y = top; y < image.height; ++y) {
      for (let x = edges[column]; x < edges[column + 1]; ++x) {
        const i = (y * image.width + x) * 4;
        const c = [0, 1, 2].reduce((best, channel) => (fills.rgba[i + channel] < fills.rgba[i + best] ? channel : best));
        const room = 255 - fills.rgba[i + c];
        if (room >= 64 && (image.rgba[i + c] - fills.rgba[i + c]) / room > 0.3) {
          box.left = Math.min(box.left, x);
          box.right = Math.max(box.right, x);
          box.top = Math.min(box.top, y);
          box.bottom = Math.max(box.bottom, y);
        }
      }
    }
    return box;
  });
}

export function addressOf({ seed, picture, at }) {
  return `#seed=${seed}&picture=${picture}&at=${at}`;
}

export function recipeOfAddress(hash) {
  const found = /^#seed=([^&]+)&picture=(\d+)&at=(\d{14})$/.exec(hash);
  return found ? { seed: found[1], picture: Number(found[2]), at: found[3] } : null;
}
