#include "frontend/qt/windows.h"

#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

#include "frontend/qt/code_pane.h"
#include "frontend/qt/schema_highlighter.h"

namespace zr {

namespace {

// Captions and texts are set by the logic; the builder only makes the widgets.
class window_builder {
 public:
  explicit window_builder(zorvex_windows& windows) : windows_(windows) {}

  QLineEdit* name_box(control which) {
    auto* box = new QLineEdit;
    // Names are not cut at Qt's default limit of 32767 characters.
    box->setMaxLength(std::numeric_limits<int>::max());
    return add(which, box);
  }

  // The console and the hidden help box: wrapped text.
  QPlainTextEdit* pane(control which) {
    auto* box = new QPlainTextEdit;
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    return add(which, box);
  }

  // Schema, source and result: code with line numbers, never wrapped; the
  // menu bar carries their keys.
  code_pane* code(control which) {
    auto* box = new code_pane(nullptr, false);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return add(which, box);
  }

  QPushButton* button(control which) {
    auto* b = new QPushButton;
    b->setAutoDefault(false);
    return add(which, b);
  }

  QLabel* label(control which) {
    auto* l = new QLabel;
    l->setAutoFillBackground(true);
    l->setAlignment(Qt::AlignCenter);
    l->setMinimumWidth(60);
    return add(which, l);
  }

  QWidget* get(control which) const { return windows_.controls.at(which); }

  template <class Widget>
  Widget* add(control which, Widget* widget) {
    widget->setObjectName(QString::fromLatin1(control_name(which)));
    windows_.controls[which] = widget;
    return widget;
  }

