// The real windows on Qt's offscreen platform, driven with mouse and keys
// through QTest, running the real engine.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QSplitter>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <deque>
#include <functional>
#include <optional>
#include <string_view>

#include "frontend/frm_edit.h"
#include "frontend/qt/box_text.h"
#include "frontend/qt/code_pane.h"
#include "frontend/qt/qt_toolkit.h"
#include "frontend/qt/windows.h"
#include "frontend/test_support.h"
#include "frontend/zrmain.h"

namespace zr {
namespace {

using testing::file_bytes;
using testing::file_exists;
using testing::put_file;

// Long enough for any run of these tests; only a hung run reaches it.
constexpr int patience_ms = 5000;

// A schema of one nest; `events` are its event lines.
std::string schema_with(std::string_view header, std::string_view events) {
  std::string schema(header);
  schema += "\\\\schema main\r\n-r\r\n";
  schema += events;
  schema += "\\\\end schema\r\n\\\\end file\r\n";
  return schema;
}

// Prints "Hi" for each hello and ends at the end of the text.
std::string hello_schema(std::string_view header = "") {
  return schema_with(header, "  _hello `Hi` 0\r\n  .eot `` 1 -e\r\n");
}

// What the user does while a run goes on: each step waits for its condition,
// then acts. A zero timer checks on every pass of the event loop, and so on
// every pass of the engine's pump too.
class user_script {
 public:
  user_script() {
    timer_.setInterval(0);
    QObject::connect(&timer_, &QTimer::timeout, [this] { advance(); });
    timer_.start();
  }
  user_script& then(std::function<bool()> ready, std::function<void()> act) {
    steps_.push_back({std::move(ready), std::move(act)});
    return *this;
  }
  bool done() const { return steps_.empty(); }

 private:
  struct step {
    std::function<bool()> ready;
    std::function<void()> act;
  };
  void advance() {
    if (steps_.empty() || !steps_.front().ready()) return;
    std::function<void()> act = std::move(steps_.front().act);
    steps_.pop_front();
    act();
  }
  QTimer timer_;
  std::deque<step> steps_;
};

// Answers the next modal dialog as soon as it is open.
void answer_dialog(std::function<void(QWidget*)> answer) {
  auto* poll = new QTimer;
  poll->setInterval(0);
  QObject::connect(poll, &QTimer::timeout, [poll, answer] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (dialog == nullptr) return;
    poll->stop();
    poll->deleteLater();
    answer(dialog);
  });
  poll->start();
}

// Answers the next message box with `button` and keeps its text.
void answer_message_box(QMessageBox::StandardButton button, QString* shown = nullptr) {
  answer_dialog([button, shown](QWidget* dialog) {
    auto* box = qobject_cast<QMessageBox*>(dialog);
    ASSERT_NE(box, nullptr);
    if (shown != nullptr) *shown = box->text();
    box->button(button)->click();
  });
}

class Windows : public ::testing::Test {
 protected:
  Windows() {
    // Each test starts with the default window, whatever an earlier one kept.
    QSettings().clear();
    ::setenv("ZORVEX_HOME", home.path().c_str(), 1);
    put_file(home / "example/vbs_c/s.txt", hello_schema());
    put_file(home / "example/vbs_c/reallife.inc", "hello");
  }
  ~Windows() override {
    main.reset();
    ui.reset();
    ::unsetenv("ZORVEX_HOME");
  }

  // Creates the windows and waits for Timer1's start-up task.
  void start(QStringList arguments = {}) {
    ui = std::make_unique<qt_toolkit>(arguments);
    ui->set_quit_action([this] { quit_called = true; });
    main = std::make_unique<zrmain>(*ui);
    ui->attach(main.get());
    main->load();
    ASSERT_TRUE(wait_for([this] { return !fe().state.startup_pending; }));
  }

  static bool wait_for(const std::function<bool()>& condition) {
    return QTest::qWaitFor(condition, patience_ms);
  }

  frontend& fe() { return main->front(); }
  template <class Widget = QWidget>
  Widget* the(control which) {
    auto* w = qobject_cast<Widget*>(ui->widget(which));
    EXPECT_NE(w, nullptr);
    return w;
  }
  text box(control which) { return ui->box_text(which); }
  // What a pane shows, one "\n" per line break.
  QString shown(control which) { return the<QPlainTextEdit>(which)->toPlainText(); }

  void click(control button) { QTest::mouseClick(the<QAbstractButton>(button), Qt::LeftButton); }
  void double_click(control which) {
    QWidget* target = ui->widget(which);
    if (auto* pane = qobject_cast<QPlainTextEdit*>(target)) target = pane->viewport();
    QTest::mouseDClick(target, Qt::LeftButton);
  }

