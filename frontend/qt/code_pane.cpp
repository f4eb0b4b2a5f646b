#include "frontend/qt/code_pane.h"

#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QTextBlock>
#include <algorithm>

namespace zr {

class code_pane::margin : public QWidget {
 public:
  explicit margin(code_pane* pane) : QWidget(pane), pane_(pane) {}
  QSize sizeHint() const override { return {pane_->margin_width(), 0}; }

 protected:
  void paintEvent(QPaintEvent* event) override { pane_->paint_margin(event); }

 private:
  code_pane* pane_;
};

code_pane::code_pane(QWidget* parent, bool own_keys)
    : QPlainTextEdit(parent), margin_(new margin(this)) {
  setLineWrapMode(QPlainTextEdit::NoWrap);
  QFont fixed(QStringLiteral("Monospace"));
  fixed.setStyleHint(QFont::TypeWriter);
  setFont(fixed);
  connect(this, &QPlainTextEdit::blockCountChanged, this,
          [this] { setViewportMargins(margin_width(), 0, 0, 0); });
  connect(this, &QPlainTextEdit::updateRequest, this, [this](const QRect& rect, int dy) {
    if (dy != 0) {
      margin_->scroll(0, dy);
    } else {
      margin_->update(0, rect.y(), margin_->width(), rect.height());
    }
  });
  setViewportMargins(margin_width(), 0, 0, 0);
  if (!own_keys) return;
  auto on_key = [this](QKeySequence keys, auto action) {
    auto* shortcut = new QShortcut(keys, this, action);
    shortcut->setContext(Qt::WidgetShortcut);
  };
  on_key(QKeySequence(Qt::CTRL | Qt::Key_G), [this] { ask_line(); });
  on_key(QKeySequence::Find, [this] { ask_find(); });
  on_key(QKeySequence(Qt::Key_F3), [this] { find_again(); });
  on_key(QKeySequence(Qt::CTRL | Qt::Key_H), [this] { ask_replace(); });
}

int code_pane::margin_width() const {
  int digits = 1;
  for (int lines = std::max(1, blockCount()); lines >= 10; lines /= 10)
    ++digits;
  return 8 + fontMetrics().horizontalAdvance(QLatin1Char('9')) * std::max(digits, 3);
}

void code_pane::resizeEvent(QResizeEvent* event) {
  QPlainTextEdit::resizeEvent(event);
  QRect inside = contentsRect();
  margin_->setGeometry(inside.left(), inside.top(), margin_width(), inside.height());
}

void code_pane::paint_margin(QPaintEvent* event) {
  QPainter painter(margin_);
  painter.fillRect(event->rect(), palette().color(QPalette::AlternateBase));
  painter.setPen(palette().color(QPalette::PlaceholderText));
  // Only the blocks in view are visited: the cost does not grow with the text.
  QTextBlock block = firstVisibleBlock();
  int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
  while (block.isValid() && top <= event->rect().bottom()) {
    int height = qRound(blockBoundingRect(block).height());
    if (block.isVisible() && top + height >= event->rect().top()) {
      painter.drawText(0, top, margin_->width() - 4, fontMetrics().height(), Qt::AlignRight,
                       QString::number(block.blockNumber() + 1));
    }
    top += height;
    block = block.next();
  }
}

void code_pane::go_to_line(int line) {
  QTextBlock block = document()->findBlockByNumber(std::clamp(line, 1, blockCount()) - 1);
  QTextCursor cursor(block);
  setTextCursor(cursor);
  centerCursor();
}

bool code_pane::find_next(const QString& wanted) {
  if (wanted.isEmpty()) return false;
  QTextCursor found = document()->find(wanted, textCursor());
  if (found.isNull()) found = document()->find(wanted, 0);
  if (found.isNull()) return false;
  setTextCursor(found);
  return true;
}

namespace {

enum class replace_choice { one, all, skip, cancel };

// Asks what to do with the selected match.
replace_choice ask_replace_choice(QWidget* parent, const QString& wanted) {
  QMessageBox ask(QMessageBox::Question, QStringLiteral("Replace"),
                  QStringLiteral("Replace this \"%1\"?").arg(wanted), QMessageBox::NoButton,
                  parent);
  ask.setTextFormat(Qt::PlainText);
  QPushButton* one = ask.addButton(QStringLiteral("&Replace"), QMessageBox::AcceptRole);
  QPushButton* all = ask.addButton(QStringLiteral("Replace &all"), QMessageBox::AcceptRole);
  QPushButton* skip = ask.addButton(QStringLiteral("&Skip"), QMessageBox::RejectRole);
  ask.addButton(QMessageBox::Cancel);
  ask.setDefaultButton(one);
  ask.exec();
  if (ask.clickedButton() == one) return replace_choice::one;
  if (ask.clickedButton() == all) return replace_choice::all;
  if (ask.clickedButton() == skip) return replace_choice::skip;
  return replace_choice::cancel;
}

}  // namespace

int code_pane::replace_asking(const QString& wanted, const QString& replacement) {
  if (wanted.isEmpty()) return 0;
  int count = 0;
  bool all = false;
  QTextCursor edit(document());
  for (QTextCursor found = document()->find(wanted, 0); !found.isNull();
       found = document()->find(wanted, found)) {
    if (!all) {
      setTextCursor(found);
      replace_choice choice = ask_replace_choice(this, wanted);
      if (choice == replace_choice::skip) continue;
      if (choice == replace_choice::cancel) break;
      if (choice == replace_choice::all) {
        // This one and the rest, as one edit to undo.
        all = true;
        edit.beginEditBlock();
      }
    }
    found.insertText(replacement);
    ++count;
  }
  if (all) edit.endEditBlock();
  return count;
}

QString code_pane::caret_place() const {
  QTextCursor cursor = textCursor();
  return QStringLiteral("%1:%2").arg(cursor.blockNumber() + 1).arg(cursor.positionInBlock() + 1);
}

void code_pane::ask_line() {
  bool ok = false;
  int line = QInputDialog::getInt(this, QStringLiteral("Go to line"), QStringLiteral("Line:"),
                                  textCursor().blockNumber() + 1, 1, blockCount(), 1, &ok);
  if (ok) go_to_line(line);
}

void code_pane::say(const QString& message) {
  QMessageBox box(QMessageBox::Information, QStringLiteral("zorvex"), message, QMessageBox::Ok,
                  this);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void code_pane::ask_find() {
  bool ok = false;
  QString wanted = QInputDialog::getText(this, QStringLiteral("Find"), QStringLiteral("Find:"),
                                         QLineEdit::Normal, last_find_, &ok);
  if (!ok || wanted.isEmpty()) return;
  last_find_ = wanted;
  find_again();
}

void code_pane::find_again() {
  if (last_find_.isEmpty()) {
    ask_find();
    return;
  }
  if (!find_next(last_find_)) say(QStringLiteral("\"%1\" not found").arg(last_find_));
}

void code_pane::ask_replace() {
  bool ok = false;
  QString wanted = QInputDialog::getText(this, QStringLiteral("Replace"), QStringLiteral("Find:"),
                                         QLineEdit::Normal, last_find_, &ok);
  if (!ok || wanted.isEmpty()) return;
  QString replacement =
      QInputDialog::getText(this, QStringLiteral("Replace"), QStringLiteral("Replace with:"),
                            QLineEdit::Normal, QString(), &ok);
  if (!ok) return;
  last_find_ = wanted;
  const int count = replace_asking(wanted, replacement);
  if (count == 0 && document()->find(wanted, 0).isNull()) {
    say(QStringLiteral("\"%1\" not found").arg(wanted));
    return;
  }
  say(count == 1 ? QStringLiteral("1 replacement") : QStringLiteral("%1 replacements").arg(count));
}

QLabel* caret_indicator(code_pane* pane) {
  auto* label = new QLabel(pane->caret_place());
  QObject::connect(pane, &QPlainTextEdit::cursorPositionChanged, label,
                   [pane, label] { label->setText(pane->caret_place()); });
  return label;
}

}  // namespace zr
