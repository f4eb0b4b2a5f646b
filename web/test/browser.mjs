// The playground in a real browser: Debian's headless Chromium, driven by
// puppeteer-core, on the site served from 127.0.0.1.
//
//   node browser.mjs SITE_DIR ZRTRANSLATE [SCREENSHOT.png]
//
// Runs the bundled example and compares the result with zrtranslate's; opens
// three guide examples from the menu and checks their expected output; makes
// a share link and opens it in a new page; stops a schema that never ends;
// and clicks an error's location. With SCREENSHOT, saves a picture of the
// page after the bundled example.
import { execFileSync, spawn } from "node:child_process";
import { existsSync, mkdtempSync, readFileSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join, resolve } from "node:path";
import puppeteer from "puppeteer-core";

const [siteDir, zrtranslate, screenshot] = process.argv.slice(2);
const top = new URL("../..", import.meta.url).pathname;
const port = 8000 + Math.floor(Math.random() * 1000);
const origin = `http://127.0.0.1:${port}`;

const results = [];
async function check(name, body) {
  try {
    await body();
    results.push(true);
    console.log(`ok ${name}`);
  } catch (error) {
    results.push(false);
    console.log(`FAIL ${name}: ${error.stack || error}`);
  }
}
function expect(condition, message) {
  if (!condition) throw new Error(message);
}

function startServer() {
  const server = spawn(
    "python3",
    ["-m", "http.server", String(port), "--bind", "127.0.0.1", "--directory", resolve(siteDir)],
    { stdio: "ignore" },
  );
  return server;
}

async function waitForServer() {
  for (let i = 0; i < 100; ++i) {
    try {
      if ((await fetch(origin + "/index.html")).ok) return;
    } catch {}
    await new Promise((r) => setTimeout(r, 100));
  }
  throw new Error("the server did not start");
}

// The page keeps its editors in window.playground: schema, source, result.
const editorText = (page, id) =>
  page.evaluate((id) => window.playground[id].state.doc.toString(), id);

// Waits until the page has finished a run (done, failed or stopped).
async function finishedRun(page, timeout = 60000) {
  await page.waitForFunction(
    () => ["done", "failed", "stopped"].includes(document.body.dataset.state),
    { timeout },
  );
  return page.evaluate(() => document.body.dataset.state);
}

async function openPage(browser, url) {
  const page = await browser.newPage();
  const requests = [];
  page.on("request", (request) => requests.push(request.url()));
  page.on("pageerror", (error) => console.log(`page error: ${error.message}`));
  await page.setViewport({ width: 1400, height: 860 });
  await page.goto(url);
  // The page's own blob: URLs (the worker's script) stay on this machine too.
  page.requestsElsewhere = () =>
    requests.filter((u) => !u.startsWith(origin) && !/^(data|blob):/.test(u));
  return page;
}

async function setEditor(page, id, text) {
  await page.evaluate(
    (id, text) => {
      const view = window.playground[id];
      view.dispatch({ changes: { from: 0, to: view.state.doc.length, insert: text } });
    },
    id,
    text,
  );
}