  bool running() { return fe().state.running != nullptr; }
  bool idle() { return !running() && !fe().state.run_requested; }
  // Presses go and waits until the run is over and the script done. A run
  // that waits for good is stopped, and the test fails.
  void go_and_wait(const user_script* script = nullptr) {
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [this] {
      ADD_FAILURE() << "the run did not end; console:\n" << to_utf8(console_so_far());
      if (running()) fe().state.running->user_terminated();
    });
    watchdog.start(patience_ms);
    click(control::cmdGo);
    ASSERT_TRUE(wait_for([&] { return idle() && (script == nullptr || script->done()); }));
  }
  // A schema and a source of 50000 words: a run long enough to be stopped.
  void put_long_run() {
    std::string words;
    for (int k = 0; k < 50000; ++k)
      words += "w" + std::to_string(k) + " ";
    put_file(home / "example/vbs_c/s.txt", schema_with("", "  .id .t 0\r\n  .eot `` 1 -e\r\n"));
    put_file(home / "example/vbs_c/reallife.inc", words);
  }
  // Everything the console received, shown or still buffered.
  text console_so_far() { return box(control::txtConsole) + fe().state.console_buffer; }
  std::size_t dialog_steps() {
    text console = console_so_far();
    std::size_t count = 0;
    for (std::size_t at = console.find(U"DIALOG "); at != text::npos;
         at = console.find(U"DIALOG ", at + 1))
      ++count;
    return count;
  }

  QColor background(control which) { return ui->widget(which)->palette().color(QPalette::Window); }
  QColor foreground(control which) {
    return ui->widget(which)->palette().color(QPalette::WindowText);
  }

  testing::scoped_temp_dir home;
  std::unique_ptr<qt_toolkit> ui;
  std::unique_ptr<zrmain> main;
  bool quit_called = false;
};

TEST_F(Windows, StartUpLoadsTheNamedFilesIntoThePanes) {
  put_file(home / "my.schema", hello_schema());
  put_file(home / "my.source", "hello\r\nhello\nhello");
  start({"my.schema", "my.source"});
  EXPECT_TRUE(ui->widget(control::zrmain)->isVisible());
  EXPECT_EQ(box(control::txtSchemaFile), U"my.schema");
  EXPECT_EQ(box(control::txtSourceFile), U"my.source");
  EXPECT_EQ(box(control::txtResultFile), U"d/zrresult.txt");
  EXPECT_EQ(box(control::txtSchema), from_utf8(hello_schema()));
  // The pane shows three lines and gives back both kinds of line break.
  EXPECT_EQ(box(control::txtSource), U"hello\r\nhello\nhello");
  EXPECT_EQ(shown(control::txtSource), QStringLiteral("hello\nhello\nhello"));
  EXPECT_TRUE(file_exists(home / "prefer.txt"));
}

// Without names the window opens the bundled example, and go translates it
// exactly as the command-line host does.
TEST_F(Windows, TheBundledExampleOpensAndTranslates) {
  const std::string example = std::string(ZR_SOURCE_DIR) + "/example/vbs_c/";
  for (const char* name : {"s.txt", "reallife.inc"})
    put_file(home / ("example/vbs_c/" + std::string(name)), file_bytes(from_utf8(example + name)));
  start();
  EXPECT_EQ(to_utf8(box(control::txtSchema)), file_bytes(from_utf8(example + "s.txt")));
  EXPECT_EQ(to_utf8(box(control::txtSource)), file_bytes(from_utf8(example + "reallife.inc")));
  go_and_wait();
  EXPECT_FALSE(the(control::lbllblException)->isVisible()) << to_utf8(console_so_far());
  const std::string expected = file_bytes(from_utf8(example + "expected.c"));
  EXPECT_EQ(file_bytes(home / "d/zrresult.txt"), expected);
  EXPECT_EQ(to_utf8(box(control::txtResult)), expected);
}

TEST_F(Windows, UnattendedTheWindowStaysHidden) {
  start({"example/vbs_c/s.txt", "example/vbs_c/reallife.inc", "no_gui"});
  EXPECT_FALSE(ui->widget(control::zrmain)->isVisible());
  EXPECT_EQ(box(control::txtSource), U"hello");
  main->writes(std::u32string(300, U'x'));
  // The console goes only to the log.
  EXPECT_EQ(box(control::txtConsole), U"");
  EXPECT_EQ(file_bytes(home / "d/zrout.txt"), std::string(300, 'x'));
}

// The widget of each control as the table describes it: a menu entry has
// none, every other control is the widget of its kind that carries its name.
TEST(WindowControls, EachIsAWidgetOfItsNameAndKind) {
  struct row {
    control which;
    std::string_view kind;
  };
  const row rows[] = {
#define ZR_CONTROL(name, kind, caption) {control::name, #kind},
#include "frontend/controls.def"
#undef ZR_CONTROL
  };
  zorvex_windows windows = build_windows();
  std::size_t widgets = 0;
  for (const row& r : rows) {
    const char* name = control_name(r.which);
    if (r.kind == "menu") {
      EXPECT_FALSE(windows.controls.contains(r.which)) << name;
      continue;
    }
    ++widgets;
    ASSERT_TRUE(windows.controls.contains(r.which)) << name;
    QWidget* w = windows.controls.at(r.which);
    EXPECT_EQ(w->objectName(), QString::fromLatin1(name));
    if (r.kind == "window") {
      EXPECT_TRUE(w == windows.main.get() || w == windows.editor.get()) << name;
      continue;
    }
    EXPECT_EQ(w->window()->findChild<QWidget*>(QString::fromLatin1(name)), w) << name;
    if (r.kind == "button") {
      EXPECT_NE(qobject_cast<QAbstractButton*>(w), nullptr) << name;
    } else if (r.kind == "label") {
      EXPECT_NE(qobject_cast<QLabel*>(w), nullptr) << name;
    } else {
      EXPECT_TRUE(qobject_cast<QLineEdit*>(w) != nullptr ||
                  qobject_cast<QPlainTextEdit*>(w) != nullptr)
          << name;
    }
  }
  EXPECT_EQ(windows.controls.size(), widgets);
}

