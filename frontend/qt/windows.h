// The two windows of zorvex as Qt widgets: the main window with its name rows,
// panes, buttons and labels, and the editor window with its one text box.
// Every control the logic names is reachable by its name.
#pragma once

#include <QWidget>
#include <map>
#include <memory>

#include "frontend/toolkit.h"

namespace zr {

struct zorvex_windows {
  std::unique_ptr<QWidget> main;
  std::unique_ptr<QWidget> editor;
  // Every control of both windows, the windows themselves included.
  std::map<control, QWidget*> controls;
};

// Builds both windows, hidden, with the controls laid out: name rows at the
// top, schema and source panes side by side, the console across the width,
// the result at the bottom, the buttons beside the panes they act on.
zorvex_windows build_windows();

}  // namespace zr
