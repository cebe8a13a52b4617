// PNG files as the page writes them: chunks, the recipe's text chunks, and the animated PNG of a
// picture painting itself.

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

function joined(parts) {
  const out = new Uint8Array(parts.reduce((sum, part) => sum + part.length, 0));
  let at = 0;
  for (const part of parts) {
    out.set(part, at);
    at += part.length;
  }
  return out;
}

const latin1 = (text) => Uint8Array.from(text, (c) => c.charCodeAt(0));

// One chunk: length, type, data, and the CRC of type and data.
function chunk(type, data) {
  const out = new Uint8Array(data.length + 12);
  const view = new DataView(out.buffer);
  view.setUint32(0, data.length);
  out.set(latin1(type), 4);
  out.set(data, 8);
  view.setUint32(out.length - 4, crc32(out.subarray(4, out.length - 4)));
  return out;
}

// Big-endian fields of the given byte widths (1, 2 or 4).
function fields(...pairs) {
  const out = new Uint8Array(pairs.reduce((sum, [bytes]) => sum + bytes, 0));
  const view = new DataView(out.buffer);
  let at = 0;
  for (const [bytes, value] of pairs) {
    if (bytes === 4) {
      view.setUint32(at, value);
    } else if (bytes === 2) {
      view.setUint16(at, value);
    } else {
      view.setUint8(at, value);
    }
    at += bytes;
  }
  return out;
}

const SIGNATURE = Uint8Array.of(0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a);
const HEADER_END = SIGNATURE.length + 12 + 13;

// The PNG with tEXt chunks (Latin-1 keyword, NUL, text) right after its header chunk.
export function withTextChunks(png, entries) {
  const encoder = new TextEncoder();
  const chunks = entries.map(([keyword, text]) => chunk('tEXt', encoder.encode(`${keyword}\0${text}`)));
  return joined([png.subarray(0, HEADER_END), ...chunks, png.subarray(HEADER_END)]);
}

// DEFLATE's length and distance codes: the smallest value of each, and its count of extra bits.
const LENGTH_BASES = [3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 15, 17, 19, 23, 27, 31, 35, 43, 51, 59, 67, 83, 99, 115,
  131, 163, 195, 227, 258];
const LENGTH_EXTRA = [0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0];
const DISTANCE_BASES = [1, 2, 3, 4, 5, 7, 9, 13, 17, 25, 33, 49, 65, 97, 129, 193, 257, 385, 513, 769, 1025, 1537,
  2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577];
const DISTANCE_EXTRA = [0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13];
const SHORTEST_MATCH = 3;
const LONGEST_MATCH = 258;
const WINDOW = 32768;
const END_OF_BLOCK = 256;
const ADLER = 65521;

// The code (of DEFLATE's table) whose range holds `value`.
function codeOf(bases, value) {
  let code = bases.length - 1;
  while (bases[code] > value) {
    --code;
  }
  return code;
}

// A Huffman code's bits in the order DEFLATE packs them, its highest bit first.
function reversed(code, count) {
  let out = 0;
  for (let i = 0; i < count; ++i) {
    out |= (code >> i & 1) << (count - 1 - i);
  }
  return out;
}

// DEFLATE's fixed codes of the 288 literal and length symbols and of the 30 distances.
const SYMBOL_BITS = Uint8Array.from({ length: 288 }, (_, symbol) => (symbol < 144 ? 8 : symbol < 256 ? 9 : symbol < 280 ? 7 : 8));
const SYMBOL_CODES = Uint16Array.from({ length: 288 }, (_, symbol) => reversed(
  symbol < 144 ? 0x30 + symbol : symbol < 256 ? 0x190 + symbol - 144 : symbol < 280 ? symbol - 256 : 0xc0 + symbol - 280,
  SYMBOL_BITS[symbol]));
const LENGTH_CODES = Uint8Array.from({ length: LONGEST_MATCH + 1 }, (_, length) => (length < SHORTEST_MATCH ? 0 : codeOf(LENGTH_BASES, length)));

// Bits into bytes, the first bit the lowest, as DEFLATE packs them.
class BitWriter {
  constructor() {
    this.bytes = new Uint8Array(1024);
    this.at = 0;
    this.bits = 0;
    this.count = 0;
  }

  write(value, count) {
    this.bits |= value << this.count;
    this.count += count;
    if (this.at + 4 > this.bytes.length) {
      const larger = new Uint8Array(this.bytes.length * 2);
      larger.set(this.bytes);
      this.bytes = larger;
    }
    while (this.count >= 8) {
      this.bytes[this.at++] = this.bits & 0xff;
      this.bits >>>= 8;
      this.count -= 8;
    }
  }

  literal(byte) {
    this.write(SYMBOL_CODES[byte], SYMBOL_BITS[byte]);
  }