TEST_F(Windows, ControlsCarryTheirCaptions) {
  start();
  for (control which : all_controls) {
    std::optional<text_view> caption = fixed_caption(which);
    if (!caption) continue;
    if (auto* button = qobject_cast<QAbstractButton*>(ui->widget(which))) {
      EXPECT_EQ(button->text(), qt_text(*caption)) << control_name(which);
    } else {
      EXPECT_EQ(the<QLabel>(which)->text(), qt_text(*caption)) << control_name(which);
    }
  }
  EXPECT_EQ(background(control::lbllblException), QColor(255, 0, 0));
  EXPECT_FALSE(ui->widget(control::lbllblException)->isVisible());
  EXPECT_FALSE(ui->widget(control::cmdException)->isVisible());
  EXPECT_FALSE(ui->widget(control::txtHelp)->isVisible());
  EXPECT_EQ(box(control::txtHelp), help_text);
}

TEST_F(Windows, PanesAndButtonsAreLaidOutAsTheWindowShowsThem) {
  start();
  auto top = [this](control which) {
    return ui->widget(which)->mapTo(the(control::zrmain), QPoint()).y();
  };
  auto left = [this](control which) {
    return ui->widget(which)->mapTo(the(control::zrmain), QPoint()).x();
  };
  EXPECT_LT(top(control::txtSchemaFile), top(control::txtSourceFile));
  EXPECT_LT(top(control::txtSourceFile), top(control::txtResultFile));
  EXPECT_LT(top(control::txtResultFile), top(control::txtSchema));
  EXPECT_EQ(top(control::txtSchema), top(control::txtSource));
  EXPECT_LT(left(control::txtSchema), left(control::txtSource));
  EXPECT_LT(top(control::txtSchema), top(control::txtConsole));
  EXPECT_LT(top(control::txtConsole), top(control::txtResult));
  EXPECT_GT(left(control::cmdBrowse0), left(control::txtSchemaFile));
  EXPECT_GT(left(control::cmdGo), left(control::txtConsole));
}

TEST_F(Windows, GoFillsTheResultAndTheConsole) {
  put_file(home / "example/vbs_c/reallife.inc", "hello hello");
  start();
  go_and_wait();
  EXPECT_EQ(box(control::txtResult), U"HiHi");
  EXPECT_EQ(file_bytes(home / "d/zrresult.txt"), "HiHi");
  ASSERT_TRUE(wait_for([this] { return fe().state.console_buffer.empty(); }));
  EXPECT_FALSE(box(control::txtConsole).empty());
  // The pane holds exactly what the console log holds.
  EXPECT_EQ(to_utf8(box(control::txtConsole)), file_bytes(home / "d/zrout.txt"));
  // Go opened the console in the editor window, which received it too.
  EXPECT_TRUE(ui->widget(control::frmEdit)->isVisible());
  EXPECT_EQ(ui->widget(control::frmEdit)->windowTitle(),
            QStringLiteral("console: ") + qt_text(fe().state.log_path));
  EXPECT_EQ(background(control::frmEdit), QColor(192, 192, 192));
  EXPECT_EQ(box(control::txtEdit), box(control::txtConsole));
  EXPECT_GT(ui->pump_passes(), 0);
}

TEST_F(Windows, TheAcceleratorOfGoStartsARun) {
  start();
  QTest::keyClick(the(control::zrmain), Qt::Key_G, Qt::AltModifier);
  ASSERT_TRUE(wait_for([this] { return idle() && !box(control::txtResult).empty(); }));
  EXPECT_EQ(box(control::txtResult), U"Hi");
}

TEST_F(Windows, DebugPressedDuringARunShowsTraces) {
  put_file(home / "example/vbs_c/s.txt", hello_schema("\\\\steps in dialog=t\r\n"));
  start();
  user_script user;
  // Timer2 shows the step mode of the waiting run.
  user.then([this] { return the<QLabel>(control::lblSteps)->text() == "is on"; },
            [this] { click(control::cmdDebug); })
      .then([] { return true; },
            [this] {
              EXPECT_EQ(the<QLabel>(control::lblDebug)->text(), QStringLiteral("is on"));
              EXPECT_EQ(background(control::lblDebug), QColor(0, 255, 255));
              EXPECT_EQ(foreground(control::lblDebug), QColor(0, 0, 255));
              click(control::cmdSuspend);
            });
  go_and_wait(&user);
  EXPECT_EQ(box(control::txtResult), U"Hi");
  EXPECT_NE(console_so_far().find(U"DIALOG "), text::npos);
  // The run is over: the labels tell the modes the next run starts with.
  EXPECT_EQ(the<QLabel>(control::lblDebug)->text(), QStringLiteral("is on"));
  click(control::cmdDebug);
  for (control label : {control::lblDebug, control::lblSteps}) {
    EXPECT_EQ(the<QLabel>(label)->text(), QStringLiteral("is off"));
    EXPECT_EQ(background(label), QApplication::palette().color(QPalette::Button));
    EXPECT_EQ(foreground(label), QApplication::palette().color(QPalette::ButtonText));
  }
}

