// The toolkit of the logic carried out with Qt 6 Widgets: the two real
// windows, their text boxes, labels, timers, message boxes and file dialog.
// It reports clicks, double-clicks, keys, timer ticks and resizes to the
// logic, and lets the engine run Qt's pending events while it translates.
#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "frontend/qt/box_text.h"
#include "frontend/qt/schema_highlighter.h"
#include "frontend/qt/windows.h"
#include "frontend/toolkit.h"

class QPlainTextEdit;

namespace zr {

class qt_toolkit : public QObject, public toolkit {
 public:
  // `arguments` are the program's arguments after its name; they form the
  // command line the logic reads.
  explicit qt_toolkit(QStringList arguments);
  ~qt_toolkit() override;

  // The logic that receives the windows' events; nullptr detaches it.
  void attach(toolkit_events* events) { events_ = events; }
  // Without a display nobody can answer a dialog: message boxes go to
  // standard error, questions are answered Yes, the file dialog is cancelled.
  void set_unattended(bool unattended) { unattended_ = unattended; }
  // What ending the program does after the windows are closed; by default the
  // application's event loop is left.
  void set_quit_action(std::function<void()> quit) { quit_ = std::move(quit); }
  bool ended() const { return ended_; }
  // The widget of a control, for the program and for tests.
  QWidget* widget(control which) const;
  // How often the engine has yielded to Qt's events.
  long pump_passes() const { return pump_passes_; }
  // How often a pane's whole text was converted between the logic and its
  // document; an edit or a keystroke must not add to it.
  long whole_text_conversions() const { return whole_text_conversions_; }

  // toolkit
  text box_text(control box) const override;
  void set_box_text(control box, text_view value) override;
  std::string box_utf8(control box) const override;
  void set_box_utf8(control box, std::string value) override;
  void set_selection(control box, std::size_t start, std::size_t length) override;
  void replace_selection(control box, text_view value) override;
  std::size_t caret_position(control box) const override;
  std::size_t box_length(control box) const override;
  bool box_modified(control box) const override;
  void set_box_unmodified(control box) override;
  void set_visible(control which, bool visible) override;
  void set_focus(control which) override;
  void set_enabled(control which, bool enabled) override;
  void set_caption(control which, text_view caption) override;
  void set_background(control which, colour background) override;
  void set_text_colour(control which, colour foreground) override;
  void set_schema_highlighting(control box, bool on) override;
  twips_rect geometry(control which) const override;
  void set_geometry(control which, twips_rect rect) override;
  twips_rect screen() const override;
  twips_rect area_on_screen(control which) const override;
  void set_timer_interval(timer which, int milliseconds) override;
  void set_timer_enabled(timer which, bool enabled) override;
  void message_box(text_view message) override;
  bool ask_yes_no(text_view message) override;
  answer ask_yes_no_cancel(text_view message) override;
  void notice(text_view message) override;
  void set_menu(control button, const std::vector<text>& entries) override;
  std::optional<text> open_file_dialog(text_view initial) override;
  std::optional<text> save_file_dialog(text_view initial) override;
  text program_directory() const override;
  std::vector<text> arguments() const override { return arguments_; }
  double time_of_day() const override;
  void end_program() override;
  void process_pending_events() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // A multi-line box: the exact text the logic gave it, kept until the user
  // edits the box, its line end convention (undecided while its text has no
  // line break), and the selection in the logic's characters.
  struct pane_box {
    QPlainTextEdit* widget = nullptr;
    text contents;
    bool edited = false;
    line_end convention = line_end::lf;
    bool convention_decided = false;
    std::size_t selection_start = 0;
    std::size_t selection_length = 0;
    // Unattended, the document has not received `contents` yet.
    bool deferred = false;
    // Unattended, a text given in UTF-8 is kept so until someone needs its
    // characters; `contents` is stale meanwhile.
    std::optional<std::string> utf8;
  };

  void connect_events();
  // The menu bar's entries: the logic's, the buttons', the code panes'.
  void connect_menu();
  // The control that has the keyboard: txtEdit for anything in the editor
  // window; the main window itself when no control of ours has it.
  control focused_control() const;
  // Opens a document of docs/ (the guide, the reference) in the system's
  // viewer for it.
  void open_document(const QString& name);
  // The window's size and splitters from the program's settings, or the
  // default for the screen; and back into the settings.
  void restore_layout();
  void save_layout() const;
  pane_box* pane(control box) const;
  // The pane's widget, its document given the kept text first if it was
  // deferred.
  QPlainTextEdit* materialised(pane_box& box) const;
  // Decodes a text kept in UTF-8 into `contents`.
  static void decode(pane_box& box);
  // Brings a pane's kept text up to date after the user edited it.
  void sync(pane_box& box) const;
  // Changes a pane's document without taking it for a user's edit.
  template <class Change>
  void change_document(Change change) const;
  QTimer& timer_of(timer which);
  // The window a message box belongs to: the editor when it is in front, else
  // the main window when it shows.
  QWidget* dialog_parent() const;
  bool key_typed(control which, QEvent* event);
  // The control of the main window a key for the logic was typed on: Esc,
  // Ctrl+S, or Enter on the console.
  std::optional<control> main_window_key(QObject* watched, QEvent* event) const;
  // F5 (go), Shift+F5 (stop) and, in the editor window, the run buttons'
  // accelerators: clicks the button. True when the key was one of them.
  bool run_key(QObject* watched, QEvent* event);
  twips_rect to_twips(const QRect& r) const;
  long long to_twips(int pixels) const;
  int to_pixels(long long twips) const;

  mutable std::map<control, pane_box> panes_;
  std::map<QObject*, control> double_click_targets_;
  QTimer timer1_;
  QTimer timer2_;
  std::vector<text> arguments_;
  toolkit_events* events_ = nullptr;
  std::function<void()> quit_;
  bool unattended_ = false;
  bool ended_ = false;
  mutable bool changing_ = false;
  long pump_passes_ = 0;
  mutable long whole_text_conversions_ = 0;
  // The highlighters of the boxes that show schema text, made on first use.
  std::map<control, schema_highlighter*> highlighters_;
  // Last, so the windows go first and their last signals still find the
  // toolkit whole.
  zorvex_windows windows_;
};

}  // namespace zr
