// The JavaScript receipt encoder's whole process for one logo, the peer of a
// `markograph-cli convert` process: reads an uncompressed 24-bit BMP, turns it
// into raster commands with the encoder's threshold (no dithering, as a
// logo's colours are separated by threshold too) and writes them to a file.
// Usage: node convert_process.mjs LOGO.bmp OUT.bin
//        node convert_process.mjs --write-bmp LOGO.bmp WIDTH HEIGHT
//   (the second form writes the benchmark's logo: white paper, black bars
//   and blocks, a red band; width a multiple of 8, as the encoder needs)
import { readFileSync, writeFileSync } from 'node:fs';

function writeBmp(path, width, height) {
  const row = Math.ceil((width * 3) / 4) * 4;
  const file = Buffer.alloc(54 + row * height);
  file.write('BM', 0, 'latin1');
  file.writeUInt32LE(file.length, 2);
  file.writeUInt32LE(54, 10);
  file.writeUInt32LE(40, 14);
  file.writeInt32LE(width, 18);
  file.writeInt32LE(height, 22);
  file.writeUInt16LE(1, 26);
  file.writeUInt16LE(24, 28);
  file.writeUInt32LE(row * height, 34);
  for (let y = 0; y < height; y++) {
    for (let x = 0; x < width; x++) {
      const at = 54 + (height - 1 - y) * row + 3 * x;
      let [r, g, b] = [255, 255, 255];
      if (((x >> 3) + (y >> 3)) % 3 === 0) [r, g, b] = [0, 0, 0];
      else if ((x >> 4) % 5 === 0) [r, g, b] = [255, 0, 0];
      file[at] = b; file[at + 1] = g; file[at + 2] = r;
    }
  }
  writeFileSync(path, file);
}

async function convert(path, out) {
  const { default: ReceiptPrinterEncoder } = await import('@point-of-sale/receipt-printer-encoder');
  const bmp = readFileSync(path);
  const offset = bmp.readUInt32LE(10);
  const width = bmp.readInt32LE(18);
  const height = Math.abs(bmp.readInt32LE(22));
  const bottomUp = bmp.readInt32LE(22) > 0;
  if (bmp.readUInt16LE(28) !== 24) throw new Error('only 24-bit BMP files');
  const row = Math.ceil((width * 3) / 4) * 4;
  const data = new Uint8ClampedArray(width * height * 4);
  for (let y = 0; y < height; y++) {
    const line = offset + (bottomUp ? height - 1 - y : y) * row;
    for (let x = 0; x < width; x++) {
      const to = (y * width + x) * 4;
      data[to] = bmp[line + 3 * x + 2];
      data[to + 1] = bmp[line + 3 * x + 1];
      data[to + 2] = bmp[line + 3 * x];
      data[to + 3] = 255;
    }
  }
  const encoder = new ReceiptPrinterEncoder({ language: 'esc-pos' });
  const bytes = encoder.image({ width, height, data }, width, height, 'threshold', 128).encode();
  writeFileSync(out, bytes);
}

if (process.argv[2] === '--write-bmp')
  writeBmp(process.argv[3], Number(process.argv[4]), Number(process.argv[5]));
else
  await convert(process.argv[2], process.argv[3]);