TEST_F(Windows, EachPressOfStepAdvancesOneDialogStep) {
  put_file(home / "example/vbs_c/s.txt",
           hello_schema("\\\\debug dialog=t\r\n\\\\steps in dialog=t\r\n"));
  put_file(home / "example/vbs_c/reallife.inc", "hello hello hello");
  start();
  user_script user;
  std::size_t before = 0;
  long passes = 0;
  // Step mode starts with the first step granted; the dialog waits once it
  // has taken that step and many passes of the pump go by without another.
  user.then([this] { return running() && fe().state.running->are_steps_on(); },
            [&] { passes = ui->pump_passes(); })
      .then([&] { return ui->pump_passes() > passes + 50; }, [] {});
  for (int press = 1; press <= 3; ++press) {
    user.then([] { return true; },
              [&] {
                before = dialog_steps();
                click(control::cmdSteps);
              })
        .then([&] { return dialog_steps() > before; }, [&] { passes = ui->pump_passes(); })
        // Many more passes of the engine's wait: still only that one step.
        .then([&] { return ui->pump_passes() > passes + 50; },
              [&, press] { EXPECT_EQ(dialog_steps(), before + 1) << "press " << press; });
  }
  user.then([] { return true; }, [this] { click(control::cmdSuspend); });
  go_and_wait(&user);
  EXPECT_EQ(box(control::txtResult), U"HiHiHi");
}

TEST_F(Windows, StopEndsALongRun) {
  put_long_run();
  put_file(home / "d/zrresult.txt", "last good result");
  start();
  user_script user;
  user.then([this] { return running(); }, [this] { click(control::cmdStop); });
  go_and_wait(&user);
  EXPECT_NE(console_so_far().find(U"user ordered to terminate"), text::npos);
  // No result: the file keeps the last one and the pane says why.
  EXPECT_EQ(box(control::txtResult).substr(0, 36), U"no result: user ordered to terminate");
  EXPECT_EQ(file_bytes(home / "d/zrresult.txt"), "last good result");
}

// Go is disabled while a run goes; F5 and a second go change nothing, and
// Shift+F5 stops the run from the editor window the console opened in.
TEST_F(Windows, GoIsDisabledDuringARunAndShiftF5StopsIt) {
  put_long_run();
  start();
  user_script user;
  user.then([this] { return running(); },
            [this] {
              EXPECT_FALSE(the(control::cmdGo)->isEnabled());
              click(control::cmdGo);
              QTest::keyClick(the(control::txtEdit), Qt::Key_F5);
              QTest::keyClick(the(control::txtEdit), Qt::Key_F5, Qt::ShiftModifier);
            });
  go_and_wait(&user);
  EXPECT_NE(console_so_far().find(U"user ordered to terminate"), text::npos);
  EXPECT_EQ(fe().state.runs, 1);
  EXPECT_FALSE(fe().state.run_requested);
  EXPECT_TRUE(the(control::cmdGo)->isEnabled());
}

// The run buttons' accelerators work while the editor window has the keyboard,
// and the editor leaves the run controls in view.
TEST_F(Windows, RunAcceleratorsWorkFromTheEditorBesideTheRunControls) {
  put_file(home / "example/vbs_c/s.txt", hello_schema("\\\\steps in dialog=t\r\n"));
  start();
  user_script user;
  user.then([this] { return the<QLabel>(control::lblSteps)->text() == "is on"; },
            [this] {
              QWidget* editor = the(control::frmEdit);
              EXPECT_TRUE(editor->isVisible());
              QRect editor_area(editor->mapToGlobal(QPoint(0, 0)), editor->size());
              for (control run : {control::cmdGo, control::cmdSuspend, control::cmdStop}) {
                QWidget* button = the(run);
                QRect area(button->mapToGlobal(QPoint(0, 0)), button->size());
                EXPECT_FALSE(editor_area.intersects(area)) << static_cast<int>(run);
              }
              // Alt+S (suspend/resume) leaves step mode: the run goes on to its end.
              QTest::keyClick(the(control::txtEdit), Qt::Key_S, Qt::AltModifier);
            });
  go_and_wait(&user);
  EXPECT_EQ(box(control::txtResult), U"Hi");
}

// A keystroke in a 13 MB LF text touches one line: the pane has a block per
// line, and typing converts no whole text between the window and the logic.
TEST_F(Windows, AKeystrokeInAHugeLfTextCostsTheSameAsInASmallOne) {
  std::string line(64, 'x');
  line += "\n";
  std::string huge;
  huge.reserve(13u << 20);
  while (huge.size() < (13u << 20))
    huge += line;
  put_file(home / "example/vbs_c/reallife.inc", huge);
  start();
  auto* source = the<QPlainTextEdit>(control::txtSource);
  EXPECT_EQ(source->document()->blockCount(), static_cast<int>(huge.size() / line.size()) + 1);
  double_click(control::txtSource);
  auto* edit = the<QPlainTextEdit>(control::txtEdit);
  edit->moveCursor(QTextCursor::Start);
  const long conversions = ui->whole_text_conversions();
  QTest::keyClicks(edit, "abc");
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(ui->whole_text_conversions(), conversions);
  // The size warning showed once, without taking the keys.
  EXPECT_FALSE(fe().editor.show_size_warning);
  EXPECT_EQ(ui->box_length(control::txtEdit), huge.size() + 4);
  EXPECT_EQ(box(control::txtEdit).substr(0, 6), U"abc\nxx");
}

