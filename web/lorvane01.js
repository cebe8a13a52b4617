// lorvane01 in a web browser: the core (WebAssembly, web_picture.cpp) draws the picture a recipe
// names as a short list of items; this module paints them at the largest scale that fits the
// window's device pixels, keeps the recipe in the address and the picture's name in the title,
// and saves the picture as a PNG that carries it.
import LorvaneCore from './lorvane01_core.js';
import { KEYS, keyName } from './page_keys.js';
import { fitPicture } from './picture_fit.js';

const WIDTH = 600;
const HEIGHT = 450;
const LAST_PICTURE = 10000000;
const PIXELS_PER_POINT = 96 / 72;
const FONT_FAMILY = 'DejaVu Sans';
// The PNG text chunk in which the desktop program keeps a picture's recipe, and from which
// lorvane01-render --from reads it back.
const RECIPE_KEY = 'lorvane01-recipe';
const SOFTWARE = 'lorvane01 1.00';
// No recipe comes near this; a longer address is refused before it is decoded.
const LONGEST_ADDRESS = 1000;

const FILL = 0;
const LINE = 1;
const TEXT = 2;

// ---- The core's answer (see web_picture.h) ----

const utf8 = new TextDecoder();

// { recipe, background, items } for a drawn picture, { error } for a refused recipe.
export function readAnswer(heap, pointer) {
  const view = new DataView(heap.buffer, pointer);
  let at = 0;
  const u32 = () => { const v = view.getUint32(at, true); at += 4; return v; };
  const i32 = () => { const v = view.getInt32(at, true); at += 4; return v; };
  const text = () => {
    const size = u32();
    const value = utf8.decode(heap.subarray(pointer + at, pointer + at + size));
    at += size;
    return value;
  };
  const size = u32();
  if (u32() !== 0) {
    return { error: text() };
  }
  const recipe = text();
  const background = u32();
  const count = u32();
  const items = new Array(count);
  for (let i = 0; i < count; ++i) {
    const kind = u32();
    if (kind === TEXT) {
      const x = view.getFloat64(at, true);
      const y = view.getFloat64(at + 8, true);
      at += 16;
      const linesBelow = i32();
      const points = view.getFloat32(at, true);
      at += 4;
      items[i] = { kind, x, y, linesBelow, points, colour: u32(), text: text() };
    } else {
      items[i] = { kind, a: i32(), b: i32(), c: i32(), d: i32(), colour: u32() };
    }
  }
  if (at !== size) {
    throw new Error(`the core's answer is ${size} bytes, ${at} were read`);
  }
  return { recipe, background, items };
}

// ---- Painting, as the desktop's raster player does ----

// 0xBBGGRR to a CSS colour.
function css(colour) {
  return `#${((colour & 0xff) << 16 | (colour & 0xff00) | (colour >> 16 & 0xff)).toString(16).padStart(6, '0')}`;
}

// The device pixel at a picture pixel edge: round(pixel * scale), halves away from zero.
function deviceEdge(pixel, scale, limit) {
  return Math.min(limit, Math.round(pixel * scale));
}

export function deviceSize(scale) {
  return { width: deviceEdge(WIDTH, scale, Infinity), height: deviceEdge(HEIGHT, scale, Infinity) };
}

// The caption font's size in whole device pixels, as the desktop draws it.
export function fontPixels(points, scale) {
  return Math.max(1, Math.round(points * PIXELS_PER_POINT * scale));
}

// Where the text's baseline starts, in device pixels: the line's top corner snapped to device
// pixels, the baseline a whole number of device pixels below it, and a first glyph that
// overhangs to the left moved right.
// The font's measurements for a text at a size; the captions repeat picture after picture.
const measured = new Map();

function measure(context, font, text) {
  const key = `${font}\n${text}`;
  let found = measured.get(key);
  if (!found) {
    const metrics = context.measureText(text);
    found = {
      ascent: metrics.fontBoundingBoxAscent,
      lineHeight: metrics.fontBoundingBoxAscent + metrics.fontBoundingBoxDescent,
      overhang: Math.min(0, -context.measureText(text[0]).actualBoundingBoxLeft),
    };
    measured.set(key, found);
  }
  return found;
}

export function textPlacement(context, item, scale) {
  context.font = `${fontPixels(item.points, scale)}px "${FONT_FAMILY}"`;
  const { ascent, lineHeight, overhang } = measure(context, context.font, item.text);
  const top = item.y + item.linesBelow * (lineHeight / scale);
  return { x: Math.round(item.x * scale) - overhang, y: Math.round(top * scale) + Math.round(ascent) };
}

