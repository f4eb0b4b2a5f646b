// The two windows of zorvex as Qt widgets: the main window with its name rows,
// panes, buttons and labels, and the editor window with its one text box.
// Every control the logic names is reachable by its name.
#pragma once

#include <QAction>
#include <QLabel>
#include <QSplitter>
#include <QWidget>
#include <map>
#include <memory>

#include "frontend/toolkit.h"

namespace zr {

// The entries of the main window's menu bar.
enum class menu_entry {
  open_schema,
  open_source,
  save,
  save_as,
  quit,
  undo,
  redo,
  find,
  find_next,
  replace,
  go_to_line,
  go,
  stop,
  debug,
  step,
  suspend,
  guide,
  reference,
  about,
};

struct zorvex_windows {
  std::unique_ptr<QWidget> main;
  std::unique_ptr<QWidget> editor;
  // Every control of both windows, the windows themselves included.
  std::map<control, QWidget*> controls;
  // The splitters between schema and source, and between the three areas.
  QSplitter* sides = nullptr;
  QSplitter* areas = nullptr;
  // The editor window's line:column, below its text box.
  QLabel* editor_place = nullptr;
  std::map<menu_entry, QAction*> menu;
};

// Builds both windows, hidden, with the controls laid out: a menu bar, name
// rows at the top, schema and source panes side by side, the console across
// the width, the result at the bottom, the buttons beside the panes they act
// on.
zorvex_windows build_windows();

// Sizes the main window for a screen's available area: nine tenths of it,
// centred, with the schema and source panes given three fifths of the height
// of the areas, the console and the result a fifth each.
void fit_to_screen(zorvex_windows& windows, const QRect& available);

}  // namespace zr
