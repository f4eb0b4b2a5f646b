#include "frontend/qt/qt_toolkit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSettings>
#include <QTextBlock>
#include <QTime>
#include <QToolButton>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "common/errors.h"
#include "frontend/qt/box_text.h"
#include "frontend/qt/code_pane.h"

namespace zr {

namespace {

constexpr double twips_per_inch = 1440;

QColor resolve(colour c) {
  switch (c.of) {
    case colour::kind::button_face:
      return QApplication::palette().color(QPalette::Button);
    case colour::kind::button_text:
      return QApplication::palette().color(QPalette::ButtonText);
    case colour::kind::rgb:
      break;
  }
  return QColor(c.red, c.green, c.blue);
}

// Message texts break lines with CR LF; a label shows only the LF.
QString shown_message(text_view message) {
  QString shown = qt_text(message);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return shown;
}

double screen_dpi() {
  QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->logicalDotsPerInch() : 96.0;
}

}  // namespace

qt_toolkit::qt_toolkit(QStringList arguments) : windows_(build_windows()) {
  for (const QString& argument : arguments)
    arguments_.push_back(from_qt(argument));
  for (control which : {control::txtSchema, control::txtSource, control::txtConsole,
                        control::txtResult, control::txtHelp, control::txtEdit}) {
    pane_box& box = panes_[which];
    box.widget = static_cast<QPlainTextEdit*>(widget(which));
    // The engine's messages and results break lines with CR LF; a new file
    // takes the platform's LF.
    bool engine_text =
        which == control::txtConsole || which == control::txtResult || which == control::txtHelp;
    box.convention = engine_text ? line_end::crlf : line_end::lf;
  }
  connect_events();
  restore_layout();
}

void qt_toolkit::restore_layout() {
  QSettings settings;
  const QByteArray geometry = settings.value(QStringLiteral("window/geometry")).toByteArray();
  if (geometry.isEmpty() || !windows_.main->restoreGeometry(geometry)) {
    QScreen* screen = QGuiApplication::primaryScreen();
    fit_to_screen(windows_,
                  screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768));
    return;
  }
  windows_.areas->restoreState(settings.value(QStringLiteral("window/areas")).toByteArray());
  windows_.sides->restoreState(settings.value(QStringLiteral("window/sides")).toByteArray());
}

void qt_toolkit::save_layout() const {
  QSettings settings;
  settings.setValue(QStringLiteral("window/geometry"), windows_.main->saveGeometry());
  settings.setValue(QStringLiteral("window/areas"), windows_.areas->saveState());
  settings.setValue(QStringLiteral("window/sides"), windows_.sides->saveState());
}

qt_toolkit::~qt_toolkit() {
  // Nothing the windows send while they go may reach the logic.
  events_ = nullptr;
}

void qt_toolkit::connect_events() {
  for (const auto& [which, w] : windows_.controls) {
    auto* button = qobject_cast<QAbstractButton*>(w);
    if (button == nullptr) continue;
    control clicked = which;
    connect(button, &QAbstractButton::clicked, this, [this, clicked] {
      if (events_ != nullptr) events_->clicked(clicked);
    });
  }
  for (auto& [which, box] : panes_) {
    control edited = which;
    connect(box.widget->document(), &QTextDocument::contentsChanged, this, [this, edited] {
      if (!changing_) panes_[edited].edited = true;
    });
    if (which == control::txtHelp) continue;
    double_click_targets_[box.widget->viewport()] = which;
    box.widget->viewport()->installEventFilter(this);
  }
  double_click_targets_[windows_.editor.get()] = control::frmEdit;
  windows_.editor->installEventFilter(this);
  widget(control::txtEdit)->installEventFilter(this);
  // Esc on whichever control of the main window has the keyboard.
  windows_.main->installEventFilter(this);
  for (QWidget* child : windows_.main->findChildren<QWidget*>())
    child->installEventFilter(this);

  connect_menu();
  connect(&timer1_, &QTimer::timeout, this, [this] {
    if (events_ != nullptr) events_->timer_ticked(timer::Timer1);
  });
  connect(&timer2_, &QTimer::timeout, this, [this] {
    if (events_ != nullptr) events_->timer_ticked(timer::Timer2);
  });
}