// Paints the whole picture over the canvas, whose backing store is the picture at `scale`.
export function paint(context, picture, scale, { captions = true } = {}) {
  const { width, height } = deviceSize(scale);
  const x = (pixel) => deviceEdge(pixel, scale, width);
  const y = (pixel) => deviceEdge(pixel, scale, height);
  context.setTransform(1, 0, 0, 1, 0, 0);
  context.fillStyle = css(picture.background);
  context.fillRect(0, 0, width, height);
  for (const item of picture.items) {
    if (item.kind === FILL) {
      context.fillStyle = css(item.colour);
      context.fillRect(x(item.a), y(item.b), x(item.c) - x(item.a), y(item.d) - y(item.b));
    } else if (item.kind === LINE) {
      context.fillStyle = css(item.colour);
      paintLine(item, (px, py) => context.fillRect(x(px), y(py), x(px + 1) - x(px), y(py + 1) - y(py)));
    } else if (captions) {
      const at = textPlacement(context, item, scale);
      context.fillStyle = css(item.colour);
      context.textBaseline = 'alphabetic';
      context.fillText(item.text, at.x, at.y);
    }
  }
}

// Bresenham over picture pixels, both end points included.
function paintLine({ a: x1, b: y1, c: x2, d: y2 }, plot) {
  const dx = Math.abs(x2 - x1);
  const dy = -Math.abs(y2 - y1);
  const stepX = x1 < x2 ? 1 : -1;
  const stepY = y1 < y2 ? 1 : -1;
  let error = dx + dy;
  let px = x1;
  let py = y1;
  for (;;) {
    plot(px, py);
    if (px === x2 && py === y2) {
      return;
    }
    const doubled = 2 * error;
    if (doubled >= dy) {
      error += dy;
      px += stepX;
    }
    if (doubled <= dx) {
      error += dx;
      py += stepY;
    }
  }
}

// ---- Recipes, addresses and PNG files ----

// "seed=20798.984 picture=4 at=20261208054638" to its parts; only for the core's own text.
export function recipeParts(text) {
  const [, seed, picture, at] = /^seed=(\S+) picture=(\d+) at=(\d{14})$/.exec(text);
  return { seed, picture: Number(picture), at };
}

function recipeText({ seed, picture, at }) {
  return `seed=${seed} picture=${picture} at=${at}`;
}

export function addressOf(recipe) {
  const { seed, picture, at } = recipeParts(recipe);
  return `#seed=${seed}&picture=${picture}&at=${at}`;
}

// The recipe text an address names, or { error } when it cannot be one.
function recipeOfAddress(hash) {
  if (hash.length > LONGEST_ADDRESS) {
    return { error: `the address is ${hash.length} characters long, far longer than a recipe` };
  }
  let decoded;
  try {
    decoded = decodeURIComponent(hash.replace(/^#/, ''));
  } catch {
    return { error: 'the address is not readable text' };
  }
  if (decoded.includes('\0')) {
    return { error: 'the address holds a NUL character' };
  }
  return { text: decoded.split('&').join(' ') };
}

function digits(number, width) {
  return String(number).padStart(width, '0');
}

// Now, as the window names a picture: YYYYMMDDhhmmss, local time.
function nowDigits(now = new Date()) {
  return digits(now.getFullYear(), 4) + digits(now.getMonth() + 1, 2) + digits(now.getDate(), 2) +
         digits(now.getHours(), 2) + digits(now.getMinutes(), 2) + digits(now.getSeconds(), 2);
}

// As the window seeds itself: the seconds since local midnight, with their fraction, as a float.
function timeOfDaySeed(now = new Date()) {
  const midnight = new Date(now.getFullYear(), now.getMonth(), now.getDate());
  return Math.fround((now - midnight) / 1000);
}

const crcTable = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; ++k) {
    c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  }
  return c >>> 0;
});

function crc32(bytes) {
  let c = 0xffffffff;
  for (const byte of bytes) {
    c = crcTable[(c ^ byte) & 0xff] ^ (c >>> 8);
  }
  return (c ^ 0xffffffff) >>> 0;
}

// The PNG with tEXt chunks (Latin-1 keyword, NUL, text) right after its header chunk.
export function withTextChunks(png, entries) {
  const encoder = new TextEncoder();
  const chunks = entries.map(([keyword, text]) => {
    const data = encoder.encode(`tEXt${keyword}\0${text}`);
    const chunk = new Uint8Array(data.length + 8);
    const view = new DataView(chunk.buffer);
    view.setUint32(0, data.length - 4);
    chunk.set(data, 4);
    view.setUint32(chunk.length - 4, crc32(data));
    return chunk;
  });
  const headerEnd = 8 + 8 + 13 + 4;
  const parts = [png.subarray(0, headerEnd), ...chunks, png.subarray(headerEnd)];
  const out = new Uint8Array(parts.reduce((sum, part) => sum + part.length, 0));
  let at = 0;
  for (const part of parts) {
    out.set(part, at);
    at += part.length;
  }
  return out;
}

