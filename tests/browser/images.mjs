// PNG pictures compared channel by channel.
import { readFileSync, writeFileSync } from "node:fs";
import { createRequire } from "node:module";

const { PNG } = createRequire(import.meta.url)("pngjs");

export function readPng(pathOrBuffer) {
  return PNG.sync.read(typeof pathOrBuffer === "string" ? readFileSync(pathOrBuffer) : pathOrBuffer);
}

// The mean absolute difference of each of red, green and blue over all
// pixels, in 1/255 steps. The pictures must be of one size.
export function meanDifference(a, b) {
  if (a.width !== b.width || a.height !== b.height)
    throw new Error(`sizes differ: ${a.width} x ${a.height} and ${b.width} x ${b.height}`);
  const sums = [0, 0, 0];
  for (let i = 0; i < a.data.length; i += 4)
    for (let c = 0; c < 3; c++) sums[c] += Math.abs(a.data[i + c] - b.data[i + c]);
  return sums.map((sum) => sum / (a.width * a.height));
}

// The differences eight times brighter, for a person to look at.
export function writeDifference(a, b, path) {
  const out = new PNG({ width: a.width, height: a.height });
  for (let i = 0; i < a.data.length; i += 4) {
    for (let c = 0; c < 3; c++) out.data[i + c] = Math.min(255, 8 * Math.abs(a.data[i + c] - b.data[i + c]));
    out.data[i + 3] = 255;
  }
  writeFileSync(path, PNG.sync.write(out));
}