void qt_toolkit::connect_menu() {
  auto on = [this](menu_entry entry, auto action) {
    connect(windows_.menu.at(entry), &QAction::triggered, this, [this, action] {
      if (events_ != nullptr) action();
    });
  };
  auto click = [this](control button) {
    return [this, button] { static_cast<QAbstractButton*>(widget(button))->click(); };
  };
  auto key = [this](int code) {
    return [this, code] { events_->key_pressed(focused_control(), code); };
  };
  // The pane commands act on the code pane that has the keyboard.
  auto pane = [](auto command) {
    return [command] {
      if (auto* focused = dynamic_cast<code_pane*>(QApplication::focusWidget()))
        (focused->*command)();
    };
  };
  on(menu_entry::open_schema, [this] { events_->clicked(control::mnuOpenSchema); });
  on(menu_entry::open_source, [this] { events_->clicked(control::mnuOpenSource); });
  on(menu_entry::save, key(key_save));
  on(menu_entry::save_as, key(key_save_as));
  on(menu_entry::quit, click(control::btnEnd));
  on(menu_entry::undo, pane(&QPlainTextEdit::undo));
  on(menu_entry::redo, pane(&QPlainTextEdit::redo));
  on(menu_entry::find, pane(&code_pane::ask_find));
  on(menu_entry::find_next, pane(&code_pane::find_again));
  on(menu_entry::replace, pane(&code_pane::ask_replace));
  on(menu_entry::go_to_line, pane(&code_pane::ask_line));
  on(menu_entry::go, click(control::cmdGo));
  on(menu_entry::stop, click(control::cmdStop));
  on(menu_entry::debug, click(control::cmdDebug));
  on(menu_entry::step, click(control::cmdSteps));
  on(menu_entry::suspend, click(control::cmdSuspend));
  on(menu_entry::guide, [this] { open_document(QStringLiteral("guide.md")); });
  on(menu_entry::reference, [this] { open_document(QStringLiteral("reference.md")); });
  on(menu_entry::about, click(control::cmdDemo));
}

control qt_toolkit::focused_control() const {
  QWidget* focused = QApplication::focusWidget();
  if (focused == nullptr) return control::zrmain;
  if (focused->window() == windows_.editor.get()) return control::txtEdit;
  for (const auto& [which, candidate] : windows_.controls)
    if (candidate == focused) return which;
  return control::zrmain;
}

void qt_toolkit::open_document(const QString& name) {
  // Beside the program's home (a source tree), else where it is installed.
  const QString home = qEnvironmentVariable("ZORVEX_HOME", QCoreApplication::applicationDirPath());
  for (const QString& folder : {home + QStringLiteral("/docs"), QStringLiteral(ZORVEX_DOCS_DIR),
                                QStringLiteral(ZORVEX_INSTALLED_DOCS_DIR)}) {
    QFileInfo document(folder + QLatin1Char('/') + name);
    if (document.isFile()) {
      QDesktopServices::openUrl(QUrl::fromLocalFile(document.absoluteFilePath()));
      return;
    }
  }
  message_box(from_qt(QStringLiteral("`%1` is not installed here.").arg(name)));
}

QWidget* qt_toolkit::widget(control which) const {
  auto found = windows_.controls.find(which);
  if (found == windows_.controls.end()) raise_platform_error(error_number::missing_object);
  return found->second;
}

qt_toolkit::pane_box* qt_toolkit::pane(control box) const {
  auto found = panes_.find(box);
  return found == panes_.end() ? nullptr : &found->second;
}

void qt_toolkit::decode(pane_box& box) {
  if (!box.utf8) return;
  box.contents = from_utf8(*box.utf8);
  box.utf8.reset();
  box.convention = line_end_of(box.contents, box.convention);
  box.convention_decided = box.contents.find(U'\n') != text::npos;
}

