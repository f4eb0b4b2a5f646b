// Highlighting of the schema language: header directives and comments,
// state lines ("-r top"), the event word that opens an event line, texts in
// backquotes or double quotes, and commands ("+.open", "-e", "..=n,0").
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
    if (stream.match(/^-\S+/)) {
      state.lineStart = false;
      stream.skipToEnd();
      return "typeName";
    }
  }
  if (stream.eatSpace()) return null;
  if (state.lineStart) {
    state.lineStart = false;
    stream.match(/^\S+/);
    return "variableName";
  }
  if (stream.match(/^`[^`]*`?/) || stream.match(/^\.?"[^"]*"?/)) return "string";
  if (stream.match(/^\d+(?=\s|$)/)) return "number";
  if (stream.match(/^[+-]\S+/)) return "operator";
  stream.match(/^\S+/);
  return "atom";
}

export const schemaLanguage = StreamLanguage.define({
  name: "zorvex-schema",
  startState,
  token,
  copyState: (state) => ({ ...state }),
});