TEST_F(Windows, TheEditorOpensOnDoubleClickAndCopiesBackOnEsc) {
  start();
  double_click(control::txtSchema);
  QWidget* editor = the(control::frmEdit);
  ASSERT_TRUE(editor->isVisible());
  EXPECT_EQ(editor->windowTitle(), QStringLiteral("schema:  example/vbs_c/s.txt"));
  EXPECT_EQ(background(control::frmEdit), QColor(255, 192, 128));
  auto* edit = the<QPlainTextEdit>(control::txtEdit);
  EXPECT_EQ(edit->palette().color(QPalette::Text), QColor(0, 0, 0));
  EXPECT_TRUE(edit->font().fixedPitch());
  EXPECT_EQ(box(control::txtEdit), from_utf8(hello_schema()));

  edit->moveCursor(QTextCursor::End);
  QTest::keyClicks(edit, "xy");
  QTest::keyClick(edit, Qt::Key_Escape);
  EXPECT_FALSE(editor->isVisible());
  EXPECT_EQ(box(control::txtSchema), from_utf8(hello_schema() + "xy"));
  // Only save writes the file.
  EXPECT_EQ(file_bytes(home / "example/vbs_c/s.txt"), hello_schema());
  click(control::cmdSaveSchema);
  EXPECT_EQ(file_bytes(home / "example/vbs_c/s.txt"), hello_schema() + "xy");
}

TEST_F(Windows, EachPaneOpensWithItsCaptionAndColour) {
  start();
  const std::tuple<control, const char*, QColor> ways_in[] = {
      {control::txtSource, "source: example/vbs_c/reallife.inc", QColor(128, 255, 128)},
      {control::txtResult, "result: d/zrresult.txt", QColor(128, 128, 255)},
      {control::txtSchema, "schema:  example/vbs_c/s.txt", QColor(255, 192, 128)},
  };
  for (const auto& [pane, caption, colour] : ways_in) {
    double_click(pane);
    EXPECT_EQ(the(control::frmEdit)->windowTitle(), QString::fromLatin1(caption));
    EXPECT_EQ(background(control::frmEdit), colour) << caption;
    EXPECT_EQ(box(control::txtEdit), box(pane)) << caption;
  }
  // A double-click on the editor's text closes it.
  double_click(control::txtEdit);
  EXPECT_FALSE(the(control::frmEdit)->isVisible());
  EXPECT_EQ(fe().editor.current_text, U"");
}

TEST_F(Windows, ClosingTheEditorFromItsTitleBarCopiesBack) {
  start();
  double_click(control::txtSource);
  ui->set_box_text(control::txtEdit, U"edited");
  the(control::frmEdit)->close();
  EXPECT_FALSE(the(control::frmEdit)->isVisible());
  EXPECT_EQ(box(control::txtSource), U"edited");
}

TEST_F(Windows, TheEditorTakesNineTenthsOfTheScreenCentred) {
  start();
  // The run controls lie beyond the screen's right edge: nothing to keep free.
  the(control::zrmain)->setGeometry(0, 0, 1040, 760);
  double_click(control::txtSchema);
  QRect screen = QGuiApplication::primaryScreen()->geometry();
  QRect window = the(control::frmEdit)->geometry();
  EXPECT_NEAR(window.width(), screen.width() * 0.9, 1);
  EXPECT_NEAR(window.height(), screen.height() * 0.9, 1);
  EXPECT_NEAR(window.left(), (screen.width() - window.width()) / 2, 1);
  EXPECT_NEAR(window.top(), (screen.height() - window.height()) / 2, 1);
  // The text box follows the window: 400 twips narrower, 600 lower.
  the(control::frmEdit)->resize(600, 400);
  QCoreApplication::processEvents();
  twips_rect edit = ui->geometry(control::txtEdit);
  twips_rect frame = ui->geometry(control::frmEdit);
  EXPECT_NEAR(edit.width, frame.width - 400, 15);
  EXPECT_NEAR(edit.height, frame.height - 600, 15);
  EXPECT_NEAR(edit.left, 100, 15);
  EXPECT_NEAR(edit.top, 100, 15);
}

// A click on the console's FILE:LINE:COLUMN line selects that place in the
// schema pane.
TEST_F(Windows, AClickOnTheErrorLineSelectsThePlace) {
  // A level out of range on line 3.
  put_file(home / "example/vbs_c/s.txt",
           "\\\\schema main\n-r\n  _x `a` 99999999\n\\\\end schema\n\\\\end file\n");
  start();
  go_and_wait();
  QTest::keyClick(the(control::txtEdit), Qt::Key_Escape);
  ASSERT_TRUE(wait_for([this] { return fe().state.console_buffer.empty(); }));
  const text console = box(control::txtConsole);
  const std::size_t line = console.find(fe().state.schema_file.path + U":");
  ASSERT_NE(line, text::npos) << to_utf8(console);
  auto* pane = the<QPlainTextEdit>(control::txtConsole);
  QTextCursor at(pane->document());
  at.setPosition(document_position(console, line + 2, line_end::crlf));
  pane->setTextCursor(at);
  QTest::mouseClick(pane->viewport(), Qt::LeftButton, {}, pane->cursorRect().center());
  auto* schema = the<QPlainTextEdit>(control::txtSchema);
  EXPECT_TRUE(schema->textCursor().hasSelection());
  EXPECT_EQ(schema->textCursor().blockNumber(), 2) << to_utf8(console);
}

