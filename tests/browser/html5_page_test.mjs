// The HTML5 page exports of the samples in headless Chromium (Debian's,
// driven by playwright-core) from a local HTTP server: every frame that
// holds content, held with #frame=N, against `vellumet render --frame N` of
// the same movie (a table of the differences; a compact build too); buttons change on hover and
// press; the stage and a button open their links (an ad's button its own
// numbered click tag); frames follow their
// schedule over three loops without drift; and the page asks for nothing
// beyond itself and logs no error.
//   node html5_page_test.mjs VELLUMET SAMPLES_DIR
import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { createRequire } from "node:module";
import { tmpdir } from "node:os";
import { join } from "node:path";

import { answerOutside, launchChromium, vellumetRunner } from "./browser.mjs";
import { readPng, writeDifference } from "./images.mjs";
import { serveFolder } from "./site_server.mjs";

const { chromium } = createRequire(import.meta.url)("playwright-core");

const [vellumet, samplesDir] = process.argv.slice(2);
const SAMPLES = ["banner", "shapes", "backgrounds", "media"];
// Each page: its name and the export that writes it (a sample, with options).
const PAGES = [...SAMPLES.map((name) => ({ name, project: name, options: [] })),
               { name: "banner-compact", project: "banner", options: ["--compact"] }];
const BANNER_LINK = "https://example.com/vellumet";
// Canvas 2D and our renderer both anti-alias edges, a little differently;
// a wrong colour, place or frame is far above these.
const MAX_MEAN_DIFFERENCE = 1;
const FAR_APART = 64;

const work = mkdtempSync(join(tmpdir(), "vellumet-html5-"));
const site = join(work, "site");
let server;
let failed = false;

const vellumetRun = vellumetRunner(vellumet, work);

// A fresh browser; requests to any host but the test's server are recorded
// and answered here, console errors and page errors collected.
async function openBrowser(name) {
  const context = await launchChromium(join(work, `profile-${name}`));
  const outside = await answerOutside(context, server.url), errors = [];
  const page = context.pages()[0] ?? (await context.newPage());
  page.on("console", (m) => m.type() === "error" && errors.push(m.text()));
  page.on("pageerror", (e) => errors.push(String(e)));
  return { context, page, outside, errors };
}

async function withBrowser(name, body) {
  const browser = await openBrowser(name);
  try {
    await body(browser);
    assert.deepEqual(browser.errors, [], "the page logged errors");
    assert.deepEqual(server.failures, [], "the page asked for files its folder lacks");
  } catch (error) {
    failed = true;
    throw error;
  } finally {
    await browser.context.close();
  }
}

const shownFrame = (page) => page.locator("#stage").getAttribute("data-frame");

async function canvasPng(page) {
  const url = await page.evaluate(() => document.querySelector("#stage canvas").toDataURL("image/png"));
  return readPng(Buffer.from(url.slice(url.indexOf(",") + 1), "base64"));
}

// Mean absolute difference per channel (the largest of red, green and
// blue) and the pixels with a channel more than FAR_APART away.
function compare(a, b) {
  assert.equal(`${a.width}x${a.height}`, `${b.width}x${b.height}`, "sizes differ");
  const sums = [0, 0, 0];
  let far = 0;
  for (let i = 0; i < a.data.length; i += 4) {
    let worst = 0;
    for (let c = 0; c < 3; c++) {
      const d = Math.abs(a.data[i + c] - b.data[i + c]);
      sums[c] += d;
      worst = Math.max(worst, d);
    }
    if (worst > FAR_APART) ++far;
  }
  return { mean: Math.max(...sums) / (a.width * a.height), far };
}

// The 1-based frames where the picture may change: those the data lists.
function contentFrames(name) {
  const html = readFileSync(join(site, `${name}.html`), "utf8");
  const data = html.slice(html.indexOf('id="movie">') + 11);
  const movie = JSON.parse(data.slice(0, data.indexOf("</script>")));
  return { movie, frames: movie.timeline.filter((f) => f.ops).map((f) => f.frame + 1) };
}