void qt_toolkit::sync(pane_box& box) const {
  decode(box);
  if (!box.edited) return;
  ++whole_text_conversions_;
  box.contents = logic_text(box.widget->document()->toRawText(), box.convention);
  box.edited = false;
  // A break typed into a text without one: the convention holds from now on.
  if (!box.convention_decided) box.convention_decided = box.contents.find(U'\n') != text::npos;
  box.selection_start = std::min(box.selection_start, box.contents.size());
  box.selection_length = std::min(box.selection_length, box.contents.size() - box.selection_start);
}

QPlainTextEdit* qt_toolkit::materialised(pane_box& box) const {
  if (box.deferred) {
    decode(box);
    box.deferred = false;
    ++whole_text_conversions_;
    change_document([&] { box.widget->setPlainText(document_text(box.contents, box.convention)); });
  }
  return box.widget;
}

template <class Change>
void qt_toolkit::change_document(Change change) const {
  changing_ = true;
  try {
    change();
  } catch (...) {
    changing_ = false;
    throw;
  }
  changing_ = false;
}

text qt_toolkit::box_text(control box) const {
  if (pane_box* p = pane(box)) {
    sync(*p);
    return p->contents;
  }
  if (auto* line = qobject_cast<QLineEdit*>(widget(box))) return from_qt(line->text());
  raise_platform_error(error_number::invalid_argument);
}

std::string qt_toolkit::box_utf8(control box) const {
  pane_box* p = pane(box);
  if (p == nullptr) return to_utf8(box_text(box));
  if (p->utf8) return *p->utf8;
  sync(*p);
  return to_utf8(p->contents);
}

void qt_toolkit::set_box_utf8(control box, std::string value) {
  pane_box* p = pane(box);
  if (p == nullptr || !unattended_) {
    set_box_text(box, from_utf8(value));
    return;
  }
  // Kept as bytes: the text reaches the engine and the files without ever
  // being held as characters. The line end convention stays undecided until
  // the characters are needed.
  p->utf8 = std::move(value);
  p->contents.clear();
  p->deferred = true;
  p->edited = false;
  p->convention_decided = false;
  p->selection_start = 0;
  p->selection_length = 0;
}

void qt_toolkit::set_box_text(control box, text_view value) {
  if (pane_box* p = pane(box)) {
    const bool file_pane = box == control::txtSchema || box == control::txtSource;
    // The kept bytes of the old text are replaced unread.
    if (!file_pane) p->utf8.reset();
    if (file_pane) {
      // The same text again (an editor window closed without changes) leaves
      // the document, its undo history and its modified state alone.
      sync(*p);
      if (p->contents == value) return;
    }
    p->convention = line_end_of(value, p->convention);
    p->convention_decided = value.find(U'\n') != text_view::npos;
    p->selection_start = 0;
    p->selection_length = 0;
    p->edited = false;
    if (unattended_) {
      // Nobody sees the window: the document gets the text only if a
      // control's operation needs it.
      p->contents = text(value);
      p->deferred = true;
      return;
    }
    p->deferred = false;
    ++whole_text_conversions_;
    change_document([&] {
      if (file_pane && !p->widget->document()->isEmpty()) {
        // One edit that undo takes back: the history survives a round trip
        // through the editor window.
        QTextCursor all(p->widget->document());
        all.select(QTextCursor::Document);
        all.insertText(document_text(value, p->convention));
      } else {
        p->widget->setPlainText(document_text(value, p->convention));
      }
    });
    p->contents = text(value);
    return;
  }
  if (auto* line = qobject_cast<QLineEdit*>(widget(box))) {
    line->setText(qt_text(value));
    return;
  }
  raise_platform_error(error_number::invalid_argument);
}

void qt_toolkit::set_selection(control box, std::size_t start, std::size_t length) {
  if (pane_box* p = pane(box)) {
    sync(*p);
    start = std::min(start, p->contents.size());
    length = std::min(length, p->contents.size() - start);
    p->selection_start = start;
    p->selection_length = length;
    materialised(*p);
    QTextCursor cursor(p->widget->document());
    cursor.setPosition(document_position(p->contents, start, p->convention));
    cursor.setPosition(document_position(p->contents, start + length, p->convention),
                       QTextCursor::KeepAnchor);
    p->widget->setTextCursor(cursor);
    return;
  }
  if (auto* line = qobject_cast<QLineEdit*>(widget(box))) {
    text value = from_qt(line->text());
    start = std::min(start, value.size());
    length = std::min(length, value.size() - start);
    auto begin = static_cast<int>(qt_text(text_view(value).substr(0, start)).size());
    auto count = static_cast<int>(qt_text(text_view(value).substr(start, length)).size());
    line->setSelection(begin, count);
    return;
  }
  raise_platform_error(error_number::invalid_argument);
}

