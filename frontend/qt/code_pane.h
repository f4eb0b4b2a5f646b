// A text pane for code: line numbers in a margin, no word wrap, and the
// editor's commands: go to line, find, find again (each saying "not found"
// when the text is not there) and replace (asking replace, replace all or
// skip at each match, then saying how many were replaced). A pane with keys
// of its own takes Ctrl+G, Ctrl+F, F3 and Ctrl+H; in the main window the menu
// bar carries those keys.
#pragma once

#include <QPlainTextEdit>
#include <QString>

class QLabel;

namespace zr {

class code_pane : public QPlainTextEdit {
 public:
  explicit code_pane(QWidget* parent = nullptr, bool own_keys = false);

  // The margin's width for the current number of lines.
  int margin_width() const;
  // Moves the caret to the start of the line (from 1; clamped to the text).
  void go_to_line(int line);
  // Finds the text after the caret, wrapping at the end; false when absent.
  bool find_next(const QString& wanted);
  // Goes through the occurrences from the caret on (wrapping at the end),
  // selecting each and asking: replace, replace all (this one and the rest,
  // as one edit), skip, or cancel. Returns how many were replaced.
  int replace_asking(const QString& wanted, const QString& replacement);
  // The "line:column" of the caret, both from 1.
  QString caret_place() const;

  // The commands, as the keys and the menu bar start them: each asks for
  // what it needs in a dialog.
  void ask_line();
  void ask_find();
  void find_again();
  void ask_replace();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  class margin;
  void paint_margin(QPaintEvent* event);
  void say(const QString& message);

  margin* margin_;
  QString last_find_;
};

// A label that shows a code pane's "line:column" as the caret moves.
QLabel* caret_indicator(code_pane* pane);

}  // namespace zr