// Undo in a pane still works after its text went through the editor window,
// and takes back the editor's changes first.
TEST_F(Windows, UndoSurvivesADoubleClickRoundTrip) {
  put_file(home / "example/vbs_c/reallife.inc", "hello\n");
  start();
  auto* source = the<QPlainTextEdit>(control::txtSource);
  source->moveCursor(QTextCursor::End);
  QTest::keyClicks(source, "x");
  double_click(control::txtSource);
  QTest::keyClick(the(control::txtEdit), Qt::Key_Escape);
  EXPECT_EQ(box(control::txtSource), U"hello\nx");
  double_click(control::txtSource);
  auto* edit = the<QPlainTextEdit>(control::txtEdit);
  edit->moveCursor(QTextCursor::End);
  QTest::keyClicks(edit, "y");
  QTest::keyClick(edit, Qt::Key_Escape);
  EXPECT_EQ(box(control::txtSource), U"hello\nxy");
  source->undo();
  EXPECT_EQ(box(control::txtSource), U"hello\nx");
  source->undo();
  EXPECT_EQ(box(control::txtSource), U"hello\n");
  EXPECT_FALSE(ui->box_modified(control::txtSource));
  source->redo();
  EXPECT_EQ(box(control::txtSource), U"hello\nx");
}

TEST_F(Windows, TypingIntoALongTextShowsTheSizeWarningOnce) {
  put_file(home / "example/vbs_c/reallife.inc", std::string(27001, 'a'));
  start();
  double_click(control::txtSource);
  auto* edit = the<QPlainTextEdit>(control::txtEdit);
  QTest::keyClick(edit, Qt::Key_B);
  QTest::keyClick(edit, Qt::Key_C);
  // The warning waits for nobody: both keys arrived, and it showed once.
  EXPECT_EQ(box(control::txtEdit).size(), 27003u);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  int shown = 0;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    auto* box = qobject_cast<QMessageBox*>(w);
    if (box != nullptr && box->isVisible()) {
      EXPECT_EQ(box->text(), qt_text(size_warning_text).replace("\r\n", "\n"));
      ++shown;
    }
  }
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(fe().editor.show_size_warning, false);
}

TEST_F(Windows, HelpShowsItsTextInAnOkBox) {
  start();
  QString message;
  answer_message_box(QMessageBox::Ok, &message);
  click(control::cmdHelp);
  EXPECT_EQ(message, qt_text(help_text).replace("\r\n", "\n"));
}

TEST_F(Windows, BrowsePutsTheChosenNameInTheNameBox) {
  start();
  const QString chosen = QString::fromStdString(home.path().string() + "/other.txt");
  answer_dialog([chosen](QWidget* dialog) {
    auto* files = qobject_cast<QFileDialog*>(dialog);
    ASSERT_NE(files, nullptr);
    files->selectFile(chosen);
    static_cast<QDialog*>(files)->accept();
  });
  click(control::cmdBrowse1);
  // A file inside the home folder is named relative to it.
  EXPECT_EQ(box(control::txtSourceFile), U"other.txt");
  // Cancelling keeps the box as typed.
  the<QLineEdit>(control::txtSchemaFile)->setText(QStringLiteral("typed.txt"));
  answer_dialog([](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); });
  click(control::cmdBrowse0);
  EXPECT_EQ(box(control::txtSchemaFile), U"typed.txt");
}

TEST_F(Windows, EndWritesTheStatusLineAndEscDoesNot) {
  start();
  QTest::keyClick(the(control::txtSchema), Qt::Key_Escape);
  EXPECT_TRUE(quit_called);
  EXPECT_FALSE(file_exists(home / "d/zrstatus.txt"));
  EXPECT_FALSE(the(control::zrmain)->isVisible());

  main.reset();
  ui.reset();
  quit_called = false;
  start();
  click(control::btnEnd);
  EXPECT_TRUE(quit_called);
  EXPECT_EQ(file_bytes(home / "d/zrstatus.txt").substr(0, 4), "end,");
}

TEST_F(Windows, AResultThatCannotBeWrittenShowsTheExceptionIndicator) {
  start();
  // A directory where the result file should be.
  std::filesystem::create_directories(home.path() / "d/zrresult.txt");
  go_and_wait();
  EXPECT_EQ(box(control::txtResult), U"Hi");
  EXPECT_TRUE(the(control::lbllblException)->isVisible());
  EXPECT_TRUE(the(control::cmdException)->isVisible());
  EXPECT_NE(console_so_far().find(U"when in module Timer1"), text::npos);
  click(control::cmdException);
  EXPECT_FALSE(the(control::lbllblException)->isVisible());
}

