// The playground page: schema and source editors, Run (and Ctrl+Enter),
// Stop, the result and console panes, the Examples menu and share links. The
// engine runs in a worker (worker.js), so a runaway run never freezes the
// page: Stop terminates the worker and starts a new one.
import { defaultKeymap, history, historyKeymap } from "@codemirror/commands";
import { defaultHighlightStyle, syntaxHighlighting } from "@codemirror/language";
import { EditorState } from "@codemirror/state";
import { EditorView, drawSelection, keymap, lineNumbers } from "@codemirror/view";
import { schemaLanguage } from "./schema-language.js";
import { readFragment, shareFragment } from "./share.js";

/* global ZR_EXAMPLES */
const examples = ZR_EXAMPLES; // [{name, schema, source, debug}], made by build.mjs

const $ = (id) => document.getElementById(id);

function runKeymap() {
  return keymap.of([{ key: "Mod-Enter", run: () => (run(), true) }]);
}

function makeEditor(parent, extensions) {
  return new EditorView({
    parent,
    state: EditorState.create({
      extensions: [
        lineNumbers(),
        history(),
        drawSelection(),
        runKeymap(),
        keymap.of([...defaultKeymap, ...historyKeymap]),
        syntaxHighlighting(defaultHighlightStyle),
        ...extensions,
      ],
    }),
  });
}

const editors = {
  schema: makeEditor($("schema"), [schemaLanguage]),
  source: makeEditor($("source"), []),
};
const result = makeEditor($("result"), [EditorState.readOnly.of(true), EditorView.editable.of(false)]);

function setText(view, text) {
  view.dispatch({ changes: { from: 0, to: view.state.doc.length, insert: text } });
}

function setStatus(text, kind = "") {
  $("status").textContent = text;
  $("status").className = kind;
}

// --- The worker -----------------------------------------------------------

// Everything a worker needs is fetched and compiled once, so a new worker
// after Stop starts at once and without the network.
const workerSource = Promise.all(
  ["zorvex_engine.js", "worker.js"].map((file) => fetch(file).then((r) => r.text())),
).then((texts) => URL.createObjectURL(new Blob([texts.join("\n")], { type: "text/javascript" })));
const compiledEngine = WebAssembly.compileStreaming(fetch("zorvex_engine.wasm"));

let worker = null;
let workerReady = null;
let running = null; // the run waiting for its answer: {id, resolve}
let nextId = 1;

function startWorker() {
  workerReady = Promise.all([workerSource, compiledEngine]).then(([url, module]) => {
    worker = new Worker(url);
    worker.onmessage = (event) => {
      const message = event.data;
      if (message.type === "answer" && running && message.id === running.id) {
        const done = running;
        running = null;
        done.resolve(message.answer);
      }
    };
    worker.postMessage({ type: "module", module });
  });
  workerReady.catch((error) => setStatus(`engine not loaded: ${error.message}`, "failed"));
}

function translateInWorker(request) {
  return new Promise((resolve) => {
    running = { id: nextId++, resolve };
    worker.postMessage({ id: running.id, request });
  });
}

// --- Running ----------------------------------------------------------------

function limits() {
  const number = (id) => Math.max(0, Number($(id).value) || 0);
  return { timeoutSeconds: number("time-limit"), maxSteps: Math.floor(number("step-limit")) };
}

async function run() {
  if (running || $("run").disabled) return;
  const request = {
    schema: editors.schema.state.doc.toString(),
    source: editors.source.state.doc.toString(),
    debug: $("debug").checked,
    ...limits(),
  };
  $("run").disabled = true;
  $("stop").disabled = false;
  setStatus("running…", "running");
  document.body.dataset.state = "running";
  try {
    await workerReady;
  } catch {
    $("run").disabled = false;
    $("stop").disabled = true;
    return;
  }
  const started = performance.now();
  const answer = await translateInWorker(request);
  showAnswer(answer, ((performance.now() - started) / 1000).toFixed(2));
}

function stop() {
  if (!running) return;
  running = null;
  worker?.terminate();
  startWorker();
  setStatus("stopped", "failed");
  finishRun("stopped");
}

function finishRun(state) {
  $("run").disabled = false;
  $("stop").disabled = true;
  document.body.dataset.state = state;
}

function showAnswer(answer, seconds) {
  setText(result, answer.result ?? "");
  showConsole(answer);
  if (answer.error) {
    setStatus(`error ${answer.error.number}`, "failed");
    finishRun("failed");
  } else {
    setStatus(`done in ${seconds} s`, "done");
    finishRun("done");
  }
}

// --- The console --------------------------------------------------------------

function showConsole(answer) {
  const pane = $("console");
  pane.textContent = "";
  // The engine writes CR LF; the pane shows plain line breaks.
  const text = answer.console.replace(/\r\n?/g, "\n");
  if (text) pane.append(text.endsWith("\n") ? text : text + "\n");
  if (answer.console_cut) pane.append("… (the console was cut here)\n");
  for (const d of answer.diagnostics) {
    const link = document.createElement("a");
    link.href = "#";
    link.className = `diagnostic ${d.kind}`;
    link.textContent = d.text;
    link.addEventListener("click", (event) => {
      event.preventDefault();
      reveal(d.file, d.line, d.column);
    });
    pane.append(link, "\n");
  }
}

// Puts the editor's cursor on LINE:COLUMN, the column counted in characters
// (code points) as the engine counts them.
function reveal(file, line, column) {
  const view = editors[file];
  if (!view) return;
  const doc = view.state.doc;
  const docLine = doc.line(Math.min(Math.max(1, line), doc.lines));
  const chars = Array.from(docLine.text).slice(0, Math.max(0, column - 1));
  const offset = Math.min(chars.join("").length, docLine.length);
  view.dispatch({
    selection: { anchor: docLine.from + offset },
    effects: EditorView.scrollIntoView(docLine.from + offset, { y: "center" }),
  });
  view.focus();
}

// The editors and reveal, for the browser test and the developer console.
window.playground = { ...editors, result, reveal };

// --- Examples and share links ------------------------------------------------

function loadExample(example) {
  setText(editors.schema, example.schema);
  setText(editors.source, example.source);
  $("debug").checked = example.debug;
}

function fillExamplesMenu() {
  const menu = $("examples");
  examples.forEach((example, index) => {
    const option = document.createElement("option");
    option.value = String(index);
    option.textContent = example.name;
    menu.append(option);
  });
  menu.addEventListener("change", () => {
    if (menu.value === "") return;
    loadExample(examples[Number(menu.value)]);
    menu.value = "";
    run();
  });
}

async function share() {
  const fragment = await shareFragment(
    editors.schema.state.doc.toString(),
    editors.source.state.doc.toString(),
  );
  window.history.replaceState(null, "", fragment);
  $("share-link").value = location.href;
  $("share-link").hidden = false;
  $("share-link").select();
  try {
    await navigator.clipboard.writeText(location.href);
    setStatus("link copied", "done");
  } catch {
    setStatus("link ready", "done");
  }
}

async function openFromFragment() {
  try {
    const shared = await readFragment(location.hash);
    if (!shared) return false;
    setText(editors.schema, shared.schema);
    setText(editors.source, shared.source);
    return true;
  } catch {
    setStatus("the share link is damaged", "failed");
    return false;
  }
}

// --- Start ------------------------------------------------------------------

$("run").addEventListener("click", run);
$("stop").addEventListener("click", stop);
$("share").addEventListener("click", share);
fillExamplesMenu();
startWorker();
if (!(await openFromFragment())) loadExample(examples[0]);
run();