 private:
  zorvex_windows& windows_;
};

QLabel* area_caption(const char* caption) {
  return new QLabel(QString::fromLatin1(caption));
}

// A column of widgets, packed at the top.
QVBoxLayout* column(std::initializer_list<QWidget*> widgets) {
  auto* layout = new QVBoxLayout;
  for (QWidget* widget : widgets)
    layout->addWidget(widget);
  layout->addStretch();
  return layout;
}

// A widget holding a layout, for a splitter.
QWidget* holding(QLayout* layout) {
  auto* holder = new QWidget;
  layout->setContentsMargins(0, 0, 0, 0);
  holder->setLayout(layout);
  return holder;
}

// A code pane with its caption above and its line:column below.
QWidget* captioned(window_builder& b, control caption, control which) {
  auto* layout = new QVBoxLayout;
  layout->addWidget(b.label(caption));
  code_pane* pane = b.code(which);
  layout->addWidget(pane, 1);
  QLabel* place = caret_indicator(pane);
  place->setAlignment(Qt::AlignRight);
  layout->addWidget(place);
  return holding(layout);
}

// A mode button with its label beside it.
QHBoxLayout* with_label(QWidget* button, QWidget* label) {
  auto* layout = new QHBoxLayout;
  layout->addWidget(button);
  layout->addWidget(label);
  return layout;
}

// The menu bar. Its titles' accelerators (F, D, U, P) leave those of the
// buttons (Alt+A, R, L, G, S, H, E) as they are.
void build_menu(zorvex_windows& windows, QMenuBar* bar, QMenu* recent) {
  auto add = [&windows](QMenu* menu, menu_entry which, const char* caption,
                        QKeySequence keys = QKeySequence()) {
    QAction* action = menu->addAction(QString::fromLatin1(caption));
    action->setShortcut(keys);
    windows.menu[which] = action;
  };
  QMenu* file = bar->addMenu(QStringLiteral("&File"));
  add(file, menu_entry::open_schema, "Open &schema...", QKeySequence::Open);
  add(file, menu_entry::open_source, "Open s&ource...");
  add(file, menu_entry::save, "&Save", QKeySequence::Save);
  add(file, menu_entry::save_as, "Save &As...", QKeySequence::SaveAs);
  file->addMenu(recent)->setText(QStringLiteral("&Recent"));
  file->addSeparator();
  add(file, menu_entry::quit, "&Quit", QKeySequence::Quit);
  QMenu* edit = bar->addMenu(QStringLiteral("E&dit"));
  add(edit, menu_entry::undo, "&Undo", QKeySequence::Undo);
  add(edit, menu_entry::redo, "&Redo", QKeySequence::Redo);
  edit->addSeparator();
  add(edit, menu_entry::find, "&Find...", QKeySequence::Find);
  add(edit, menu_entry::find_next, "Find &next", QKeySequence::FindNext);
  add(edit, menu_entry::replace, "R&eplace...", QKeySequence::Replace);
  add(edit, menu_entry::go_to_line, "&Go to line...", QKeySequence(Qt::CTRL | Qt::Key_G));
  QMenu* run = bar->addMenu(QStringLiteral("R&un"));
  add(run, menu_entry::go, "&Go", QKeySequence(Qt::Key_F5));
  add(run, menu_entry::stop, "&Stop", QKeySequence(Qt::SHIFT | Qt::Key_F5));
  add(run, menu_entry::debug, "&Debug");
  add(run, menu_entry::step, "S&tep");
  add(run, menu_entry::suspend, "Suspend/&resume");
  QMenu* help = bar->addMenu(QStringLiteral("Hel&p"));
  add(help, menu_entry::guide, "&Guide", QKeySequence::HelpContents);
  add(help, menu_entry::reference, "&Reference");
  add(help, menu_entry::about, "&About");
}

void build_main(zorvex_windows& windows, window_builder& b, QWidget* window) {
  b.add(control::zrmain, window);
  auto* layout = new QVBoxLayout(window);
  auto* bar = new QMenuBar(window);
  layout->setMenuBar(bar);

  // The three name rows, with the buttons that manage names beside them.
  struct name_row {
    const char* caption;
    control box;
    control browse;
    control manage;
  };
  const name_row rows[] = {
      {"schema:", control::txtSchemaFile, control::cmdBrowse0, control::cmdSavePreferences},
      {"source:", control::txtSourceFile, control::cmdBrowse1, control::cmdRestoreNames},
      {"result:", control::txtResultFile, control::cmdBrowse2, control::cmdLoad},
  };
  auto* names = new QGridLayout;
  int row = 0;
  for (const name_row& r : rows) {
    names->addWidget(area_caption(r.caption), row, 0);
    names->addWidget(b.name_box(r.box), row, 1);
    names->addWidget(b.button(r.browse), row, 2);
    names->addWidget(b.button(r.manage), row, 3);
    ++row;
  }
  // The recent pairs, beside load.
  auto* recent = new QToolButton;
  recent->setPopupMode(QToolButton::InstantPopup);
  recent->setMenu(new QMenu(recent));
  names->addWidget(b.add(control::cmdRecent, recent), 2, 4);
  build_menu(windows, bar, recent->menu());
  names->setColumnStretch(1, 1);
  layout->addLayout(names);

  // Schema and source side by side, each with its buttons; splitters between
  // them and between the three rows of panes.
  auto* sides = new QSplitter(Qt::Horizontal);
  sides->setObjectName(QStringLiteral("sides"));
  windows.sides = sides;
  auto* schema_side = new QHBoxLayout;
  schema_side->addWidget(captioned(b, control::lblSchemaPane, control::txtSchema), 1);
  schema_side->addLayout(
      column({b.button(control::cmdSaveSchema), b.button(control::cmdOpenSchema)}));
  sides->addWidget(holding(schema_side));
  auto* source_side = new QHBoxLayout;
  source_side->addWidget(captioned(b, control::lblSourcePane, control::txtSource), 1);
  source_side->addLayout(column({b.button(control::cmdSaveSource)}));
  sides->addWidget(holding(source_side));
  new schema_highlighter(static_cast<QPlainTextEdit*>(b.get(control::txtSchema))->document());

  // The console across the width, with run control beside it.
  auto* console = new QVBoxLayout;
  console->addWidget(area_caption("console"));
  auto* console_row = new QHBoxLayout;
  console_row->addWidget(b.pane(control::txtConsole), 1);
  QLabel* exception = b.label(control::lbllblException);
  QPushButton* clear_exception = b.button(control::cmdException);
  auto* run = new QVBoxLayout;
  run->addWidget(b.button(control::cmdGo));
  run->addLayout(with_label(b.button(control::cmdDebug), b.label(control::lblDebug)));
  run->addLayout(with_label(b.button(control::cmdSteps), b.label(control::lblSteps)));
  run->addWidget(b.button(control::cmdSuspend));
  run->addWidget(b.button(control::cmdStop));
  // The busy indicator's text never widens the column: the run controls stay
  // where the editor window was placed beside them.
  QLabel* busy = b.label(control::lblBusy);
  busy->setWordWrap(true);
  busy->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  run->addWidget(busy);
  run->addWidget(b.button(control::cmdClearConsole));
  run->addLayout(with_label(exception, clear_exception));
  run->addStretch();
  console_row->addLayout(run);
  console->addLayout(console_row, 1);

  // The result at the bottom, with help, about and end beside it.
  auto* result = new QHBoxLayout;
  result->addWidget(b.code(control::txtResult), 1);
  result->addLayout(
      column({b.button(control::cmdHelp), b.button(control::cmdDemo), b.button(control::btnEnd)}));

  auto* areas = new QSplitter(Qt::Vertical);
  areas->setObjectName(QStringLiteral("areas"));
  windows.areas = areas;
  areas->addWidget(sides);
  areas->addWidget(holding(console));
  areas->addWidget(holding(result));
  areas->setStretchFactor(0, 3);
  areas->setStretchFactor(1, 3);
  areas->setStretchFactor(2, 2);
  areas->setChildrenCollapsible(false);
  layout->addWidget(areas, 1);

  // The help text lives in a box that is never shown.
  QPlainTextEdit* help = b.pane(control::txtHelp);
  help->setParent(window);
  help->hide();

  // Showing and hiding the exception indicator must not move the other controls.
  for (QWidget* indicator :
       {static_cast<QWidget*>(exception), static_cast<QWidget*>(clear_exception)}) {
    QSizePolicy policy = indicator->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    indicator->setSizePolicy(policy);
  }
  window->setWindowTitle(QStringLiteral("zorvex"));
}

void build_editor(zorvex_windows& windows, window_builder& b, QWidget* window) {
  b.add(control::frmEdit, window);
  window->setAutoFillBackground(true);
  // txtEdit is placed by the logic's adjust_size, not by a layout; its
  // line:column goes below it.
  auto* box = new code_pane(window, true);
  b.add(control::txtEdit, box);
  windows.editor_place = caret_indicator(box);
  windows.editor_place->setParent(window);
  box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QFont courier(QStringLiteral("Courier New"));
  courier.setStyleHint(QFont::TypeWriter);
  courier.setFixedPitch(true);
  box->setFont(courier);
}

}  // namespace

zorvex_windows build_windows() {
  zorvex_windows windows;
  windows.main = std::make_unique<QWidget>();
  windows.editor = std::make_unique<QWidget>();
  window_builder builder(windows);
  build_main(windows, builder, windows.main.get());
  build_editor(windows, builder, windows.editor.get());
  return windows;
}

void fit_to_screen(zorvex_windows& windows, const QRect& available) {
  QSize size = available.size() * 0.9;
  QRect placed(QPoint(), size);
  placed.moveCenter(available.center());
  windows.main->setGeometry(placed);
  // The panes the user edits get three fifths of the height, the console and
  // the result a fifth each.
  const int height = std::max(windows.areas->height(), size.height() * 3 / 4);
  windows.areas->setSizes({height * 3 / 5, height / 5, height / 5});
}

}  // namespace zr