before(async () => {
  mkdirSync(site);
  for (const { name, project, options } of PAGES) {
    vellumetRun("export", join(samplesDir, `${project}.sw0`), "-o", join(site, `${name}.swf`), ...options);
    vellumetRun("export", join(samplesDir, `${project}.sw0`), "-o", join(site, `${name}.html`), ...options);
  }
  // An ad package (click tags) of the movie with a button of its own address.
  const zip = join(work, "media-ad.zip");
  vellumetRun("export", join(samplesDir, "media.sw0"), "-o", zip);
  execFileSync("unzip", ["-q", zip, "-d", join(site, "media-ad")]);
  server = await serveFolder(site);
});

after(async () => {
  await server?.close();
  if (failed) console.log(`pictures and pages kept in ${work}`);
  else rmSync(work, { recursive: true, force: true });
});

test("every frame of the samples' pages looks as our renderer draws it", { timeout: 400_000 }, async (t) => {
  const rows = [];
  await withBrowser("pixels", async ({ page, outside }) => {
    for (const { name } of PAGES) {
      const { frames } = contentFrames(name);
      await page.goto(`${server.url}${name}.html#frame=${frames[0]}`);
      for (const frame of frames) {
        await page.evaluate((f) => { location.hash = `frame=${f}`; }, frame);
        await page.waitForFunction((f) => document.getElementById("stage").dataset.frame === String(f),
                                   frame);
        const ours = join(work, `${name}-${frame}-ours.png`);
        vellumetRun("render", join(site, `${name}.swf`), "-o", ours, "--frame", String(frame));
        const page_ = await canvasPng(page), render = readPng(ours);
        const { mean, far } = compare(page_, render);
        rows.push({ name, frame, mean, far });
        if (mean >= MAX_MEAN_DIFFERENCE) writeDifference(page_, render, join(work, `${name}-${frame}-difference.png`));
      }
    }
    assert.deepEqual(outside, [], "the page asked for another address");
  });
  // One line a frame, "fidelity" first, so the benchmark can print the table.
  t.diagnostic("fidelity sample         frame  mean/255  pixels>64");
  for (const r of rows)
    t.diagnostic(`fidelity ${r.name.padEnd(14)} ${String(r.frame).padStart(5)} ${r.mean.toFixed(3).padStart(9)} ${String(r.far).padStart(10)}`);
  t.diagnostic(`fidelity worst mean ${Math.max(...rows.map((r) => r.mean)).toFixed(3)}, ` +
               `most pixels over ${FAR_APART}: ${Math.max(...rows.map((r) => r.far))}`);
  const worse = rows.filter((r) => r.mean >= MAX_MEAN_DIFFERENCE);
  assert.deepEqual(worse.map((r) => `${r.name} ${r.frame}`), [], "frames differ from our renderer");
});

// The first spot of the stage, on a grid, where the pointer shows a hand
// (over a button) or, with hand false, does not.
async function findSpot(page, hand) {
  const box = await page.locator("#stage canvas").boundingBox();
  for (let y = 4; y < box.height; y += 8)
    for (let x = 4; x < box.width; x += 8) {
      await page.mouse.move(box.x + x, box.y + y);
      if (await page.evaluate(() => document.querySelector("#stage canvas").style.cursor === "pointer") === hand)
        return { x: box.x + x, y: box.y + y };
    }
  throw new Error(hand ? "no button on the stage" : "no stage beside the buttons");
}
const findButton = (page) => findSpot(page, true);

const samePicture = (a, b) => Buffer.compare(a.data, b.data) === 0;