const profile = mkdtempSync(join(tmpdir(), "zr-chromium-"));
const server = startServer();
let browser;
try {
  await waitForServer();
  browser = await puppeteer.launch({
    executablePath: "/usr/bin/chromium",
    headless: true,
    userDataDir: profile,
    args: [
      "--no-sandbox",
      "--disable-gpu",
      "--disable-background-networking",
      "--disable-component-update",
      "--disable-sync",
      "--no-first-run",
    ],
  });

  const page = await openPage(browser, origin + "/index.html");
  await check("the bundled example translates as zrtranslate does", async () => {
    expect((await finishedRun(page)) === "done", "the run did not succeed");
    const expected = execFileSync(zrtranslate, [
      join(top, "example/vbs_c/s.txt"),
      join(top, "example/vbs_c/reallife.inc"),
    ]).toString("utf8");
    const shown = await editorText(page, "result");
    expect(shown === expected.replace(/\r\n?/g, "\n"), "the result differs from zrtranslate's");
    if (screenshot) {
      // The schema's first state lines rather than its opening comment.
      await page.evaluate(() => {
        const lines = window.playground.schema.state.doc.toString().split("\n");
        window.playground.reveal("schema", lines.findIndex((l) => l.startsWith("\\\\schema")) + 12, 1);
      });
      await page.screenshot({ path: screenshot });
    }
  });

  await check("three guide examples from the menu give their expected output", async () => {
    for (const name of ["01-first-schema", "10-variables", "30-ini-to-json"]) {
      const value = await page.$$eval(
        "#examples option",
        (options, name) => options.find((o) => o.textContent === name).value,
        name,
      );
      await page.evaluate(() => (document.body.dataset.state = ""));
      await page.select("#examples", value);
      expect((await finishedRun(page)) === "done", `${name} did not succeed`);
      const expected = readFileSync(join(top, "docs/examples", name, "expected"), "utf8");
      const shown = await editorText(page, "result");
      expect(shown === expected.replace(/\r\n?/g, "\n"), `${name}: the result differs`);
    }
  });

  await check("a share link restores both editors and runs", async () => {
    const schema = readFileSync(join(top, "docs/examples/10-variables/schema"), "utf8");
    const source = "share ✓ links\n";
    await setEditor(page, "schema", schema);
    await setEditor(page, "source", source);
    await page.click("#share");
    await page.waitForFunction(() => location.hash.startsWith("#s="));
    const link = await page.evaluate(() => location.href);
    const shared = await openPage(browser, link);
    try {
      expect((await finishedRun(shared)) === "done", "the shared run did not succeed");
      expect((await editorText(shared, "schema")) === schema, "the schema differs");
      expect((await editorText(shared, "source")) === source, "the source differs");
      const result = await editorText(shared, "result");
      expect(result.includes("3 words"), `unexpected result: ${result}`);
      expect(shared.requestsElsewhere().length === 0, "a request went to another host");
    } finally {
      await shared.close();
      await page.bringToFront();
    }
  });

  await check("Stop ends a run that never ends within 1 s, and the next run works", async () => {
    // Each word of the source queues itself again as a post event: no end.
    const schema =
      "\\\\schema forever\n-r\n  .id `` 0 +.again\n  .again `` 0 +.again\n\\\\end schema\n\\\\end file\n";
    await page.$eval("#step-limit", (e) => (e.value = "0"));
    await page.$eval("#time-limit", (e) => (e.value = "0"));
    await setEditor(page, "schema", schema);
    await setEditor(page, "source", "go\n");
    await page.evaluate(() => (document.body.dataset.state = ""));
    await page.click("#run");
    await page.waitForFunction(() => document.body.dataset.state === "running");
    await new Promise((r) => setTimeout(r, 1500));
    expect((await page.evaluate(() => document.body.dataset.state)) === "running", "the run ended by itself");
    const before = Date.now();
    await page.click("#stop");
    await page.waitForFunction(() => document.body.dataset.state === "stopped", { timeout: 1000 });
    expect(Date.now() - before < 1000, "Stop took a second or more");
    const example = readFileSync(join(top, "docs/examples/01-first-schema/schema"), "utf8");
    await setEditor(page, "schema", example);
    await setEditor(page, "source", "one two three");
    await page.click("#run");
    expect((await finishedRun(page)) === "done", "the run after Stop failed");
    expect((await editorText(page, "result")) === "onetwothree.", "the run after Stop gave a wrong result");
  });

  await check("clicking an error's location puts the cursor there", async () => {
    const schema = readFileSync(join(top, "tests/golden/location_unknown_state/schema"), "utf8");
    await setEditor(page, "schema", schema);
    await page.evaluate(() => (document.body.dataset.state = ""));
    await page.click("#run");
    expect((await finishedRun(page)) === "failed", "the run did not fail");
    const link = await page.$("#console a.error");
    expect(link, "no error location in the console");
    const text = await link.evaluate((e) => e.textContent);
    const [, line, column] = /^schema:(\d+):(\d+): error:/.exec(text);
    await link.click();
    const at = await page.evaluate(() => {
      const state = window.playground.schema.state;
      const head = state.selection.main.head;
      const line = state.doc.lineAt(head);
      return [line.number, Array.from(line.text.slice(0, head - line.from)).length + 1];
    });
    expect(at[0] === Number(line) && at[1] === Number(column), `cursor at ${at}, not ${line}:${column}`);
  });

  await check("no request left 127.0.0.1", async () => {
    expect(page.requestsElsewhere().length === 0, page.requestsElsewhere().join(", "));
  });
} finally {
  if (browser) await browser.close();
  server.kill();
  rmSync(profile, { recursive: true, force: true });
}
const passed = results.filter(Boolean).length;
console.log(`browser: ${passed} passed, ${results.length - passed} failed`);
process.exit(passed === results.length && results.length > 0 ? 0 : 1);