void qt_toolkit::replace_selection(control box, text_view value) {
  if (pane_box* p = pane(box)) {
    sync(*p);
    const std::size_t start = p->selection_start;
    const std::size_t end = start + p->selection_length;
    text replaced = p->contents;
    replaced.replace(start, p->selection_length, value);
    const std::size_t after = start + value.size();
    // The first line break decides the convention; the text before it had no
    // line feed, so its document is the same under either.
    if (!p->convention_decided && replaced.find(U'\n') != text::npos) {
      p->convention = line_end_of(replaced, p->convention);
      p->convention_decided = true;
    }
    const line_end convention = p->convention;
    materialised(*p);
    // An edit that splits or joins a CR LF changes how the document breaks
    // its lines around it: the whole document is laid anew.
    bool relay = inside_line_break(p->contents, start, convention) ||
                 inside_line_break(p->contents, end, convention) ||
                 inside_line_break(replaced, start, convention) ||
                 inside_line_break(replaced, after, convention);
    change_document([&] {
      if (relay) {
        ++whole_text_conversions_;
        p->widget->setPlainText(document_text(replaced, convention));
        QTextCursor cursor(p->widget->document());
        cursor.setPosition(document_position(replaced, after, convention));
        p->widget->setTextCursor(cursor);
      } else {
        QTextCursor cursor(p->widget->document());
        cursor.setPosition(document_position(p->contents, start, convention));
        cursor.setPosition(document_position(p->contents, end, convention),
                           QTextCursor::KeepAnchor);
        cursor.insertText(document_text(value, convention));
        p->widget->setTextCursor(cursor);
      }
    });
    p->contents = std::move(replaced);
    p->selection_start = after;
    p->selection_length = 0;
    p->widget->ensureCursorVisible();
    return;
  }
  if (auto* line = qobject_cast<QLineEdit*>(widget(box))) {
    line->insert(qt_text(value));
    return;
  }
  raise_platform_error(error_number::invalid_argument);
}

std::size_t qt_toolkit::caret_position(control box) const {
  if (pane_box* p = pane(box)) {
    sync(*p);
    return logic_position(p->contents, materialised(*p)->textCursor().position(), p->convention);
  }
  if (auto* line = qobject_cast<QLineEdit*>(widget(box)))
    return from_qt(line->text().left(line->cursorPosition())).size();
  raise_platform_error(error_number::invalid_argument);
}

std::size_t qt_toolkit::box_length(control box) const {
  pane_box* p = pane(box);
  if (p == nullptr) return box_text(box).size();
  decode(*p);
  if (!p->edited) return p->contents.size();
  // Counted from the document's own totals, so it costs the same whatever the
  // text's size: each block break stands for the convention's line break.
  const QTextDocument* document = p->widget->document();
  auto characters = static_cast<std::size_t>(std::max(document->characterCount() - 1, 0));
  auto breaks = static_cast<std::size_t>(std::max(document->blockCount() - 1, 0));
  return characters + (p->convention == line_end::crlf ? breaks : 0);
}

bool qt_toolkit::box_modified(control box) const {
  pane_box* p = pane(box);
  // A text not yet in the document is as it was set: unmodified.
  return p != nullptr && !p->deferred && p->widget->document()->isModified();
}

void qt_toolkit::set_box_unmodified(control box) {
  if (pane_box* p = pane(box); p != nullptr && !p->deferred)
    p->widget->document()->setModified(false);
}

void qt_toolkit::set_focus(control which) {
  QWidget* w = widget(which);
  w->window()->raise();
  w->window()->activateWindow();
  w->setFocus();
  if (pane_box* p = pane(which)) materialised(*p)->ensureCursorVisible();
}