// Unattended, a run's texts never go into the documents; the result is the
// engine's, in the file and as the pane's text.
TEST_F(Windows, UnattendedARunLeavesTheDocumentsAlone) {
  put_file(home / "example/vbs_c/reallife.inc", "hello hello");
  ui = std::make_unique<qt_toolkit>(
      QStringList{"example/vbs_c/s.txt", "example/vbs_c/reallife.inc", "no_gui"});
  ui->set_unattended(true);
  main = std::make_unique<zrmain>(*ui);
  ui->attach(main.get());
  main->load();
  ASSERT_TRUE(wait_for([this] { return !fe().state.startup_pending; }));
  main->clicked(control::cmdGo);
  ASSERT_TRUE(wait_for([this] { return idle(); }));
  EXPECT_EQ(file_bytes(home / "d/zrresult.txt"), "HiHi");
  EXPECT_EQ(ui->box_utf8(control::txtResult), "HiHi");
  EXPECT_EQ(box(control::txtResult), U"HiHi");
  EXPECT_TRUE(shown(control::txtResult).isEmpty());
  EXPECT_TRUE(shown(control::txtSource).isEmpty());
}

// A long run pumps the window's events once per period, not at every step,
// and still stops at once.
TEST_F(Windows, ALongRunPumpsTheEventsByTime) {
  put_long_run();
  start();
  long passes = 0;
  long long steps = 0;
  user_script user;
  user.then([this] { return running() && fe().state.running->dialog_steps() > 3000; },
            [&] {
              passes = ui->pump_passes();
              steps = fe().state.running->dialog_steps();
              click(control::cmdStop);
            });
  go_and_wait(&user);
  EXPECT_LT(passes * 10, steps);
  EXPECT_NE(console_so_far().find(U"user ordered to terminate"), text::npos);
}

// After Esc in the console's editor window the pane shows the newest run.
TEST_F(Windows, TheConsoleShowsTheNewestRun) {
  start();
  ui->set_box_text(control::txtConsole, text(200, U'.') + std::u32string(300, U'\n'));
  go_and_wait();
  QTest::keyClick(the(control::txtEdit), Qt::Key_Escape);
  auto* console = the<QPlainTextEdit>(control::txtConsole);
  QCoreApplication::processEvents();
  EXPECT_EQ(console->verticalScrollBar()->value(), console->verticalScrollBar()->maximum());
  EXPECT_GT(console->verticalScrollBar()->maximum(), 0);
}

// Find says "not found"; replace asks at each match and says how many.
TEST_F(Windows, FindAndReplaceSayWhatTheyDid) {
  put_file(home / "example/vbs_c/reallife.inc", "a b a b a");
  start();
  auto* source = dynamic_cast<code_pane*>(the(control::txtSource));
  ASSERT_NE(source, nullptr);
  QString said;
  answer_dialog([](QWidget* dialog) {
    auto* input = qobject_cast<QInputDialog*>(dialog);
    ASSERT_NE(input, nullptr);
    input->setTextValue(QStringLiteral("zz"));
    input->accept();
  });
  QTimer::singleShot(0, [&] { answer_message_box(QMessageBox::Ok, &said); });
  source->ask_find();
  EXPECT_EQ(said, QStringLiteral("\"zz\" not found"));
  // Replace the first, skip the second, replace all the rest.
  std::deque<QString> buttons{QStringLiteral("&Replace"), QStringLiteral("&Skip"),
                              QStringLiteral("Replace &all")};
  std::function<void()> answer_next = [&] {
    if (buttons.empty()) return;
    answer_dialog([&](QWidget* dialog) {
      auto* box = qobject_cast<QMessageBox*>(dialog);
      ASSERT_NE(box, nullptr);
      for (QAbstractButton* button : box->buttons())
        if (button->text() == buttons.front()) {
          buttons.pop_front();
          answer_next();
          button->click();
          return;
        }
      ADD_FAILURE() << "no button " << buttons.front().toStdString();
    });
  };
  answer_next();
  EXPECT_EQ(source->replace_asking(QStringLiteral("a"), QStringLiteral("cc")), 2);
  EXPECT_EQ(box(control::txtSource), U"cc b a b cc");
  source->undo();
  EXPECT_EQ(box(control::txtSource), U"cc b a b a");
}

// The menu bar: its titles leave the buttons' accelerators alone, its entries
// have the platform's keys, Open loads a file through the dialog and Save As
// writes the pane under the chosen name.
TEST_F(Windows, TheMenuBarOpensAndSavesFiles) {
  put_file(home / "other.txt", "other source");
  start();
  auto* bar = the(control::zrmain)->findChild<QMenuBar*>();
  ASSERT_NE(bar, nullptr);
  QStringList titles;
  std::map<QString, QKeySequence> keys;
  for (QAction* menu : bar->actions()) {
    titles << menu->text();
    for (QAction* entry : menu->menu()->actions())
      keys[entry->text()] = entry->shortcut();
  }
  EXPECT_EQ(titles, (QStringList{"&File", "E&dit", "R&un", "Hel&p"}));
  EXPECT_EQ(keys["Open &schema..."], QKeySequence(QKeySequence::Open));
  EXPECT_EQ(keys["&Save"], QKeySequence(QKeySequence::Save));
  EXPECT_EQ(keys["Save &As..."], QKeySequence(QKeySequence::SaveAs));
  EXPECT_EQ(keys["&Undo"], QKeySequence(QKeySequence::Undo));
  EXPECT_EQ(keys["&Find..."], QKeySequence(QKeySequence::Find));
  EXPECT_EQ(keys["&Go"], QKeySequence(Qt::Key_F5));
  EXPECT_EQ(keys["&Stop"], QKeySequence(Qt::SHIFT | Qt::Key_F5));

  auto choose = [](const QString& path) {
    answer_dialog([path](QWidget* dialog) {
      auto* files = qobject_cast<QFileDialog*>(dialog);
      ASSERT_NE(files, nullptr);
      files->selectFile(path);
      static_cast<QDialog*>(files)->accept();
    });
  };
  choose(QString::fromStdString(home.path().string() + "/other.txt"));
  main->clicked(control::mnuOpenSource);
  EXPECT_EQ(box(control::txtSourceFile), U"other.txt");
  EXPECT_EQ(box(control::txtSource), U"other source");
  EXPECT_EQ(fe().state.source_path, home / "other.txt");

  the(control::txtSource)->setFocus();
  ui->set_box_text(control::txtSource, U"saved as");
  choose(QString::fromStdString(home.path().string() + "/copy.txt"));
  main->key_pressed(control::txtSource, key_save_as);
  EXPECT_EQ(file_bytes(home / "copy.txt"), "saved as");
  EXPECT_EQ(file_bytes(home / "other.txt"), "other source");
  EXPECT_EQ(box(control::txtSourceFile), U"copy.txt");
}

