// Builds the playground into SITE_DIR: the page, its script and the worker
// bundled with esbuild, the Examples menu made from the bundled example and
// docs/examples/*, and the WebAssembly engine copied from ENGINE_DIR.
//
//   node build.mjs ENGINE_DIR SITE_DIR
import { build } from "esbuild";
import { copyFileSync, existsSync, mkdirSync, readdirSync, readFileSync } from "node:fs";
import { join } from "node:path";
import { gzipSync } from "node:zlib";

// The WebAssembly module and the scripts the page loads, gzip-compressed,
// stay within this many bytes.
const sizeBudget = 1.5 * 1024 * 1024;

const [engineDir, siteDir] = process.argv.slice(2);
if (!engineDir || !siteDir) {
  console.error("usage: node build.mjs ENGINE_DIR SITE_DIR");
  process.exit(2);
}
const here = new URL(".", import.meta.url).pathname;
const top = join(here, "..");

function read(path) {
  return readFileSync(path, "utf8");
}

// The bundled example first, then every folder of docs/examples in order.
// An example whose args ask for --debug opens with the debug switch on.
function examples() {
  const list = [
    {
      name: "bundled example: script to C",
      schema: read(join(top, "example/vbs_c/s.txt")),
      source: read(join(top, "example/vbs_c/reallife.inc")),
      debug: false,
    },
  ];
  const dir = join(top, "docs/examples");
  for (const name of readdirSync(dir).sort()) {
    const folder = join(dir, name);
    if (!existsSync(join(folder, "schema")) || !existsSync(join(folder, "source"))) continue;
    const args = existsSync(join(folder, "args")) ? read(join(folder, "args")) : "";
    list.push({
      name,
      schema: read(join(folder, "schema")),
      source: read(join(folder, "source")),
      debug: /--debug\b/.test(args),
    });
  }
  return list;
}

mkdirSync(siteDir, { recursive: true });
const common = { bundle: true, minify: true, target: "es2022", logLevel: "warning" };
await build({
  ...common,
  entryPoints: [join(here, "src/main.js")],
  outfile: join(siteDir, "main.js"),
  format: "esm",
  define: { ZR_EXAMPLES: JSON.stringify(examples()) },
});
await build({
  ...common,
  entryPoints: [join(here, "src/worker.js")],
  outfile: join(siteDir, "worker.js"),
  format: "iife",
});
for (const file of ["index.html", "style.css"]) copyFileSync(join(here, file), join(siteDir, file));
for (const file of ["zorvex_engine.js", "zorvex_engine.wasm"])
  copyFileSync(join(engineDir, file), join(siteDir, file));

const loaded = ["main.js", "worker.js", "zorvex_engine.js", "zorvex_engine.wasm"];
const gzipped = loaded.reduce((sum, file) => sum + gzipSync(readFileSync(join(siteDir, file))).length, 0);
console.log(`site: ${siteDir}, module and scripts ${(gzipped / 1024).toFixed(0)} KB gzip`);
if (gzipped > sizeBudget) {
  console.error(`over the budget of ${sizeBudget / 1024} KB gzip`);
  process.exit(1);
}