void qt_toolkit::set_enabled(control which, bool enabled) {
  widget(which)->setEnabled(enabled);
}

void qt_toolkit::set_visible(control which, bool visible) {
  QWidget* w = widget(which);
  w->setVisible(visible);
  if (visible && w->isWindow()) {
    w->raise();
    w->activateWindow();
  }
}

void qt_toolkit::set_caption(control which, text_view caption) {
  QWidget* w = widget(which);
  if (auto* button = qobject_cast<QAbstractButton*>(w)) {
    button->setText(qt_text(caption));
  } else if (auto* label = qobject_cast<QLabel*>(w)) {
    label->setText(qt_text(caption));
  } else {
    w->setWindowTitle(qt_text(caption));
  }
}

void qt_toolkit::set_background(control which, colour background) {
  QWidget* w = widget(which);
  QPalette palette = w->palette();
  palette.setColor(QPalette::Window, resolve(background));
  w->setPalette(palette);
  w->setAutoFillBackground(true);
}

void qt_toolkit::set_text_colour(control which, colour foreground) {
  QWidget* w = widget(which);
  QPalette palette = w->palette();
  palette.setColor(QPalette::WindowText, resolve(foreground));
  palette.setColor(QPalette::Text, resolve(foreground));
  w->setPalette(palette);
}

long long qt_toolkit::to_twips(int pixels) const {
  return std::llround(pixels * twips_per_inch / screen_dpi());
}

int qt_toolkit::to_pixels(long long twips) const {
  return static_cast<int>(std::lround(static_cast<double>(twips) * screen_dpi() / twips_per_inch));
}

twips_rect qt_toolkit::to_twips(const QRect& r) const {
  return {static_cast<long>(to_twips(r.x())), static_cast<long>(to_twips(r.y())),
          static_cast<long>(to_twips(r.width())), static_cast<long>(to_twips(r.height()))};
}

twips_rect qt_toolkit::geometry(control which) const {
  return to_twips(widget(which)->geometry());
}

twips_rect qt_toolkit::area_on_screen(control which) const {
  QWidget* w = widget(which);
  if (!w->isVisible()) return {};
  // The window's frame is not counted: the title bar lies above the top.
  return to_twips(QRect(w->mapToGlobal(QPoint(0, 0)), w->size()));
}

void qt_toolkit::set_geometry(control which, twips_rect rect) {
  QWidget* w = widget(which);
  w->setGeometry(to_pixels(rect.left), to_pixels(rect.top), to_pixels(rect.width),
                 to_pixels(rect.height));
  if (which != control::txtEdit) return;
  // The editor's line:column sits just below its text box.
  QLabel* place = windows_.editor_place;
  place->setGeometry(w->x(), w->y() + w->height() + 2, w->width(), place->sizeHint().height());
}

twips_rect qt_toolkit::screen() const {
  QScreen* s = QGuiApplication::primaryScreen();
  return to_twips(s != nullptr ? s->geometry() : QRect(0, 0, 1024, 768));
}

QTimer& qt_toolkit::timer_of(timer which) {
  return which == timer::Timer1 ? timer1_ : timer2_;
}

void qt_toolkit::set_timer_interval(timer which, int milliseconds) {
  timer_of(which).setInterval(milliseconds);
}

void qt_toolkit::set_timer_enabled(timer which, bool enabled) {
  QTimer& t = timer_of(which);
  if (enabled && !t.isActive()) t.start();
  if (!enabled) t.stop();
}

void qt_toolkit::message_box(text_view message) {
  if (unattended_) {
    std::fprintf(stderr, "zorvex: %s\n", shown_message(message).toLocal8Bit().constData());
    return;
  }
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("zorvex"), shown_message(message),
                  QMessageBox::Ok, dialog_parent());
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

QWidget* qt_toolkit::dialog_parent() const {
  // The window the user works in: the editor when it is in front.
  QWidget* active = QApplication::activeWindow();
  if (active == windows_.editor.get() && active->isVisible()) return active;
  return windows_.main->isVisible() ? windows_.main.get() : nullptr;
}

