// Shrinks the page's script with terser and writes it as a C++ header, so
// the program carries the small script and the repository the readable one.
// usage: node embed.mjs OUT.h NAME SCRIPT.js...
import { readFileSync, writeFileSync } from "node:fs";
import { minify } from "terser";

const [out, name, ...scripts] = process.argv.slice(2);
const source = scripts.map((path) => readFileSync(path, "utf8")).join("\n");
const result = await minify(source, {
  ecma: 2020,
  compress: { passes: 2 },
  mangle: true,
  format: { ascii_only: true },
});
if (result.code.includes(")js\"")) throw new Error("the script ends the raw string");
writeFileSync(
  out,
  "// Made by tools/minify/embed.mjs from " + scripts.map((s) => s.split("/").pop()).join(", ") +
    "; not edited by hand.\n#pragma once\n#include <string_view>\n\n" +
    `inline constexpr std::string_view ${name} = R"js(${result.code})js";\n`,
);
