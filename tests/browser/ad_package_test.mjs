// The banner's ad package in headless Chromium from a local HTTP server, as
// an ad server shows it: index.html plays; a click opens clickTag, and a
// value the server sets before the page's script is the one opened; with
// --loops 1 it holds its last frame after one pass; the page asks for
// nothing outside the package.
//   node ad_package_test.mjs VELLUMET SAMPLES_DIR
import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { mkdirSync, mkdtempSync, rmSync } from "node:fs";
import { createRequire } from "node:module";
import { tmpdir } from "node:os";
import { join } from "node:path";

import { serveFolder } from "./site_server.mjs";

const { chromium } = createRequire(import.meta.url)("playwright-core");

const [vellumet, samplesDir] = process.argv.slice(2);
const BANNER_LINK = "https://example.com/vellumet";
const OVERRIDE = "https://ads.example.net/click?to=banner";
const BANNER_LAST_FRAME = "334";  // SWF frames of 10 ms: one pass of 3.34 s
const LOOP_SECONDS = 3.34;

const work = mkdtempSync(join(tmpdir(), "vellumet-ad-"));
const site = join(work, "site");
let server;

before(async () => {
  mkdirSync(site);
  const zip = join(work, "banner.zip");
  // Status 0: the package passes the google-ads check.
  execFileSync(vellumet, ["export", join(samplesDir, "banner.sw0"), "-o", zip, "--profile",
                          "google-ads", "--loops", "1"], {
    env: { ...process.env, XDG_CACHE_HOME: join(work, "cache"), XDG_CONFIG_HOME: join(work, "config"),
           ASAN_OPTIONS: "detect_leaks=0:abort_on_error=1" },
    stdio: ["ignore", "ignore", "inherit"],
  });
  execFileSync("unzip", ["-q", zip, "-d", site]);
  server = await serveFolder(site);
});

after(async () => {
  await server?.close();
  rmSync(work, { recursive: true, force: true });
});

// The page's own requests that leave the server are recorded and answered
// here; the pop-ups a click opens are the ad's landing pages, not the page's.
async function withPage(name, body, serverScript = "") {
  const context = await chromium.launchPersistentContext(join(work, `profile-${name}`), {
    executablePath: "/usr/bin/chromium",
    args: ["--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
           "--disable-background-networking", "--disable-component-update", "--disable-sync"],
    viewport: { width: 800, height: 200 },
  });
  const outside = [], errors = [];
  await context.route((url) => !url.href.startsWith(server.url), (route) => {
    route.fulfill({ contentType: "text/html", body: "<p>landing page</p>" });
  });
  const page = context.pages()[0] ?? (await context.newPage());
  page.on("request", (r) => !r.url().startsWith(server.url) && outside.push(r.url()));
  page.on("pageerror", (e) => errors.push(String(e)));
  if (serverScript) {
    // As an ad server does: the click address set after the declaration,
    // before the page's own script runs.
    await page.route(`${server.url}index.html`, async (route) => {
      const original = await (await route.fetch()).text();
      const declared = original.indexOf("</script>") + "</script>".length;
      assert.match(original.slice(0, declared), /<script>var clickTag = "[^"]+";<\/script>$/);
      route.fulfill({ contentType: "text/html",
                      body: original.slice(0, declared) + serverScript + original.slice(declared) });
    });
  }
  try {
    await page.goto(`${server.url}index.html`);
    await page.waitForFunction(() => document.getElementById("stage").dataset.frame !== undefined);
    await body({ context, page });
    assert.deepEqual(outside, [], "the page asked for addresses outside the package");
    assert.deepEqual(errors, [], "the page threw");
    assert.deepEqual(server.failures, [], "the page asked for files the package lacks");
  } finally {
    await context.close();
  }
}

async function clickOpens(context, page) {
  const popup = context.waitForEvent("page");
  await page.locator("#stage").click({ position: { x: 10, y: 10 } });
  return (await popup).url();
}

test("a click opens clickTag in a new window", { timeout: 120_000 }, async () => {
  await withPage("click", async ({ context, page }) => {
    assert.equal(await page.evaluate(() => window.clickTag), BANNER_LINK);
    assert.equal(await clickOpens(context, page), BANNER_LINK);
  });
});

test("a clickTag the server sets before the page's script is the one opened",
     { timeout: 120_000 }, async () => {
  await withPage("override", async ({ context, page }) => {
    assert.equal(await clickOpens(context, page), OVERRIDE);
  }, `<script>clickTag = "${OVERRIDE}";</script>`);
});

test("one loop plays and then holds the last frame", { timeout: 120_000 }, async () => {
  await withPage("loops", async ({ page }) => {
    const started = Date.now();
    await page.waitForFunction((last) => document.getElementById("stage").dataset.frame === last,
                                BANNER_LAST_FRAME, { timeout: 20_000 });
    const seconds = (Date.now() - started) / 1000;
    assert.ok(seconds > LOOP_SECONDS - 1, `the last frame came after ${seconds} s`);
    await page.waitForTimeout(LOOP_SECONDS * 1000);
    assert.equal(await page.locator("#stage").getAttribute("data-frame"), BANNER_LAST_FRAME);
  });
});