bool qt_toolkit::ask_yes_no(text_view message) {
  if (unattended_) return true;
  QMessageBox box(QMessageBox::Question, QStringLiteral("zorvex"), shown_message(message),
                  QMessageBox::Yes | QMessageBox::No,
                  windows_.editor->isVisible() ? windows_.editor.get() : nullptr);
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(QMessageBox::Yes);
  return box.exec() == QMessageBox::Yes;
}

answer qt_toolkit::ask_yes_no_cancel(text_view message) {
  if (unattended_) return answer::yes;
  QMessageBox box(QMessageBox::Question, QStringLiteral("zorvex"), shown_message(message),
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                  windows_.main->isVisible() ? windows_.main.get() : nullptr);
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(QMessageBox::Yes);
  box.setEscapeButton(QMessageBox::Cancel);
  switch (box.exec()) {
    case QMessageBox::Yes:
      return answer::yes;
    case QMessageBox::No:
      return answer::no;
    default:
      return answer::cancel;
  }
}

void qt_toolkit::set_schema_highlighting(control box, bool on) {
  pane_box* found = pane(box);
  if (found == nullptr) raise_platform_error(error_number::invalid_argument);
  schema_highlighter*& highlighter = highlighters_[box];
  if (highlighter == nullptr) {
    highlighter = new schema_highlighter(nullptr);
    highlighter->setParent(this);
  }
  highlighter->setDocument(on ? found->widget->document() : nullptr);
}

void qt_toolkit::notice(text_view message) {
  if (unattended_) {
    message_box(message);
    return;
  }
  // Shown without taking the keyboard: the user's typing goes on.
  auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("zorvex"),
                              shown_message(message), QMessageBox::Ok, windows_.editor.get());
  box->setTextFormat(Qt::PlainText);
  box->setModal(false);
  box->setWindowModality(Qt::NonModal);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setAttribute(Qt::WA_ShowWithoutActivating);
  box->show();
}

void qt_toolkit::set_menu(control button, const std::vector<text>& entries) {
  auto* tool = qobject_cast<QToolButton*>(widget(button));
  if (tool == nullptr || tool->menu() == nullptr)
    raise_platform_error(error_number::invalid_argument);
  QMenu* menu = tool->menu();
  menu->clear();
  for (std::size_t k = 0; k < entries.size(); ++k) {
    QAction* action = menu->addAction(qt_text(entries[k]));
    connect(action, &QAction::triggered, this, [this, button, k] {
      if (events_ != nullptr) events_->menu_chosen(button, k);
    });
  }
  tool->setEnabled(!entries.empty());
}