  // `length` bytes (at least SHORTEST_MATCH) repeating those `distance` bytes before, in as many
  // matches as DEFLATE's longest allows.
  repeat(length, distance) {
    const distanceCode = codeOf(DISTANCE_BASES, distance);
    for (let left = length; left > 0;) {
      // Never leave fewer than a match's shortest for the last one.
      const taken = left <= LONGEST_MATCH ? left : Math.min(LONGEST_MATCH, left - SHORTEST_MATCH);
      const lengthCode = LENGTH_CODES[taken];
      this.write(SYMBOL_CODES[257 + lengthCode], SYMBOL_BITS[257 + lengthCode]);
      this.write(taken - LENGTH_BASES[lengthCode], LENGTH_EXTRA[lengthCode]);
      this.write(reversed(distanceCode, 5), 5);
      this.write(distance - DISTANCE_BASES[distanceCode], DISTANCE_EXTRA[distanceCode]);
      left -= taken;
    }
  }

  finish() {
    if (this.count > 0) {
      this.bytes[this.at++] = this.bits & 0xff;
    }
    return this.bytes.subarray(0, this.at);
  }
}

// A rectangle of an ImageData as a PNG image's data: rows of RGB, each led by its filter type
// (none), as a zlib stream. A picture is runs of one colour, so only two repeats are looked for:
// a row the same as the one above, and a pixel the same as the one to its left; the rest is
// written as it is, in one block of DEFLATE's fixed codes. Far quicker than a general DEFLATE,
// and for a square of one colour as small.
export function compressedRectangle(image, { x, y, width, height }) {
  const pixels = new Uint32Array(image.data.buffer, image.data.byteOffset, image.width * image.height);
  const bytes = new Uint8Array(image.data.buffer, image.data.byteOffset, image.data.length);
  const stride = width * 3 + 1;
  const out = new BitWriter();
  out.write(0x78, 8);
  out.write(0x01, 8);
  // The last block, fixed codes.
  out.write(1, 1);
  out.write(1, 2);
  // The Adler-32 of the rows, a row at a time: a row's bytes add their sum to `a`, and to `b` the
  // row's length times `a` before it plus each byte times how many bytes from it to the row's end.
  let a = 1;
  let b = 0;
  let sum = 0;
  let weighted = 0;
  for (let row = 0; row < height; ++row) {
    const start = (y + row) * image.width + x;
    let same = row > 0 && stride <= WINDOW;
    for (let i = 0; same && i < width; ++i) {
      same = pixels[start + i] === pixels[start + i - image.width];
    }
    if (same) {
      out.repeat(stride, stride);
    } else {
      out.literal(0);
      sum = 0;
      weighted = 0;
      for (let i = 0; i < width;) {
        let run = 1;
        while (i > 0 && i + run - 1 < width && pixels[start + i + run - 1] === pixels[start + i - 1]) {
          ++run;
        }
        --run;
        if (run > 0) {
          out.repeat(run * 3, 3);
        } else {
          run = 1;
          for (let c = 0; c < 3; ++c) {
            out.literal(bytes[(start + i) * 4 + c]);
          }
        }
        for (let c = 0; c < 3; ++c) {
          const byte = bytes[(start + i) * 4 + c];
          // From this byte to the row's end: the pixels from i on, all run long, less the channels before c.
          const after = (width - i) * 3 - c;
          sum += byte * run;
          weighted += byte * (run * after - 3 * (run * (run - 1)) / 2);
        }
        i += run;
      }
      sum %= ADLER;
      weighted %= ADLER;
    }
    b = (b + stride * a + weighted) % ADLER;
    a = (a + sum) % ADLER;
  }
  out.write(SYMBOL_CODES[END_OF_BLOCK], SYMBOL_BITS[END_OF_BLOCK]);
  const compressed = out.finish();
  const data = new Uint8Array(compressed.length + 4);
  data.set(compressed);
  new DataView(data.buffer).setUint32(compressed.length, ((b << 16) | a) >>> 0);
  return { x, y, width, height, data };
}

// An animated PNG of compressed rectangles: `still` the whole image every PNG reader shows, kept out
// of the animation; `frames`, each with its delay in milliseconds, the first the whole picture and
// each later one only the rectangle that changed, drawn over the frame before. The animation loops.
export function animatedPng(still, frames) {
  const parts = [SIGNATURE];
  // 8-bit RGB, deflate, adaptive filtering, not interlaced.
  parts.push(chunk('IHDR', fields([4, still.width], [4, still.height], [1, 8], [1, 2], [1, 0], [1, 0], [1, 0])));
  parts.push(chunk('acTL', fields([4, frames.length], [4, 0])));
  parts.push(chunk('IDAT', still.data));
  let sequence = 0;
  for (const { x, y, width, height, data, delay } of frames) {
    // Kept as drawn (dispose none), replacing the rectangle (blend source).
    parts.push(chunk('fcTL', fields([4, sequence++], [4, width], [4, height], [4, x], [4, y], [2, delay], [2, 1000],
      [1, 0], [1, 0])));
    parts.push(chunk('fdAT', joined([fields([4, sequence++]), data])));
  }
  parts.push(chunk('IEND', new Uint8Array(0)));
  return joined(parts);
}
