// A static HTTP server for one folder, on a free port of the loopback
// interface only. Served as a web server would: .wasm as application/wasm,
// which Ruffle's streaming compile insists on.
import http from "node:http";
import { readFile } from "node:fs/promises";
import { extname, join, normalize, sep } from "node:path";

const TYPES = {
  ".html": "text/html; charset=utf-8",
  ".js": "text/javascript",
  ".wasm": "application/wasm",
  ".swf": "application/x-shockwave-flash",
};

// Resolves to { url, failures, close }: failures lists the paths answered
// with an error, so a test sees a page that asks for what is not there.
export async function serveFolder(root) {
  const failures = [];
  const server = http.createServer(async (request, response) => {
    const path = decodeURIComponent(new URL(request.url, "http://localhost").pathname);
    const file = normalize(join(root, path));
    try {
      if (!file.startsWith(root + sep)) throw new Error("outside the folder");
      const body = await readFile(file);
      response.writeHead(200, { "content-type": TYPES[extname(file)] ?? "application/octet-stream" });
      response.end(body);
    } catch {
      if (path !== "/favicon.ico") failures.push(path);
      response.writeHead(404);
      response.end();
    }
  });
  await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
  return {
    url: `http://127.0.0.1:${server.address().port}/`,
    failures,
    close: () => new Promise((resolve) => server.close(resolve)),
  };
}
