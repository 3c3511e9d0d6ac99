// A picture of a sample's HTML5 page in Chromium beside our own render of
// the same frame, for the documentation.
//   node html5_page.mjs VELLUMET PROJECT.sw0 FRAME OUT.png
import { execFileSync } from "node:child_process";
import { mkdtempSync, rmSync, writeFileSync } from "node:fs";
import { createRequire } from "node:module";
import { tmpdir } from "node:os";
import { join } from "node:path";

import { serveFolder } from "../../tests/browser/site_server.mjs";

const { chromium } = createRequire(new URL("../../tests/", import.meta.url))("playwright-core");

const [vellumet, project, frame, out] = process.argv.slice(2);
const site = mkdtempSync(join(tmpdir(), "vellumet-html5-shot-"));
const env = { ...process.env, ASAN_OPTIONS: "detect_leaks=0", XDG_CACHE_HOME: join(site, ".cache") };
execFileSync(vellumet, ["export", project, "-o", join(site, "page.html")], { env, stdio: "ignore" });
execFileSync(vellumet, ["export", project, "-o", join(site, "movie.swf")], { env, stdio: "ignore" });
execFileSync(vellumet, ["render", join(site, "movie.swf"), "-o", join(site, "ours.png"), "--frame", frame],
             { env, stdio: "ignore" });
writeFileSync(join(site, "side.html"), `<!DOCTYPE html><meta charset="utf-8">
<style>body{margin:0;padding:12px;font:14px sans-serif;background:#eee}
figure{margin:0 0 12px}figcaption{margin-bottom:4px}iframe{border:0;display:block}</style>
<figure><figcaption>HTML5 page in Chromium (frame ${frame})</figcaption>
<iframe id="page" src="page.html#frame=${frame}"></iframe></figure>
<figure><figcaption>vellumet render --frame ${frame}</figcaption><img src="ours.png"></figure>`);

const server = await serveFolder(site);
const browser = await chromium.launch({ executablePath: "/usr/bin/chromium",
                                        args: ["--no-sandbox", "--disable-gpu", "--force-color-profile=srgb"] });
try {
  const page = await browser.newPage({ viewport: { width: 800, height: 600 }, deviceScaleFactor: 1 });
  await page.goto(`${server.url}side.html`);
  const frameElement = page.frameLocator("#page");
  await frameElement.locator(`#stage[data-frame="${frame}"]`).waitFor();
  const size = await frameElement.locator("#stage").boundingBox();
  await page.evaluate(({ width, height }) => {
    const iframe = document.getElementById("page");
    iframe.width = width;
    iframe.height = height;
  }, size);
  await page.screenshot({ path: out, fullPage: false,
                          clip: { x: 0, y: 0, width: size.width + 24, height: 2 * size.height + 84 } });
} finally {
  await browser.close();
  await server.close();
  rmSync(site, { recursive: true, force: true });
}
