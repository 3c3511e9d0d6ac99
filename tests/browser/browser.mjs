// What the browser tests share: the program run with its own files kept in
// the test's folder, and Debian's Chromium started headless with a fresh
// profile, nothing fetched in the background and sRGB colours.
import { execFileSync } from "node:child_process";
import { createRequire } from "node:module";
import { join } from "node:path";

const { chromium } = createRequire(import.meta.url)("playwright-core");

// The program's rendered pictures and settings stay in the folder `work`.
export function vellumetRunner(vellumet, work) {
  return (...args) => execFileSync(vellumet, args, {
    env: {
      ...process.env,
      XDG_CACHE_HOME: join(work, "cache"),
      XDG_CONFIG_HOME: join(work, "config"),
      ASAN_OPTIONS: "detect_leaks=0:abort_on_error=1",
    },
    stdio: ["ignore", "ignore", "inherit"],
  });
}

export function launchChromium(profileFolder) {
  return chromium.launchPersistentContext(profileFolder, {
    executablePath: "/usr/bin/chromium",
    args: ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
           "--disable-background-networking", "--disable-component-update", "--disable-sync",
           "--force-color-profile=srgb"],
    viewport: { width: 1000, height: 400 },
    deviceScaleFactor: 1,
  });
}

// Nothing leaves the machine: each request to an address outside `inside`
// is recorded in the list returned and answered here.
export async function answerOutside(context, inside) {
  const outside = [];
  await context.route((url) => !url.href.startsWith(inside), (route) => {
    outside.push(route.request().url());
    route.fulfill({ contentType: "text/html", body: "<p>outside</p>" });
  });
  return outside;
}
