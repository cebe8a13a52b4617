// lorvane01 in a web browser: the core (WebAssembly, web_picture.cpp) draws the picture a recipe
// names as a short list of items; this module paints them at the largest scale that fits the
// window's device pixels, keeps the recipe in the address and the picture's name in the title,
// and saves the picture as a PNG that carries it.
import LorvaneCore from './lorvane01_core.js';
import { KEYS, keyName } from './page_keys.js';
import { fitPicture } from './picture_fit.js';
import { animatedPng, compressedRectangle, withTextChunks } from './png_file.js';

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

// { recipe, background, items, steps, delays } for a drawn picture, { error } for a refused recipe.
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
  const steps = Array.from({ length: u32() }, () => ({
    first: u32(), end: u32(), area: { left: i32(), top: i32(), right: i32(), bottom: i32() },
  }));
  const delays = Array.from({ length: steps.length + 1 }, u32);
  if (at !== size) {
    throw new Error(`the core's answer is ${size} bytes, ${at} were read`);
  }
  return { recipe, background, items, steps, delays };
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

// A rectangle of picture pixels in device pixels, at `scale`.
export function deviceArea({ left, top, right, bottom }, scale) {
  const { width, height } = deviceSize(scale);
  const x = deviceEdge(left, scale, width);
  const y = deviceEdge(top, scale, height);
  return { x, y, width: deviceEdge(right, scale, width) - x, height: deviceEdge(bottom, scale, height) - y };
}

// Paints the whole picture over the canvas, whose backing store is the picture at `scale`.
export function paint(context, picture, scale, { captions = true } = {}) {
  paintBackground(context, picture, scale);
  paintItems(context, picture, scale, 0, picture.items.length, { captions });
}

export function paintBackground(context, picture, scale) {
  const { width, height } = deviceSize(scale);
  context.setTransform(1, 0, 0, 1, 0, 0);
  context.fillStyle = css(picture.background);
  context.fillRect(0, 0, width, height);
}