std::optional<text> qt_toolkit::open_file_dialog(text_view initial) {
  if (unattended_) return std::nullopt;
  QFileDialog dialog(windows_.main->isVisible() ? windows_.main.get() : nullptr,
                     QStringLiteral("zorvex"));
  // Qt's own dialog: the same on every desktop, and one a test can answer.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // A result file need not exist yet.
  dialog.setFileMode(QFileDialog::AnyFile);
  QFileInfo start(qt_text(initial));
  if (start.isDir()) {
    dialog.setDirectory(start.absoluteFilePath());
  } else {
    dialog.setDirectory(start.absolutePath());
    dialog.selectFile(start.fileName());
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return from_qt(dialog.selectedFiles().first());
}

std::optional<text> qt_toolkit::save_file_dialog(text_view initial) {
  if (unattended_) return std::nullopt;
  QFileDialog dialog(dialog_parent(), QStringLiteral("zorvex"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  // The dialog asks before it replaces a file that exists.
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  QFileInfo start(qt_text(initial));
  dialog.setDirectory(start.absolutePath());
  dialog.selectFile(start.fileName());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return from_qt(dialog.selectedFiles().first());
}

text qt_toolkit::program_directory() const {
  return from_qt(QCoreApplication::applicationDirPath());
}

double qt_toolkit::time_of_day() const {
  return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

void qt_toolkit::end_program() {
  ended_ = true;
  // A window nobody saw leaves the settings alone.
  if (!unattended_) save_layout();
  timer1_.stop();
  timer2_.stop();
  windows_.editor->hide();
  windows_.main->hide();
  if (quit_) {
    quit_();
  } else {
    QCoreApplication::exit(0);
  }
}

void qt_toolkit::process_pending_events() {
  ++pump_passes_;
  QCoreApplication::processEvents();
}

bool qt_toolkit::key_typed(control which, QEvent* event) {
  auto* key = static_cast<QKeyEvent*>(event);
  int code = 0;
  if (key->key() == Qt::Key_Escape) {
    code = key_escape;
  } else if (key->matches(QKeySequence::SaveAs)) {
    code = key_save_as;
  } else if (key->matches(QKeySequence::Save)) {
    code = key_save;
  } else if (!key->text().isEmpty()) {
    code = static_cast<int>(key->text().at(0).unicode());
  } else {
    // Shift, arrows and the like type nothing.
    return false;
  }
  return events_->key_pressed(which, code);
}

std::optional<control> qt_toolkit::main_window_key(QObject* watched, QEvent* event) const {
  auto* w = qobject_cast<QWidget*>(watched);
  if (w == nullptr || w->window() != windows_.main.get()) return std::nullopt;
  auto* key = static_cast<QKeyEvent*>(event);
  control which = control::zrmain;
  for (const auto& [name, candidate] : windows_.controls)
    if (candidate == w) which = name;
  // Esc anywhere, Ctrl+S in a pane, Enter on a console line.
  bool passed = key->key() == Qt::Key_Escape || key->matches(QKeySequence::Save) ||
                (which == control::txtConsole &&
                 (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter));
  if (!passed) return std::nullopt;
  return which;
}

bool qt_toolkit::run_key(QObject* watched, QEvent* event) {
  auto* w = qobject_cast<QWidget*>(watched);
  if (w == nullptr) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  std::optional<control> button;
  if (key->key() == Qt::Key_F5) {
    button = key->modifiers().testFlag(Qt::ShiftModifier) ? control::cmdStop : control::cmdGo;
  } else if (w->window() == windows_.editor.get() && key->modifiers().testFlag(Qt::AltModifier)) {
    // The run buttons' accelerators work from the editor window too.
    QKeySequence pressed(QKeyCombination(Qt::AltModifier, Qt::Key(key->key())));
    for (control run : {control::cmdGo, control::cmdSuspend}) {
      auto* b = static_cast<QAbstractButton*>(widget(run));
      if (QKeySequence::mnemonic(b->text()) == pressed) button = run;
    }
  }
  if (!button) return false;
  // A disabled button ignores the click.
  static_cast<QAbstractButton*>(widget(*button))->click();
  return true;
}

bool qt_toolkit::eventFilter(QObject* watched, QEvent* event) {
  if (events_ == nullptr) return false;
  QWidget* editor = windows_.editor.get();
  switch (event->type()) {
    case QEvent::MouseButtonDblClick: {
      auto found = double_click_targets_.find(watched);
      if (found == double_click_targets_.end()) return false;
      events_->double_clicked(found->second);
      return true;
    }
    case QEvent::KeyPress:
      if (run_key(watched, event)) return true;
      if (watched == widget(control::txtEdit)) return key_typed(control::txtEdit, event);
      if (std::optional<control> which = main_window_key(watched, event))
        return key_typed(*which, event);
      // Keys the text box leaves reach the window too: only Esc counts there.
      if (watched == editor && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
        return key_typed(control::frmEdit, event);
      return false;
    case QEvent::MouseButtonRelease:
      // A click in a console view (the pane, or the editor showing it).
      for (control view : {control::txtConsole, control::txtEdit})
        if (watched == static_cast<QPlainTextEdit*>(widget(view))->viewport())
          events_->caret_placed(view);
      return false;
    case QEvent::Close:
      // Closing the editor from its title bar puts the text back, as Esc
      // does; closing the main window ends the program as the end button does.
      if (watched == editor) {
        event->ignore();
        events_->key_pressed(control::frmEdit, key_escape);
        return true;
      }
      if (watched == windows_.main.get()) {
        event->ignore();
        if (!ended_) events_->clicked(control::btnEnd);
        return true;
      }
      return false;
    case QEvent::Resize:
      if (watched == editor) events_->resized(control::frmEdit);
      return false;
    default:
      return false;
  }
}

}  // namespace zr
