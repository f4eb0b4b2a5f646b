// A text pane for code: line numbers in a margin, no word wrap, and the
// editor keys Ctrl+G (go to line), Ctrl+F and F3 (find, find again) and
// Ctrl+H (replace all, as one step to undo).
#pragma once

#include <QPlainTextEdit>
#include <QString>

class QLabel;

namespace zr {

class code_pane : public QPlainTextEdit {
 public:
  explicit code_pane(QWidget* parent = nullptr);

  // The margin's width for the current number of lines.
  int margin_width() const;
  // Moves the caret to the start of the line (from 1; clamped to the text).
  void go_to_line(int line);
  // Finds the text after the caret, wrapping at the end; false when absent.
  bool find_next(const QString& wanted);
  // Replaces every occurrence as one edit; returns how many there were.
  int replace_all(const QString& wanted, const QString& replacement);
  // The "line:column" of the caret, both from 1.
  QString caret_place() const;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  class margin;
  void paint_margin(QPaintEvent* event);
  void ask_line();
  void ask_find();
  void ask_replace();

  margin* margin_;
  QString last_find_;
};

// A label that shows a code pane's "line:column" as the caret moves.
QLabel* caret_indicator(code_pane* pane);

}  // namespace zr
