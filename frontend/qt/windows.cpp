#include "frontend/qt/windows.h"

#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <limits>

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

  QPlainTextEdit* pane(control which) {
    auto* box = new QPlainTextEdit;
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
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

  template <class Widget>
  Widget* add(control which, Widget* widget) {
    widget->setObjectName(QString::fromLatin1(name_of(which)));
    windows_.controls[which] = widget;
    return widget;
  }

 private:
  static const char* name_of(control which);
  zorvex_windows& windows_;
};

const char* window_builder::name_of(control which) {
  switch (which) {
    case control::zrmain:
      return "zrmain";
    case control::txtSchemaFile:
      return "txtSchemaFile";
    case control::txtSourceFile:
      return "txtSourceFile";
    case control::txtResultFile:
      return "txtResultFile";
    case control::cmdBrowse0:
      return "cmdBrowse0";
    case control::cmdBrowse1:
      return "cmdBrowse1";
    case control::cmdBrowse2:
      return "cmdBrowse2";
    case control::txtSchema:
      return "txtSchema";
    case control::txtSource:
      return "txtSource";
    case control::txtConsole:
      return "txtConsole";
    case control::txtResult:
      return "txtResult";
    case control::txtHelp:
      return "txtHelp";
    case control::cmdSaveSchema:
      return "cmdSaveSchema";
    case control::cmdSaveSource:
      return "cmdSaveSource";
    case control::cmdSavePreferences:
      return "cmdSavePreferences";
    case control::cmdRestoreNames:
      return "cmdRestoreNames";
    case control::cmdLoad:
      return "cmdLoad";
    case control::cmdOpenSchema:
      return "cmdOpenSchema";
    case control::cmdGo:
      return "cmdGo";
    case control::cmdDebug:
      return "cmdDebug";
    case control::cmdSteps:
      return "cmdSteps";
    case control::cmdSuspend:
      return "cmdSuspend";
    case control::cmdStop:
      return "cmdStop";
    case control::lblDebug:
      return "lblDebug";
    case control::lblSteps:
      return "lblSteps";
    case control::cmdClearConsole:
      return "cmdClearConsole";
    case control::lbllblException:
      return "lbllblException";
    case control::cmdException:
      return "cmdException";
    case control::cmdHelp:
      return "cmdHelp";
    case control::cmdDemo:
      return "cmdDemo";
    case control::btnEnd:
      return "btnEnd";
    case control::frmEdit:
      return "frmEdit";
    case control::txtEdit:
      return "txtEdit";
  }
  return "";
}

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

// A mode button with its label beside it.
QHBoxLayout* with_label(QWidget* button, QWidget* label) {
  auto* layout = new QHBoxLayout;
  layout->addWidget(button);
  layout->addWidget(label);
  return layout;
}

void build_main(window_builder& b, QWidget* window) {
  b.add(control::zrmain, window);
  auto* layout = new QVBoxLayout(window);

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
  names->setColumnStretch(1, 1);
  layout->addLayout(names);

  // Schema and source side by side, each with its buttons.
  auto* panes = new QHBoxLayout;
  panes->addWidget(b.pane(control::txtSchema), 1);
  panes->addLayout(column({b.button(control::cmdSaveSchema), b.button(control::cmdOpenSchema)}));
  panes->addWidget(b.pane(control::txtSource), 1);
  panes->addLayout(column({b.button(control::cmdSaveSource)}));
  layout->addLayout(panes, 3);

  // The console across the width, with run control beside it.
  layout->addWidget(area_caption("console"));
  auto* console = new QHBoxLayout;
  console->addWidget(b.pane(control::txtConsole), 1);
  QLabel* exception = b.label(control::lbllblException);
  QPushButton* clear_exception = b.button(control::cmdException);
  auto* run = new QVBoxLayout;
  run->addWidget(b.button(control::cmdGo));
  run->addLayout(with_label(b.button(control::cmdDebug), b.label(control::lblDebug)));
  run->addLayout(with_label(b.button(control::cmdSteps), b.label(control::lblSteps)));
  run->addWidget(b.button(control::cmdSuspend));
  run->addWidget(b.button(control::cmdStop));
  run->addWidget(b.button(control::cmdClearConsole));
  run->addLayout(with_label(exception, clear_exception));
  run->addStretch();
  console->addLayout(run);
  layout->addLayout(console, 3);

  // The result at the bottom, with help, about and end beside it.
  auto* result = new QHBoxLayout;
  result->addWidget(b.pane(control::txtResult), 1);
  result->addLayout(
      column({b.button(control::cmdHelp), b.button(control::cmdDemo), b.button(control::btnEnd)}));
  layout->addLayout(result, 2);

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
  window->resize(1040, 760);
}

void build_editor(window_builder& b, QWidget* window) {
  b.add(control::frmEdit, window);
  window->setAutoFillBackground(true);
  // txtEdit is placed by the logic's adjust_size, not by a layout.
  auto* box = new QPlainTextEdit(window);
  b.add(control::txtEdit, box);
  box->setLineWrapMode(QPlainTextEdit::NoWrap);
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
  build_main(builder, windows.main.get());
  build_editor(builder, windows.editor.get());
  return windows;
}

}  // namespace zr