// Catches the addresses the program opens in the system's viewer.
class opened_urls : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> urls;
 public slots:
  void open(const QUrl& url) { urls << url; }
};

// Help, Guide and Reference open the documents in the system's viewer.
TEST_F(Windows, HelpOpensTheGuideAndTheReference) {
  start();
  opened_urls viewer;
  QDesktopServices::setUrlHandler(QStringLiteral("file"), &viewer, "open");
  auto* bar = the(control::zrmain)->findChild<QMenuBar*>();
  ASSERT_NE(bar, nullptr);
  for (QAction* menu : bar->actions())
    for (QAction* entry : menu->menu()->actions())
      if (entry->text() == QStringLiteral("&Guide") ||
          entry->text() == QStringLiteral("&Reference"))
        entry->trigger();
  QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
  ASSERT_EQ(viewer.urls.size(), 2);
  EXPECT_TRUE(viewer.urls[0].toLocalFile().endsWith(QStringLiteral("docs/guide.md")));
  EXPECT_TRUE(viewer.urls[1].toLocalFile().endsWith(QStringLiteral("docs/reference.md")));
}

// The changed-on-disk notice is a modal box that has the keyboard.
TEST_F(Windows, AFileChangedOnDiskIsNoticedInAModalBox) {
  start();
  QString said;
  QWidget* parent = nullptr;
  answer_dialog([&](QWidget* dialog) {
    EXPECT_TRUE(dialog->isModal());
    parent = dialog->parentWidget();
    auto* box = qobject_cast<QMessageBox*>(dialog);
    ASSERT_NE(box, nullptr);
    said = box->text();
    box->button(QMessageBox::Ok)->click();
  });
  put_file(home / "example/vbs_c/s.txt", "changed elsewhere");
  ASSERT_TRUE(wait_for([&] { return !said.isEmpty(); }));
  EXPECT_TRUE(
      said.endsWith(QStringLiteral("` changed on disk.\nload reads it again; save "
                                   "replaces it with the pane's text.")));
  // In front of the main window, not behind it.
  EXPECT_EQ(parent, the(control::zrmain));
}

// The editor window shows the caret's line:column.
TEST_F(Windows, TheEditorShowsLineAndColumn) {
  put_file(home / "example/vbs_c/reallife.inc", "one\ntwo\n");
  start();
  double_click(control::txtSource);
  auto* edit = the<QPlainTextEdit>(control::txtEdit);
  QTextCursor at(edit->document());
  at.setPosition(6);
  edit->setTextCursor(at);
  auto* place = the(control::frmEdit)->findChild<QLabel*>();
  ASSERT_NE(place, nullptr);
  EXPECT_EQ(place->text(), QStringLiteral("2:3"));
  EXPECT_TRUE(place->isVisible());
  EXPECT_GE(place->y(), edit->y() + edit->height());
}

// The window's size and splitters come back at the next start; without
// settings the window fits the screen, with 25 lines in the schema pane on a
// screen of 1600 by 1000.
TEST_F(Windows, TheWindowsLayoutIsKeptAndFitsTheScreen) {
  QSettings().clear();
  start();
  auto* areas = the(control::zrmain)->findChild<QSplitter*>(QStringLiteral("areas"));
  ASSERT_NE(areas, nullptr);
  the(control::zrmain)->resize(900, 700);
  areas->setSizes({250, 60, 60});
  QCoreApplication::processEvents();
  const QList<int> sizes = areas->sizes();
  click(control::btnEnd);
  main.reset();
  ui.reset();
  start();
  areas = the(control::zrmain)->findChild<QSplitter*>(QStringLiteral("areas"));
  EXPECT_EQ(the(control::zrmain)->size(), QSize(900, 700));
  EXPECT_EQ(areas->sizes(), sizes);

  zorvex_windows fresh = build_windows();
  fit_to_screen(fresh, QRect(0, 0, 1600, 1000));
  fresh.main->show();
  QCoreApplication::processEvents();
  auto* schema = static_cast<QPlainTextEdit*>(fresh.controls.at(control::txtSchema));
  EXPECT_GE(schema->viewport()->height() / schema->fontMetrics().lineSpacing(), 25);
  fresh.main->hide();
}

}  // namespace
}  // namespace zr

#include "windows_test.moc"