// ---- The page ----

// The picture's name, as its file is named: T and the date and time it was made.
function pictureName(recipe) {
  return `T${recipeParts(recipe).at}`;
}

// The picture played at a scale on a canvas of its own (a new one unless given), to be placed on
// the page or saved. Painted on the processor, as the page's canvas is, so that placing it is a copy.
function played(picture, scale, canvas = document.createElement('canvas')) {
  const { width, height } = deviceSize(scale);
  if (canvas.width !== width || canvas.height !== height) {
    Object.assign(canvas, { width, height });
  }
  paint(canvas.getContext('2d', { alpha: false, willReadFrequently: true }), picture, scale);
  return canvas;
}

class Page {
  constructor(core, document) {
    this.core = core;
    this.canvas = document.getElementById('picture');
    // Painted on the processor: the tests and saving read it back.
    this.context = this.canvas.getContext('2d', { alpha: false, willReadFrequently: true });
    this.message = document.getElementById('message');
    this.buttons = Object.fromEntries(['back', 'next', 'save', 'link', 'full'].map((id) => [id, document.getElementById(id)]));
    this.shown = null;
    // The picture as last played: { picture, scale, canvas }.
    this.played = null;
    this.fit = null;
    // The time each picture of this visit was named at, so that going back or forward to it
    // shows it as it was, and the newest picture of each seed.
    this.times = new Map();
    this.newest = new Map();
  }

  // Asks the core for the picture a recipe text names.
  draw(text) {
    const bytes = new TextEncoder().encode(text);
    const input = this.core._malloc(bytes.length + 1);
    this.core.HEAPU8.set(bytes, input);
    this.core.HEAPU8[input + bytes.length] = 0;
    const answer = readAnswer(this.core.HEAPU8, this.core._lorvane_draw(input));
    this.core._free(input);
    return answer;
  }

  show(picture) {
    this.shown = picture;
    const { seed, picture: number, at } = recipeParts(picture.recipe);
    this.times.set(`${seed} ${number}`, at);
    this.newest.set(seed, Math.max(number, this.newest.get(seed) ?? 0));
    this.present();
    document.title = `${pictureName(picture.recipe)} — lorvane01`;
    // What a screen reader says of the picture, new with every picture shown.
    this.canvas.ariaLabel = `${pictureName(picture.recipe)}, picture ${number} of seed ${seed}`;
    this.buttons.back.disabled = number <= 1;
    this.buttons.next.disabled = number >= LAST_PICTURE;
  }

  // The canvas covers the picture's area, one backing pixel for each device pixel.
  resize(width, height) {
    if (width !== this.canvas.width || height !== this.canvas.height) {
      Object.assign(this.canvas, { width, height });
      this.present();
    }
  }

  // Black, and the picture in its place at the scale that fits; played again only when the
  // picture or the scale changed.
  present() {
    if (!this.shown) {
      return;
    }
    const fit = fitPicture(this.canvas.width, this.canvas.height);
    if (this.played?.picture !== this.shown || this.played.scale !== fit.scale) {
      this.played = { picture: this.shown, scale: fit.scale, canvas: played(this.shown, fit.scale, this.played?.canvas) };
    }
    this.fit = fit;
    const { x, y, width, height } = fit.placed;
    this.context.setTransform(1, 0, 0, 1, 0, 0);
    this.context.fillStyle = '#000';
    this.context.fillRect(0, 0, this.canvas.width, this.canvas.height);
    this.context.imageSmoothingQuality = 'high';
    this.context.drawImage(this.played.canvas, x, y, width, height);
  }

  say(text) {
    this.message.textContent = text;
  }

  fresh() {
    return this.draw(recipeText({ seed: String(timeOfDaySeed()), picture: 1, at: nowDigits() }));
  }

  // Shows the picture the address names; a new one, and why, when it names none.
  showAddress() {
    if (this.shown && location.hash === addressOf(this.shown.recipe)) {
      return;
    }
    this.say('');
    let picture = null;
    if (location.hash.length > 1) {
      const asked = recipeOfAddress(location.hash);
      picture = asked.error ? asked : this.draw(asked.text);
      if (picture.error) {
        this.say(`This address names no picture (${picture.error}); here is a new one.`);
        picture = null;
      }
    }
    picture ??= this.fresh();
    this.show(picture);
    history.replaceState(null, '', addressOf(picture.recipe));
  }

  // Shows picture `number` of the shown seed: as it was shown before, or named now.
  goTo(number) {
    const { seed, picture: shown } = recipeParts(this.shown.recipe);
    if (number < 1 || number > LAST_PICTURE || number === shown) {
      return;
    }
    const at = this.times.get(`${seed} ${number}`) ?? nowDigits();
    const picture = this.draw(recipeText({ seed, picture: number, at }));
    this.say('');
    this.show(picture);
    history.pushState(null, '', addressOf(picture.recipe));
  }

