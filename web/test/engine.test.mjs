// The JSON entry of the WebAssembly engine under node: every golden case
// gives zrtranslate's result, and a failed one its error number, report and
// FILE:LINE:COLUMN lines. ZR_ENGINE_DIR names the folder of zorvex_engine.js.
import assert from "node:assert/strict";
import { existsSync, readdirSync, readFileSync } from "node:fs";
import { createRequire } from "node:module";
import { join } from "node:path";
import { test } from "node:test";
import { newInstance, translator } from "../src/engine.js";

const engineDir = process.env.ZR_ENGINE_DIR;
const top = new URL("../..", import.meta.url).pathname;
const golden = join(top, "tests/golden");
const createEngine = createRequire(import.meta.url)(join(engineDir, "zorvex_engine.js"));
const compiled = await WebAssembly.compile(readFileSync(join(engineDir, "zorvex_engine.wasm")));
// Each case in a new instance, as the page's worker runs each translation.
const translate = async (request) => translator(await newInstance(createEngine, compiled))(request);

// The options of a case's args file, as the request's fields.
function requestOptions(args) {
  const words = args.trim().split(/\s+/).filter(Boolean);
  const options = { debug: false, timeoutSeconds: 0, maxSteps: 0 };
  for (let i = 0; i < words.length; ++i) {
    if (words[i] === "--debug") options.debug = true;
    else if (words[i] === "--max-steps") options.maxSteps = Number(words[++i]);
    else if (words[i] === "--timeout") options.timeoutSeconds = Number(words[++i]);
  }
  return options;
}

// What zrtranslate writes without --raw: the golden results are raw.
function stripped(raw) {
  return raw.startsWith("\n\n\n\r\n") ? raw.slice(5) : raw;
}

for (const name of readdirSync(golden).sort()) {
  const dir = join(golden, name);
  const file = (f) => join(dir, f);
  test(`golden ${name}`, async () => {
    const args = existsSync(file("args")) ? readFileSync(file("args"), "utf8") : "";
    const answer = await translate({
      schema: readFileSync(file("schema")),
      source: readFileSync(file("source")),
      ...requestOptions(args),
    });
    const standardError = existsSync(file("error"))
      ? readFileSync(file("error"), "utf8")
      : existsSync(file("console")) ? readFileSync(file("console"), "utf8") : "";
    for (const d of answer.diagnostics) assert.ok(standardError.includes(d.text + "\n"), d.text);
    if (existsSync(file("error"))) {
      assert.equal(answer.result, null);
      assert.equal(answer.error.number, Number(/^(\d+) \* /m.exec(standardError)[1]));
      const report = answer.console.slice(answer.console.lastIndexOf('\r\nin "translate" module'));
      assert.ok(standardError.includes(report), "the report is on standard error");
      assert.ok(answer.diagnostics.some((d) => d.kind === "error"));
    } else {
      assert.equal(answer.error, null);
      assert.equal(answer.result, stripped(readFileSync(file("result"), "utf8")));
      if (/--console|--debug/.test(args)) assert.ok(standardError.includes(answer.console));
    }
  });
}

test("the console is cut, not grown without end, and says so", async () => {
  const schema = "\\\\schema loop\n-r\n  .id `word` 0\n\\\\end schema\n\\\\end file\n";
  const answer = await translate({ schema, source: "w ".repeat(12000), debug: true });
  assert.equal(answer.console_cut, true);
  assert.ok(answer.console.length <= 4 * 1024 * 1024);
});
