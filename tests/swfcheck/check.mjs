// Parses every .swf file under a folder with the independent swf-parser and
// fails when a file does not parse or holds a tag the parser could not decode.
import { readFileSync, readdirSync, existsSync } from "node:fs";
import { join } from "node:path";
import { parseSwf } from "swf-parser";

// Tags whose body the parser could not decode, or whose header ran past the end.
const RAW = 52, RAW_BODY = 53;

function swfFiles(dir) {
  if (!existsSync(dir)) return [];
  return readdirSync(dir, { withFileTypes: true }).flatMap((e) =>
    e.isDirectory() ? swfFiles(join(dir, e.name)) : e.name.endsWith(".swf") ? [join(dir, e.name)] : []);
}

function badTags(tags, path = "") {
  const found = [];
  tags.forEach((tag, i) => {
    if (tag.type === RAW || tag.type === RAW_BODY)
      found.push(`${path}tag #${i} (code ${tag.code ?? "?"}) not decodable`);
    if (Array.isArray(tag.tags)) found.push(...badTags(tag.tags, `${path}sprite #${i} > `));
  });
  return found;
}

const dir = process.argv[2];
const files = swfFiles(dir);
let failures = 0;
for (const file of files) {
  try {
    const movie = parseSwf(new Uint8Array(readFileSync(file)));
    const bad = badTags(movie.tags);
    if (bad.length) { failures++; console.error(`FAIL ${file}: ${bad.slice(0, 5).join("; ")}`); }
  } catch (e) {
    failures++;
    console.error(`FAIL ${file}: ${e.message}`);
  }
}
console.log(`swf-parser checked ${files.length} file(s), ${failures} failed`);
process.exit(failures ? 1 : 0);
