// lorvane01 in a web browser: the core (WebAssembly, web_picture.cpp) draws the picture a recipe
// names as a short list of items; this module paints them on the canvas at the screen's pixel
// ratio, keeps the recipe in the address and saves the picture as a PNG that carries it.
import LorvaneCore from './lorvane01_core.js';

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

class Page {
  constructor(core, document) {
    this.core = core;
    this.canvas = document.getElementById('picture');
    // Painted on the processor: a few hundred rectangles a picture, and saving reads them back.
    this.context = this.canvas.getContext('2d', { alpha: false, willReadFrequently: true });
    this.message = document.getElementById('message');
    this.back = document.getElementById('back');
    this.next = document.getElementById('next');
    this.save = document.getElementById('save');
    this.scale = 0;
    this.shown = null;
    // The time each picture of this visit was named at, so that "back" shows it as it was.
    this.times = new Map();
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
    const parts = recipeParts(picture.recipe);
    this.times.set(`${parts.seed} ${parts.picture}`, parts.at);
    this.fitToScreen(true);
    this.back.disabled = parts.picture <= 1;
    this.next.disabled = parts.picture >= LAST_PICTURE;
  }

  // Sizes the backing store for the screen's pixel ratio, and paints when asked or when it changed.
  fitToScreen(repaint) {
    const scale = window.devicePixelRatio || 1;
    if (scale !== this.scale) {
      const { width, height } = deviceSize(scale);
      this.canvas.width = width;
      this.canvas.height = height;
      this.scale = scale;
      repaint = true;
    }
    if (repaint && this.shown) {
      paint(this.context, this.shown, scale);
    }
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

  step(by) {
    const parts = recipeParts(this.shown.recipe);
    const number = parts.picture + by;
    if (number < 1 || number > LAST_PICTURE) {
      return;
    }
    const at = (by < 0 && this.times.get(`${parts.seed} ${number}`)) || nowDigits();
    const picture = this.draw(recipeText({ seed: parts.seed, picture: number, at }));
    this.say('');
    this.show(picture);
    history.pushState(null, '', addressOf(picture.recipe));
  }

  async png() {
    const blob = await new Promise((resolve) => this.canvas.toBlob(resolve, 'image/png'));
    const { picture: number, at } = recipeParts(this.shown.recipe);
    const iso = `${at.slice(0, 4)}-${at.slice(4, 6)}-${at.slice(6, 8)}T${at.slice(8, 10)}:${at.slice(10, 12)}:${at.slice(12)}`;
    const bytes = withTextChunks(new Uint8Array(await blob.arrayBuffer()),
      [['Title', `T${at}`], ['Software', SOFTWARE], ['Creation Time', iso], [RECIPE_KEY, this.shown.recipe]]);
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

  listen() {
    this.next.addEventListener('click', () => this.step(1));
    this.back.addEventListener('click', () => this.step(-1));
    this.save.addEventListener('click', () => this.savePng());
    window.addEventListener('popstate', () => this.showAddress());
    window.addEventListener('hashchange', () => this.showAddress());
    window.addEventListener('resize', () => this.fitToScreen(false));
    // As in the window: Ctrl+S saves and Ctrl+C copies the picture.
    window.addEventListener('keydown', (event) => {
      if (!(event.ctrlKey || event.metaKey) || event.altKey || event.shiftKey) {
        return;
      }
      const key = event.key.toLowerCase();
      if (key === 's') {
        event.preventDefault();
        this.savePng();
      } else if (key === 'c' && String(window.getSelection()) === '') {
        event.preventDefault();
        this.copyPng().catch((error) => this.say(`The picture could not be copied: ${error.message}`));
      }
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
  page.listen();
  page.showAddress();
  performance.mark('lorvane01-first-picture');
  document.documentElement.dataset.ready = 'true';
}

if (typeof document !== 'undefined') {
  start().catch((error) => {
    document.getElementById('message').textContent = `The page could not start: ${error.message}`;
  });
}
