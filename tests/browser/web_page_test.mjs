// The web page exports of the samples, played by the Ruffle web player in
// headless Chromium (Debian's, driven by playwright-core) from a local HTTP
// server: the movie plays without a click and with nothing over it, frame 1
// on the page matches our own renderer's frame 1 (also for a compact build), the page loads nothing
// from outside its folder, and the banner's movie-wide link opens its URL on
// a click. Nothing leaves the machine: every request to
// another host is answered by the test itself.
//   node web_page_test.mjs VELLUMET SAMPLES_DIR
import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import { mkdirSync, mkdtempSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";

import { answerOutside, launchChromium, vellumetRunner } from "./browser.mjs";
import { meanDifference, readPng, writeDifference } from "./images.mjs";
import { serveFolder } from "./site_server.mjs";


const [vellumet, samplesDir] = process.argv.slice(2);
// Each page: its name and the export that writes it (a sample, with options).
const PAGES = [
  { name: "banner", project: "banner", options: [] },
  { name: "backgrounds", project: "backgrounds", options: [] },
  { name: "shapes", project: "shapes", options: [] },
  { name: "media", project: "media", options: [] },
  { name: "banner-compact", project: "banner", options: ["--compact"] },
];
const BANNER_LINK = "https://example.com/vellumet";
// Our renderer and Ruffle's anti-alias edges differently; anything more
// than a few edge pixels apart (a wrong frame, colour or place) is far above.
const MAX_MEAN_DIFFERENCE = 3;
const READY_STATE_LOADED = 2;

const work = mkdtempSync(join(tmpdir(), "vellumet-browser-"));
const site = join(work, "site");
let server;
let failed = false;

const vellumetRun = vellumetRunner(vellumet, work);

// A browser with a fresh profile folder of its own; requests to any host
// but the test's server are recorded and answered here.
async function openBrowser(name) {
  const context = await launchChromium(join(work, `profile-${name}`));
  // Visitors' browsers hold sound back until the first click on the page
  // (headless Chromium lets it play): the page's audio stays suspended, as
  // theirs does, so the test sees what they see.
  await context.addInitScript(() => {
    window.AudioContext = class extends window.AudioContext {
      get state() { return "suspended"; }
      resume() { return Promise.resolve(); }
    };
  });
  const outside = await answerOutside(context, server.url);
  return { context, outside };
}

async function waitUntil(what, condition, seconds = 60) {
  for (const end = Date.now() + seconds * 1000; Date.now() < end;) {
    if (await condition()) return;
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
  throw new Error(`timed out waiting for ${what}`);
}

const isLoaded = (page) => page.evaluate(
  (loaded) => document.getElementById("movie")?.ruffle().readyState === loaded, READY_STATE_LOADED);

const movieLoaded = (page) => waitUntil("Ruffle to load the movie", () => isLoaded(page));

// Ruffle's start waits on the page's timers: with the clock stopped it moves
// in 1 ms steps, so the movie has run at most a few ms when it is loaded.
const movieLoadedWithClockStopped = (page) => waitUntil("Ruffle to load the movie", async () => {
  if (await isLoaded(page)) return true;
  await page.clock.runFor(1);
  return false;
});

// The stage once Ruffle has painted it; the page's clock stands still, so
// the movie cannot move on and two equal pictures mean painting is done.
async function stillStage(page) {
  const stage = page.locator("#stage");
  let last = await stage.screenshot();
  for (let i = 0; i < 50; i++) {
    const next = await stage.screenshot();
    if (next.equals(last)) return next;
    last = next;
  }
  throw new Error("the stage keeps changing while the clock stands still");
}

before(async () => {
  mkdirSync(site);
  for (const { name, project, options } of PAGES) {
    vellumetRun("export", join(samplesDir, `${project}.sw0`), "-o", join(site, `${name}.swf`), "--web",
                ...options);
    vellumetRun("render", join(site, `${name}.swf`), "-o", join(work, `${name}-ours.png`), "--frame", "1");
  }
  server = await serveFolder(site);
});

after(async () => {
  await server?.close();
  if (failed) console.log(`pictures and pages kept in ${work}`);
  else rmSync(work, { recursive: true, force: true });
});

for (const { name } of PAGES) {
  test(`${name}: frame 1 on the page is our frame 1`, { timeout: 120_000 }, async (t) => {
    const { context, outside } = await openBrowser(name);
    try {
      const page = context.pages()[0] ?? (await context.newPage());
      // Time in the page only moves when the test says so. Every sample's
      // frame 1 lasts 80 ms or more and the loaded movie runs about 33 ms
      // here, so Ruffle's first paints all show frame 1.
      await page.clock.install({ time: 0 });
      await page.clock.pauseAt(1000);
      await page.goto(`${server.url}${name}.web.html`);
      await movieLoadedWithClockStopped(page);
      await page.clock.runFor(16);
      await page.clock.runFor(16);
      const shown = await stillStage(page);
      writeFileSync(join(work, `${name}-ruffle.png`), shown);
      assert.equal(await page.evaluate(() => document.getElementById("movie").ruffle().isPlaying),
                   true, "the movie waits for a click");
      for (const overlay of ["#play-button", "#unmute-overlay"])
        assert.equal(await page.locator(overlay).isVisible(), false, `${overlay} covers the movie`);

      const ours = readPng(join(work, `${name}-ours.png`));
      const theirs = readPng(shown);
      writeDifference(ours, theirs, join(work, `${name}-difference.png`));
      const difference = meanDifference(ours, theirs);
      t.diagnostic(`mean difference per channel ${difference.map((d) => d.toFixed(2)).join(", ")}`);
      assert.ok(difference.every((d) => d < MAX_MEAN_DIFFERENCE), "frame 1 differs from ours");
      assert.deepEqual(outside, [], "the page asked for files outside its folder");
      assert.deepEqual(server.failures, [], "the page asked for files its folder lacks");
    } catch (error) {
      failed = true;
      throw error;
    } finally {
      await context.close();
    }
  });
}

test("banner: a click on the movie opens its link", { timeout: 120_000 }, async () => {
  const { context, outside } = await openBrowser("link");
  try {
    const page = context.pages()[0] ?? (await context.newPage());
    await page.goto(`${server.url}banner.web.html`);
    await movieLoaded(page);
    // Ruffle on a software renderer (as here, without a GPU) answers the
    // first pointer over the movie with a note about hardware acceleration
    // that covers the stage; a user closes it, and so does the test.
    const stage = page.locator("#stage");
    await stage.hover();
    const note = page.locator("#hardware-acceleration-modal:not(.hidden) .close-modal");
    if (await note.count()) await note.click();
    // The link button is on the stage from the first frame Ruffle runs; a
    // click before that finds nothing, so click until the link opens.
    await waitUntil("the link to open", async () => {
      await stage.click();
      await page.waitForTimeout(500);
      return outside.length > 0;
    }, 20);
    assert.deepEqual(outside, [BANNER_LINK]);
    assert.equal(context.pages().length, 2, "the link opens in a new window");
  } catch (error) {
    failed = true;
    throw error;
  } finally {
    await context.close();
  }
});