test("a button shows its over and down pictures, opens its link and plays sound only after a press",
     { timeout: 120_000 }, async () => {
  await withBrowser("button", async ({ context, page, outside }) => {
    await context.addInitScript(() => {
      window.soundsPlayed = 0;
      const play = HTMLMediaElement.prototype.play;
      HTMLMediaElement.prototype.play = function () {
        ++window.soundsPlayed;
        return play.call(this);
      };
    });
    await page.goto(`${server.url}media.html#frame=1`);
    await page.waitForFunction(() => document.getElementById("stage").dataset.frame === "1");
    const up = await canvasPng(page);
    const spot = await findButton(page);
    const over = await canvasPng(page);
    assert.equal(await page.evaluate(() => window.soundsPlayed), 0, "sound before an interaction");
    await page.mouse.down();
    const down = await canvasPng(page);
    assert.ok(!samePicture(up, over) && !samePicture(over, down) && !samePicture(up, down),
              "up, over and down look alike");
    const popup = context.waitForEvent("page");
    await page.mouse.up();
    await (await popup).waitForLoadState();
    assert.deepEqual(outside, ["https://example.com/go"]);
    assert.ok(samePicture(await canvasPng(page), over), "released, the button is not over");
    await page.mouse.move(spot.x, 1000);
    assert.ok(samePicture(await canvasPng(page), up), "left, the button is not up");
    // The roll-over sound, heard once the viewer has pressed.
    await page.mouse.move(spot.x, spot.y);
    assert.ok(await page.evaluate(() => window.soundsPlayed) > 0, "no sound after a press");
  });
});

test("the banner's stage opens its link on a click and on Enter", { timeout: 120_000 }, async () => {
  await withBrowser("link", async ({ context, page, outside }) => {
    await page.goto(`${server.url}banner.html`);
    await page.waitForFunction(() => document.getElementById("stage").dataset.frame !== undefined);
    const stage = page.locator("#stage");
    assert.equal(await stage.getAttribute("href"), BANNER_LINK);
    assert.ok((await stage.getAttribute("aria-label")).length > 0, "the stage link has no name");
    let popup = context.waitForEvent("page");
    await stage.click();
    await popup;
    await page.bringToFront();
    popup = context.waitForEvent("page");
    await stage.focus();
    await page.keyboard.press("Enter");
    await popup;
    assert.deepEqual(outside, [BANNER_LINK, BANNER_LINK]);
    assert.equal(page.url(), `${server.url}banner.html`, "the page itself went away");
  });
});

test("reduced motion holds the last frame; a pixel ratio of 2 doubles the canvas", { timeout: 120_000 }, async () => {
  await withBrowser("still", async ({ page }) => {
    const { movie } = contentFrames("banner");
    await page.emulateMedia({ reducedMotion: "reduce" });
    await page.goto(`${server.url}banner.html`);
    await page.waitForFunction(() => document.getElementById("stage").dataset.frame !== undefined);
    await page.waitForTimeout(500);
    assert.equal(await shownFrame(page), String(movie.frames));
  });
  const sharp = await chromium.launch({ executablePath: "/usr/bin/chromium",
                                        args: ["--no-sandbox", "--disable-gpu"] });
  try {
    const page = await sharp.newPage({ deviceScaleFactor: 2 });
    await page.goto(`${server.url}banner.html#frame=1`);
    await page.waitForFunction(() => document.getElementById("stage").dataset.frame === "1");
    const size = await page.evaluate(() => {
      const canvas = document.querySelector("#stage canvas"), box = canvas.getBoundingClientRect();
      return [canvas.width, canvas.height, box.width, box.height];
    });
    const { movie } = contentFrames("banner");
    assert.deepEqual(size, [2 * movie.width, 2 * movie.height, movie.width, movie.height]);
  } finally {
    await sharp.close();
  }
});

// The page of an ad server's click tag (html5_page_test.cpp checks that the
// export writes it so): a click opens what clickTag holds at that moment.
test("with a click tag, a click opens the address clickTag holds when clicked", { timeout: 120_000 }, async () => {
  const html = readFileSync(join(site, "banner.html"), "utf8")
    .replace('"click":"link"', '"click":"clickTag"')
    .replace("</head>", `<script>var clickTag = "${BANNER_LINK}";</script></head>`);
  writeFileSync(join(site, "banner-clicktag.html"), html);
  await withBrowser("clicktag", async ({ context, page, outside }) => {
    await page.goto(`${server.url}banner-clicktag.html`);
    await page.waitForFunction(() => document.getElementById("stage").dataset.frame !== undefined);
    await page.evaluate(() => { window.clickTag = "https://example.com/served"; });
    const popup = context.waitForEvent("page");
    await page.locator("#stage").click();
    await popup;
    assert.deepEqual(outside, ["https://example.com/served"]);
  });
});