  step(by) {
    this.goTo(recipeParts(this.shown.recipe).picture + by);
  }

  async png() {
    const blob = await new Promise((resolve) => played(this.shown, window.devicePixelRatio || 1).toBlob(resolve, 'image/png'));
    const { picture: number, at } = recipeParts(this.shown.recipe);
    const iso = `${at.slice(0, 4)}-${at.slice(4, 6)}-${at.slice(6, 8)}T${at.slice(8, 10)}:${at.slice(10, 12)}:${at.slice(12)}`;
    const bytes = withTextChunks(new Uint8Array(await blob.arrayBuffer()),
      [['Title', pictureName(this.shown.recipe)], ['Software', SOFTWARE], ['Creation Time', iso], [RECIPE_KEY, this.shown.recipe]]);
    return { bytes, name: `T${at}-${number}.png` };
  }

  async savePng() {
    const { bytes, name } = await this.png();
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([bytes], { type: 'image/png' }));
    link.download = name;
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 10000);
  }

  async copyPng() {
    const { bytes } = await this.png();
    await navigator.clipboard.write([new ClipboardItem({ 'image/png': new Blob([bytes], { type: 'image/png' }) })]);
  }

  async copyLink() {
    await navigator.clipboard.writeText(location.href);
    this.say('The link to this picture is on the clipboard.');
  }

  toggleFullScreen() {
    const asked = document.fullscreenElement ? document.exitFullscreen() : document.documentElement.requestFullscreen();
    asked?.catch((error) => this.say(`Full screen is not available: ${error.message}`));
  }

  // What each command of the keys' table and the buttons does; false leaves the key to the browser.
  commands() {
    const failed = (what) => (error) => this.say(`${what}: ${error.message}`);
    return {
      forward: () => this.step(1),
      back: () => this.step(-1),
      first: () => this.goTo(1),
      newest: () => this.goTo(this.newest.get(recipeParts(this.shown.recipe).seed)),
      fullScreen: () => this.toggleFullScreen(),
      save: () => { this.savePng(); },
      copy: () => String(window.getSelection()) === '' && void this.copyPng().catch(failed('The picture could not be copied')),
      link: () => { this.copyLink().catch(failed('The link could not be copied')); },
    };
  }

  listen() {
    const commands = this.commands();
    const { back, next, save, link, full } = this.buttons;
    next.addEventListener('click', commands.forward);
    back.addEventListener('click', commands.back);
    save.addEventListener('click', commands.save);
    link.addEventListener('click', commands.link);
    full.addEventListener('click', commands.fullScreen);
    document.addEventListener('fullscreenchange', () => { full.ariaPressed = String(Boolean(document.fullscreenElement)); });
    window.addEventListener('popstate', () => this.showAddress());
    window.addEventListener('hashchange', () => this.showAddress());
    window.addEventListener('keydown', (event) => {
      const name = keyName(event);
      // Space and Enter on a button press that button.
      if (!KEYS.has(name) || (event.target.closest?.('button') && (name === 'Space' || name === 'Enter'))) {
        return;
      }
      if (commands[KEYS.get(name)]() !== false) {
        event.preventDefault();
      }
    });
    // The canvas's size in device pixels, exactly, whenever it or the pixel ratio changes; the
    // promise is kept once it is first known. Chromium's device emulation (as in the tests)
    // gives the device-pixel box without its pixel ratio: then the CSS size times the ratio.
    return new Promise((sized) => {
      new ResizeObserver(([entry]) => {
        const ratio = window.devicePixelRatio || 1;
        const width = Math.round(entry.contentRect.width * ratio);
        const height = Math.round(entry.contentRect.height * ratio);
        const [box] = entry.devicePixelContentBoxSize ?? [];
        const exact = box && Math.abs(box.inlineSize - width) <= 1 && Math.abs(box.blockSize - height) <= 1;
        this.resize(exact ? box.inlineSize : width, exact ? box.blockSize : height);
        sized();
      }).observe(this.canvas, { box: 'device-pixel-content-box' });
    });
  }
}

async function loadFont() {
  const face = new FontFace(FONT_FAMILY, 'url(DejaVuSans.ttf)');
  document.fonts.add(await face.load());
}

export let page = null;

async function start() {
  const [core] = await Promise.all([LorvaneCore(), loadFont()]);
  page = new Page(core, document);
  await page.listen();
  page.showAddress();
  performance.mark('lorvane01-first-picture');
  document.documentElement.dataset.ready = 'true';
}

if (typeof document !== 'undefined') {
  start().catch((error) => {
    document.getElementById('message').textContent = `The page could not start: ${error.message}`;
  });
}
