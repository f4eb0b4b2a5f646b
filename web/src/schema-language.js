// Highlighting of the schema language: header directives and comments, state
// lines (the names at the start of a line: "-r top", "body"), the event word
// that opens an indented event line, texts in backquotes or double quotes,
// commands ("+.open", "-e") and the rest of an action ("..=n,0").
import { StreamLanguage } from "@codemirror/language";

function startState() {
  return { inSchema: false, lineStart: true };
}

function token(stream, state) {
  if (stream.sol()) {
    state.lineStart = true;
    if (stream.match(/^\\\\schema\b.*/)) {
      state.inSchema = true;
      return "keyword";
    }
    if (stream.match(/^\\\\end schema.*/)) {
      state.inSchema = false;
      return "keyword";
    }
    if (stream.match(/^\\\\.*/)) return "keyword";
    if (!state.inSchema) {
      stream.skipToEnd();
      return "comment";
    }
    if (stream.match(/^'.*/)) return "comment";
    if (stream.match(/^\S.*/)) return "typeName";
  }
  if (stream.eatSpace()) return null;
  if (state.lineStart) {
    state.lineStart = false;
    stream.match(/^\S+/);
    return "def";
  }
  if (stream.match(/^'.*/)) return "comment";
  if (stream.match(/^`[^`]*`?/) || stream.match(/^\.?"[^"]*"?/)) return "string";
  if (stream.match(/^\d+(?=\s|$)/)) return "number";
  if (stream.match(/^[+-]\S+/)) return "keyword";
  stream.match(/^\S+/);
  return "atom";
}

export const schemaLanguage = StreamLanguage.define({
  name: "zorvex-schema",
  startState,
  token,
  copyState: (state) => ({ ...state }),
});