// The ad's button opens its own exit, clickTag2, as the ad server set it;
// the rest of the stage opens clickTag.
test("with click tags, a button opens its own numbered click tag", { timeout: 120_000 }, async () => {
  await withBrowser("exits", async ({ context, page, outside }) => {
    await page.goto(`${server.url}media-ad/index.html#frame=1`);
    await page.waitForFunction(() => document.getElementById("stage").dataset.frame === "1");
    assert.equal(await page.evaluate(() => window.clickTag2), "https://example.com/go");
    await page.evaluate(() => {
      window.clickTag = "https://example.com/stage";
      window.clickTag2 = "https://example.com/button";
    });
    await findButton(page);
    let popup = context.waitForEvent("page");
    await page.mouse.down();
    await page.mouse.up();
    await popup;
    await page.bringToFront();
    popup = context.waitForEvent("page");
    const beside = await findSpot(page, false);
    await page.mouse.click(beside.x, beside.y);
    await popup;
    assert.deepEqual(outside, ["https://example.com/button", "https://example.com/stage"]);
  });
});

test("frames keep their schedule over three loops of the banner", { timeout: 120_000 }, async (t) => {
  await withBrowser("timing", async ({ context, page }) => {
    await context.addInitScript(() => {
      window.frameChanges = [];
      new MutationObserver(() => {
        window.frameChanges.push([+document.getElementById("stage").dataset.frame, performance.now()]);
      }).observe(document, { subtree: true, attributeFilter: ["data-frame"] });
    });
    const { movie, frames: shown } = contentFrames("banner");
    const period = 1000 / movie.rate, loopTime = movie.frames * period;
    const cdp = await context.newCDPSession(page);
    await cdp.send("Performance.enable");
    await page.goto(`${server.url}banner.html`);
    // Reading the metrics, like playwright's first look into the page (its
    // own script, compiled there), takes the page's main thread for a while:
    // look only once the banner holds its first loop's last frame, where no
    // change is due (the page is loaded, so the clock has just started).
    await page.waitForTimeout(((shown.at(-1) - 1) * period + loopTime) / 2);
    const before = await cdp.send("Performance.getMetrics");
    const started = Date.now();
    await page.waitForTimeout(loopTime * 3);
    const after = await cdp.send("Performance.getMetrics");
    const wall = (Date.now() - started) / 1000;
    const changes = await page.evaluate(() => window.frameChanges);
    // Each change's time less its place in the schedule, per loop (frames
    // only go forward within one), with its frame; the schedule's start is
    // the median.
    let loop = 0, last = 0;
    const errors = [[], [], []], frames = [[], [], []];
    for (const [frame, time] of changes) {
      if (frame < last) ++loop;
      last = frame;
      if (loop > 2) break;
      errors[loop].push(time - (loop * movie.frames + frame - 1) * period);
      frames[loop].push(frame);
    }
    const start = errors.flat().sort((a, b) => a - b)[Math.floor(errors.flat().length / 2)];
    for (const e of errors) e.forEach((v, i) => { e[i] = v - start; });
    const mean = (list) => list.reduce((a, b) => a + b, 0) / list.length;
    const worst = (list) => list.reduce((w, v, i) => (Math.abs(v) > Math.abs(list[w]) ? i : w), 0);
    const task = (m) => m.metrics.find((x) => x.name === "TaskDuration").value;
    const busy = (task(after) - task(before)) / wall;
    for (const [n, e] of errors.entries()) {
      const w = worst(e);
      t.diagnostic(`loop ${n + 1}: ${e.length} changes, mean late ${mean(e).toFixed(2)} ms, ` +
                   `largest error ${e[w].toFixed(2)} ms (frame ${frames[n][w]})`);
    }
    t.diagnostic(`main thread busy ${(busy * 100).toFixed(2)} % of the time`);
    assert.ok(errors.every((e) => e.length > 1), "the movie did not loop three times");
    // Drift grows from loop to loop; a late timer alone does not. The later
    // two loops are compared: the first shares the machine with the page's
    // loading.
    assert.ok(Math.abs(mean(errors[2]) - mean(errors[1])) < 8, "frames drift from loop to loop");
    // The main thread's share is a figure to report, not to assert: a loaded
    // machine stretches every task.
  });
});