// Paints items [first, end) over what the canvas holds.
export function paintItems(context, picture, scale, first, end, { captions = true } = {}) {
  const { width, height } = deviceSize(scale);
  const x = (pixel) => deviceEdge(pixel, scale, width);
  const y = (pixel) => deviceEdge(pixel, scale, height);
  context.setTransform(1, 0, 0, 1, 0, 0);
  for (const item of picture.items.slice(first, end)) {
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

// ---- The page ----

// The picture's name, as its file is named: T and the date and time it was made.
function pictureName(recipe) {
  return `T${recipeParts(recipe).at}`;
}

// A canvas (a new one unless given) the size of the picture at a scale, and its context. Painted
// on the processor, as the page's canvas is, so that placing it is a copy and reading it is quick.
function pictureCanvas(scale, canvas = document.createElement('canvas')) {
  const { width, height } = deviceSize(scale);
  if (canvas.width !== width || canvas.height !== height) {
    Object.assign(canvas, { width, height });
  }
  return { canvas, context: canvas.getContext('2d', { alpha: false, willReadFrequently: true }) };
}

// The picture played at a scale on a canvas of its own, to be placed on the page or saved.
function played(picture, scale, given) {
  const { canvas, context } = pictureCanvas(scale, given);
  paint(context, picture, scale);
  return canvas;
}

// A 2D context, as far as painting a picture uses one, whose fills land in memory, so that reading
// a rectangle back is a copy, not a trip through the canvas; text goes through a canvas of its own,
// and the pixels move between the two only when the kind of painting changes.
class PixelContext {
  constructor(width, height) {
    this.image = new ImageData(width, height);
    this.texts = new OffscreenCanvas(width, height).getContext('2d', { alpha: false, willReadFrequently: true });
    this.onCanvas = false;
    this.colour = '#000000';
    this.value = 0;
  }

  get fillStyle() { return this.colour; }

  // '#rrggbb' to a pixel as the image holds it (red first in memory, opaque).
  set fillStyle(colour) {
    const rgb = Number.parseInt(colour.slice(1), 16);
    this.colour = colour;
    this.value = new Uint32Array(Uint8Array.of(rgb >> 16, rgb >> 8 & 0xff, rgb & 0xff, 255).buffer)[0];
  }

  fillRect(x, y, width, height) {
    this.inMemory();
    const pixels = new Uint32Array(this.image.data.buffer);
    for (let row = y; row < y + height; ++row) {
      pixels.fill(this.value, row * this.image.width + x, row * this.image.width + x + width);
    }
  }

  // Painting resets the transform, which nothing else sets.
  setTransform() {}
  get font() { return this.texts.font; }
  set font(font) { this.texts.font = font; }
  set textBaseline(baseline) { this.texts.textBaseline = baseline; }
  measureText(text) { return this.texts.measureText(text); }

  fillText(text, x, y) {
    if (!this.onCanvas) {
      this.texts.putImageData(this.image, 0, 0);
      this.onCanvas = true;
    }
    this.texts.fillStyle = this.colour;
    this.texts.fillText(text, x, y);
  }

  // The pixels painted so far, to be read before anything more is painted.
  pixels() {
    this.inMemory();
    return this.image;
  }

  inMemory() {
    if (this.onCanvas) {
      this.image = this.texts.getImageData(0, 0, this.image.width, this.image.height);
      this.onCanvas = false;
    }
  }
}

// When each frame of the picture painting itself first shows, in milliseconds from the start:
// frame 0, the background, at once, and frame k after the delays of the frames before it.
function frameStarts(picture) {
  let start = 0;
  return picture.delays.map((delay) => { const at = start; start += delay; return at; });
}

// The picture painting itself frame by frame on a canvas of its own, in step with the clock.
class Painting {
  constructor(picture, scale) {
    this.picture = picture;
    this.scale = scale;
    ({ canvas: this.canvas, context: this.context } = pictureCanvas(scale));
    paintBackground(this.context, picture, scale);
    this.starts = frameStarts(picture);
    // The painting steps done: frame `done` is shown.
    this.done = 0;
    this.start = performance.now();
  }

  // Paints the steps whose time has come; true once the picture is finished.
  advance(now) {
    const { steps } = this.picture;
    while (this.done < steps.length && this.starts[this.done + 1] <= now - this.start) {
      const { first, end } = steps[this.done++];
      paintItems(this.context, this.picture, this.scale, first, end);
    }
    return this.done === steps.length;
  }
}

class Page {
  constructor(core, document) {
    this.core = core;
    this.canvas = document.getElementById('picture');
    // Painted on the processor: the tests and saving read it back.
    this.context = this.canvas.getContext('2d', { alpha: false, willReadFrequently: true });
    this.message = document.getElementById('message');
    this.buttons = Object.fromEntries(['back', 'next', 'paint', 'save', 'animation', 'link', 'full'].map((id) => [id, document.getElementById(id)]));
    this.shown = null;
    // The picture as last played: { picture, scale, canvas }.
    this.played = null;
    // The shown picture painting itself, while it does: a Painting.
    this.painting = null;
    this.paintingFrame = 0;
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
    this.stopPainting();
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
    if (this.painting && this.painting.scale !== fit.scale) {
      this.stopPainting();
    }
    const { x, y, width, height } = fit.placed;
    this.context.setTransform(1, 0, 0, 1, 0, 0);
    this.context.fillStyle = '#000';
    this.context.fillRect(0, 0, this.canvas.width, this.canvas.height);
    this.context.imageSmoothingQuality = 'high';
    this.context.drawImage((this.painting ?? this.played).canvas, x, y, width, height);
  }

  // The shown picture paints itself again from its background, at the scale it is shown at; the
  // finished picture stays.
  paintItself() {
    this.stopPainting();
    this.painting = new Painting(this.shown, this.fit.scale);
    const frame = (now) => {
      const finished = this.painting.advance(now);
      if (finished) {
        this.painting = null;
      } else {
        this.paintingFrame = requestAnimationFrame(frame);
      }
      this.present();
    };
    this.present();
    this.paintingFrame = requestAnimationFrame(frame);
  }

  stopPainting() {
    cancelAnimationFrame(this.paintingFrame);
    this.painting = null;
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

  // The text chunks a saved picture carries: its name, the program, when it was made, its recipe.
  textEntries() {
    const { at } = recipeParts(this.shown.recipe);
    const iso = `${at.slice(0, 4)}-${at.slice(4, 6)}-${at.slice(6, 8)}T${at.slice(8, 10)}:${at.slice(10, 12)}:${at.slice(12)}`;
    return [['Title', pictureName(this.shown.recipe)], ['Software', SOFTWARE], ['Creation Time', iso], [RECIPE_KEY, this.shown.recipe]];
  }

  // The file's name: the picture's name and number, and what it holds.
  fileName(suffix) {
    const { picture: number, at } = recipeParts(this.shown.recipe);
    return `T${at}-${number}${suffix}`;
  }

  async png() {
    const blob = await new Promise((resolve) => played(this.shown, window.devicePixelRatio || 1).toBlob(resolve, 'image/png'));
    return { bytes: withTextChunks(new Uint8Array(await blob.arrayBuffer()), this.textEntries()), name: this.fileName('.png') };
  }

  // The shown picture painting itself as an animated PNG at the device's pixel ratio: the
  // background, then each painting step's rectangle, then the finished picture held; a reader
  // that knows no animation shows the finished picture.
  async animation() {
    const picture = this.shown;
    const scale = window.devicePixelRatio || 1;
    const { width, height } = deviceSize(scale);
    const context = new PixelContext(width, height);
    const whole = { x: 0, y: 0, width, height };
    paintBackground(context, picture, scale);
    const frames = [{ ...compressedRectangle(context.pixels(), whole), delay: picture.delays[0] }];
    picture.steps.forEach(({ first, end, area }, i) => {
      paintItems(context, picture, scale, first, end);
      frames.push({ ...compressedRectangle(context.pixels(), deviceArea(area, scale)), delay: picture.delays[i + 1] });
    });
    const bytes = animatedPng(compressedRectangle(context.pixels(), whole), frames);
    return { bytes: withTextChunks(bytes, this.textEntries()), name: this.fileName('-painting.png') };
  }

  async save(made) {
    const { bytes, name } = await made;
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
      save: () => { this.save(this.png()); },
      paint: () => this.paintItself(),
      saveAnimation: () => { this.save(this.animation()).catch(failed('The animation could not be saved')); },
      copy: () => String(window.getSelection()) === '' && void this.copyPng().catch(failed('The picture could not be copied')),
      link: () => { this.copyLink().catch(failed('The link could not be copied')); },
    };
  }

  listen() {
    const commands = this.commands();
    const { back, next, paint: paintButton, save, animation, link, full } = this.buttons;
    next.addEventListener('click', commands.forward);
    back.addEventListener('click', commands.back);
    paintButton.addEventListener('click', commands.paint);
    save.addEventListener('click', commands.save);
    animation.addEventListener('click', commands.saveAnimation);
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
