// Times the Floyd-Steinberg and Atkinson dithering of the JavaScript receipt
// encoder on one picture, for comparison with Markograph's import.
// Usage: node dither_bench.mjs PICTURE.rgba WIDTH HEIGHT
// Prints one JSON object: milliseconds of processor time per call (the
// process's user + system time, best of several rounds) for
// the dithering step the encoder runs (its own dithering module, the one its
// image() method calls) and for the whole image() call.
import { createRequire } from 'node:module';
import { readFileSync } from 'node:fs';
import ReceiptPrinterEncoder from '@point-of-sale/receipt-printer-encoder';

// The dithering module, resolved from the encoder's own folder.
const require = createRequire(import.meta.url);
const encoderPath = require.resolve('@point-of-sale/receipt-printer-encoder');
const Dither = createRequire(encoderPath)('canvas-dither');

const [path, width, height] = [process.argv[2], Number(process.argv[3]), Number(process.argv[4])];
const rgba = new Uint8ClampedArray(readFileSync(path));
if (rgba.length !== width * height * 4)
  throw new Error(`expected ${width * height * 4} bytes, read ${rgba.length}`);

function bestMs(prepare, work) {
  let best = Infinity;
  for (let round = 0; round < 7; round++) {
    let calls = 0;
    let spent = 0;
    while (spent < 300 || calls < 3) {
      const input = prepare();
      const start = process.cpuUsage();
      work(input);
      const used = process.cpuUsage(start);
      spent += (used.user + used.system) / 1e3;
      calls++;
    }
    best = Math.min(best, spent / calls);
  }
  return best;
}

// The dithering functions change the picture in place: each call gets a fresh copy.
const fresh = () => ({ width, height, data: new Uint8ClampedArray(rgba) });
const encoder = new ReceiptPrinterEncoder({ language: 'esc-pos' });
const result = {
  version: JSON.parse(readFileSync(createRequire(encoderPath).resolve('../package.json'))).version,
  floydSteinbergMs: bestMs(fresh, (image) => Dither.floydsteinberg(image)),
  atkinsonMs: bestMs(fresh, (image) => Dither.atkinson(image)),
  imageFloydSteinbergMs: bestMs(fresh, (image) => encoder.image(image, width, height, 'floydsteinberg').encode()),
  imageAtkinsonMs: bestMs(fresh, (image) => encoder.image(image, width, height, 'atkinson').encode()),
};
console.log(JSON.stringify(result));
