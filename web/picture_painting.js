// Painting a picture the core drew, as the desktop's raster player does: whole, or step by step
// as it paints itself, on a canvas or into memory.
import { FILL, LINE } from './core_answer.js';

const WIDTH = 600;
const HEIGHT = 450;
const PIXELS_PER_POINT = 96 / 72;
export const FONT_FAMILY = 'DejaVu Sans';

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
export function played(picture, scale, given) {
  const { canvas, context } = pictureCanvas(scale, given);
  paint(context, picture, scale);
  return canvas;
}

// A 2D context, as far as painting a picture uses one, whose fills land in memory, so that reading
// a rectangle back is a copy, not a trip through the canvas; text goes through a canvas of its own,
// and the pixels move between the two only when the kind of painting changes.
export class PixelContext {
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
export class Painting {
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
