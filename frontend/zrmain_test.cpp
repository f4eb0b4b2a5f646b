#include "frontend/zrmain.h"

#include <gtest/gtest.h>

#include "common/easylife.h"
#include "common/scoped_file_size_limit.h"
#include "frontend/console.h"
#include "frontend/fileaux.h"
#include "frontend/test_support.h"

namespace zr {
namespace {

using testing::file_bytes;
using testing::file_exists;
using testing::front_end_test;
using testing::put_file;

TEST(CommandLine, ArgumentsNameSchemaSourceAndNoGuiAsGiven) {
  struct row {
    std::vector<text> arguments;
    text_view schema;
    text_view source;
    bool unattended;
  };
  const row rows[] = {
      {{}, U"example/vbs_c/s.txt", U"example/vbs_c/reallife.inc", false},
      {{U""}, U"example/vbs_c/s.txt", U"example/vbs_c/reallife.inc", false},
      {{U"src.txt"}, U"example/vbs_c/s.txt", U"src.txt", false},
      {{U"sch.txt", U"src.txt"}, U"sch.txt", U"src.txt", false},
      {{U"sch.txt", U"src.txt", U"no_gui"}, U"sch.txt", U"src.txt", true},
      {{U"sch.txt", U"src.txt", U"please", U"no_gui", U"now"}, U"sch.txt", U"src.txt", true},
      {{U"sch.txt", U"src.txt", U"NO_GUI"}, U"sch.txt", U"src.txt", false},
      {{U"no_gui"}, U"example/vbs_c/s.txt", U"no_gui", true},
      // Two words: the second is both the source and the third word.
      {{U"sch.txt", U"no_gui"}, U"sch.txt", U"no_gui", true},
      // Names with blanks stay whole; a schema name holding "no_gui" is a name.
      {{U"/tmp/sp dir/s.txt", U"/tmp/my src.inc"}, U"/tmp/sp dir/s.txt", U"/tmp/my src.inc", false},
      {{U"/tmp/no_gui/s.txt", U" r.inc "}, U"/tmp/no_gui/s.txt", U" r.inc ", false},
  };
  for (const row& r : rows) {
    command_line_names names = read_command_line(r.arguments);
    EXPECT_EQ(names.schema_path, r.schema) << to_utf8(r.schema);
    EXPECT_EQ(names.source_path, r.source) << to_utf8(r.source);
    EXPECT_EQ(names.unattended, r.unattended) << to_utf8(r.source);
  }
}

TEST(Preference, LooksTheKeyUpAnywhereInTheText) {
  struct row {
    text_view prefs;
    text_view key;
    text_view expected;
  };
  const row rows[] = {
      {U"schema=a.txt\r\nsource=b.txt\r\nresult=c.txt", U"source=", U"b.txt"},
      {U"schema=a.txt\r\nsource=b.txt\r\nresult=c.txt", U"result=", U"c.txt"},
      // No line feed after the key: the value runs to the end.
      {U"schema=  a.txt  ", U"schema=", U"a.txt"},
      // The first occurrence wins, even inside another line.
      {U"schema=x source=y.txt\r\nsource=b.txt", U"source=", U"y.txt"},
      {U"schema=a\r\r.txt\nsource=b", U"schema=", U"a.txt"},
      {U"schema=\r\nsource=b", U"schema=", U""},
      {U"source=b", U"schema=", U"DEFAULT"},
      {U"", U"schema=", U"DEFAULT"},
      {U"Schema=a", U"schema=", U"DEFAULT"},
  };
  for (const row& r : rows)
    EXPECT_EQ(preference(r.prefs, U"DEFAULT", r.key), r.expected) << to_utf8(r.prefs);
}

TEST(AppDir, HomeVariableOverridesTheProgramDirectory) {
  EXPECT_EQ(choose_app_dir(U"/opt/zorvex", nullptr), U"/opt/zorvex/");
  EXPECT_EQ(choose_app_dir(U"/", nullptr), U"/");
  EXPECT_EQ(choose_app_dir(U"/opt/zorvex", ""), U"/opt/zorvex/");
  EXPECT_EQ(choose_app_dir(U"/opt/zorvex", "/home/u/zv/"), U"/home/u/zv/");
}

using MainWindow = front_end_test;

TEST_F(MainWindow, FirstStartWithoutPreferences) {
  put_file(home / "example/vbs_c/s.txt", "schema text");
  put_file(home / "example/vbs_c/reallife.inc", "source text");
  start();
  const frontend_state& state = fe().state;
  EXPECT_EQ(state.schema_path, home.dir() + U"example/vbs_c/s.txt");
  EXPECT_EQ(state.source_path, home.dir() + U"example/vbs_c/reallife.inc");
  EXPECT_EQ(state.result_path, home.dir() + U"d/zrresult.txt");
  EXPECT_EQ(ui.box_text(control::txtSchemaFile), U"example/vbs_c/s.txt");
  EXPECT_EQ(ui.box_text(control::txtSourceFile), U"example/vbs_c/reallife.inc");
  EXPECT_EQ(ui.box_text(control::txtResultFile), U"d/zrresult.txt");
  EXPECT_EQ(file_bytes(home / "prefer.txt"),
            "schema=example/vbs_c/s.txt\r\nsource=example/vbs_c/reallife.inc\r\n"
            "result=d/zrresult.txt");
  EXPECT_EQ(ui.box_text(control::txtSchema), U"schema text");
  EXPECT_EQ(ui.box_text(control::txtSource), U"source text");
  EXPECT_TRUE(std::filesystem::is_directory(home.path() / "d"));
  EXPECT_EQ(state.status_path, home.dir() + U"d/zrstatus.txt");
  EXPECT_EQ(state.log_path, home.dir() + U"d/zrout.txt");
  EXPECT_EQ(ui.timers[timer::Timer2].interval, 300);
  EXPECT_TRUE(ui.timers[timer::Timer2].enabled);
  EXPECT_TRUE(ui.timers[timer::Timer1].enabled);
  EXPECT_EQ(ui.timers[timer::Timer1].interval, 100);
  EXPECT_FALSE(state.startup_pending);
  EXPECT_TRUE(ui.is_visible(control::zrmain));
  EXPECT_EQ(console(), U"");
}

TEST_F(MainWindow, CreationSetsCaptionsAndHidesTheExceptionIndicator) {
  create();
  for (control which : all_controls) {
    if (std::optional<text_view> caption = fixed_caption(which)) {
      EXPECT_EQ(ui.caption(which), *caption) << control_name(which);
    }
  }
  EXPECT_EQ(ui.caption(control::lblSteps), U"are off");
  EXPECT_EQ(ui.caption(control::lblDebug), U"is off");
  EXPECT_EQ(ui.caption(control::cmdOpenSchema), U"<>");
  EXPECT_EQ(ui.caption(control::cmdSuspend), U"&suspend/resume");
  EXPECT_FALSE(ui.is_visible(control::lbllblException));
  EXPECT_FALSE(ui.is_visible(control::cmdException));
  EXPECT_TRUE(fe().state.startup_pending);
}

TEST_F(MainWindow, AFailedCreationIsShownAndEndsTheProgram) {
  ui.program_directory_fails = true;
  create();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0], U"top_level_error_handling in initialize: \r\n76\r\nPath not found");
  EXPECT_TRUE(ui.ended);
}

TEST_F(MainWindow, StartUpDeletesTheOldStatusFileAndConsoleLog) {
  put_file(home / "d/zrstatus.txt", "end,");
  put_file(home / "d/zrout.txt", "old console");
  start();
  EXPECT_FALSE(file_exists(home / "d/zrstatus.txt"));
  EXPECT_FALSE(file_exists(home / "d/zrout.txt"));
}

TEST_F(MainWindow, PreferencesWinOverTheCommandLineAndAreRewritten) {
  put_file(home / "prefer.txt", "source=  mine.inc  \r\nschema=/abs/s.txt");
  start({U"cmd_schema.txt", U"cmd_source.txt"});
  const frontend_state& state = fe().state;
  EXPECT_EQ(state.schema_path, U"/abs/s.txt");
  EXPECT_EQ(state.source_path, home.dir() + U"mine.inc");
  EXPECT_EQ(state.result_path, home.dir() + U"d/zrresult.txt");
  EXPECT_EQ(file_bytes(home / "prefer.txt"),
            "schema=/abs/s.txt\r\nsource=mine.inc\r\nresult=d/zrresult.txt");
}

TEST_F(MainWindow, CommandLineNamesActWhereAKeyIsMissing) {
  put_file(home / "prefer.txt", "result=out.txt");
  start({U"cmd_schema.txt", U"cmd_source.txt"});
  EXPECT_EQ(fe().state.schema_path, home.dir() + U"cmd_schema.txt");
  EXPECT_EQ(fe().state.source_path, home.dir() + U"cmd_source.txt");
  EXPECT_EQ(fe().state.result_path, home.dir() + U"out.txt");
}

TEST_F(MainWindow, NoGuiHidesTheWindowAndKeepsThePanesEmpty) {
  start({U"s.txt", U"r.inc", U"no_gui"});
  EXPECT_TRUE(fe().state.unattended);
  EXPECT_FALSE(ui.is_visible(control::zrmain));
  writes(fe(), std::u32string(250, U'x'));
  EXPECT_EQ(console(), U"");
  EXPECT_EQ(file_bytes(home / "d/zrout.txt"), std::string(250, 'x'));
}

TEST_F(MainWindow, HomeVariableNamesTheApplicationDirectory) {
  testing::scoped_temp_dir other;
  ::setenv("ZORVEX_HOME", other.path().c_str(), 1);
  start();
  ::unsetenv("ZORVEX_HOME");
  EXPECT_EQ(fe().state.app_dir, other.dir());
  EXPECT_TRUE(file_exists(other / "prefer.txt"));
  EXPECT_FALSE(file_exists(home / "prefer.txt"));
}

TEST_F(MainWindow, AFailingStartUpIsReportedWithItsStep) {
  // A directory where "prefer.txt" should be: the preferences cannot be read.
  std::filesystem::create_directory(home.path() / "prefer.txt");
  start();
  EXPECT_EQ(console(), U"\r\nIs a directory\r\nwhen reading a file `" + home.dir() +
                           U"prefer.txt` in `read_f` module\r\nprepare_task_at_startup\r\nread "
                           U"preferences\r\nEXCEPTION 57 when in module Timer1"
                           // The console log has no name yet.
                           U"error opening file ``\r\nNo such file or directory");
  EXPECT_TRUE(ui.is_visible(control::lbllblException));
  EXPECT_TRUE(ui.is_visible(control::cmdException));
  EXPECT_FALSE(fe().state.startup_pending);
}

TEST_F(MainWindow, ApplySavesTheBoxesAndMakesThemCurrent) {
  start();
  ui.set_box_text(control::txtSchemaFile, U"mine/s.txt");
  ui.set_box_text(control::txtSourceFile, U"");
  ui.set_box_text(control::txtResultFile, U"/tmp/abs-result.txt");
  ui.press(control::cmdSavePreferences);
  EXPECT_EQ(file_bytes(home / "prefer.txt"),
            "schema=mine/s.txt\r\nsource=\r\nresult=/tmp/abs-result.txt");
  EXPECT_EQ(fe().state.schema_path, home.dir() + U"mine/s.txt");
  // An empty box saves an empty value, which then names the directory itself.
  EXPECT_EQ(fe().state.source_path, home.dir());
  EXPECT_EQ(fe().state.result_path, U"/tmp/abs-result.txt");
}

TEST_F(MainWindow, ReadPreferencesUsesTheTextInMemory) {
  start();
  put_file(home / "prefer.txt", "schema=changed-on-disk.txt");
  ui.set_box_text(control::txtSchemaFile, U"typed.txt");
  ui.press(control::cmdRestoreNames);
  EXPECT_EQ(ui.box_text(control::txtSchemaFile), U"example/vbs_c/s.txt");
  EXPECT_EQ(fe().state.schema_path, home.dir() + U"example/vbs_c/s.txt");
}

TEST_F(MainWindow, LoadRestoresNamesAndReadsThePanes) {
  start();
  put_file(home / "example/vbs_c/s.txt", "new schema");
  ui.set_box_text(control::txtSchema, U"unsaved");
  ui.three_way_answers = {answer::no};
  ui.press(control::cmdLoad);
  EXPECT_EQ(ui.box_text(control::txtSchema), U"new schema");
}

TEST_F(MainWindow, LoadOfAMissingFileReportsItAndChangesNothing) {
  put_file(home / "example/vbs_c/s.txt", "schema text");
  start();
  ui.set_box_text(control::txtConsole, U"before|");
  fe().state.prefs_text = U"schema=nowhere/s.txt";
  const text schema_path = fe().state.schema_path;
  ui.press(control::cmdLoad);
  EXPECT_EQ(console(),
            U"before|EXCEPTION when in module cmdLoad_Click\r\n53\r\nFile not found\r\n`" +
                home.dir() + U"nowhere/s.txt` does not exist; nothing was loaded");
  EXPECT_FALSE(file_exists(home / "nowhere/s.txt"));
  EXPECT_EQ(fe().state.schema_path, schema_path);
  EXPECT_EQ(ui.box_text(control::txtSchemaFile), U"example/vbs_c/s.txt");
  EXPECT_EQ(ui.box_text(control::txtSchema), U"schema text");
  EXPECT_FALSE(file_exists(home / "d/zrout.txt"));
}

TEST_F(MainWindow, LoadOverUnsavedEditsAsksFirst) {
  put_file(home / "example/vbs_c/s.txt", "schema text");
  start();
  ui.type(control::txtSchema, U'!');
  ui.three_way_answers = {answer::cancel, answer::no};
  ui.press(control::cmdLoad);
  EXPECT_EQ(ui.box_text(control::txtSchema), U"schema text!");
  ui.press(control::cmdLoad);
  ASSERT_EQ(ui.questions.size(), 2u);
  EXPECT_EQ(ui.questions[1], U"Save changes to " + (home / "example/vbs_c/s.txt") + U"?");
  EXPECT_EQ(ui.box_text(control::txtSchema), U"schema text");
  EXPECT_EQ(file_bytes(home / "example/vbs_c/s.txt"), "schema text");
}

TEST_F(MainWindow, BrowseKeepsTheTypedNameOnCancelAndHomeNamesRelative) {
  start();
  ui.set_box_text(control::txtResultFile, U"typed.txt");
  ui.dialog_answers = {U"/picked/s.txt", home / "mine/src.inc", std::nullopt};
  ui.press(control::cmdBrowse0);
  ui.press(control::cmdBrowse1);
  ui.press(control::cmdBrowse2);
  ASSERT_EQ(ui.dialogs_started_with.size(), 3u);
  EXPECT_EQ(ui.dialogs_started_with[0], home.dir() + U"example/vbs_c/s.txt");
  EXPECT_EQ(ui.dialogs_started_with[2], home.dir() + U"typed.txt");
  EXPECT_EQ(ui.box_text(control::txtSchemaFile), U"/picked/s.txt");
  EXPECT_EQ(ui.box_text(control::txtSourceFile), U"mine/src.inc");
  EXPECT_EQ(ui.box_text(control::txtResultFile), U"typed.txt");
  // The current path changes only at the next apply.
  EXPECT_EQ(fe().state.schema_path, home.dir() + U"example/vbs_c/s.txt");
}

TEST_F(MainWindow, SavingAPaneUnderANewNameAsksFirst) {
  put_file(home / "example/vbs_c/reallife.inc", "old source");
  put_file(home / "other.inc", "other source");
  start();
  ui.set_box_text(control::txtSourceFile, U"other.inc");
  ui.press(control::cmdSavePreferences);
  ui.yes_no_answers = {false, true};
  ui.press(control::cmdSaveSource);
  EXPECT_EQ(file_bytes(home / "other.inc"), "other source");
  ASSERT_EQ(ui.questions.size(), 1u);
  EXPECT_NE(ui.questions[0].find(U"Save it as `" + (home / "other.inc") + U"`?"), text::npos);
  ui.press(control::cmdSaveSource);
  EXPECT_EQ(file_bytes(home / "other.inc"), "old source");
  // The pane now holds that file: saving again asks nothing.
  ui.press(control::cmdSaveSource);
  EXPECT_EQ(ui.questions.size(), 2u);
}

TEST_F(MainWindow, ALatin1FileIsWrittenBackAsLatin1) {
  put_file(home / "example/vbs_c/reallife.inc", "caf\xe9\r\n");
  start();
  EXPECT_EQ(ui.box_text(control::txtSource), U"caf\u00e9\r\n");
  ui.type(control::txtSource, U'!');
  ui.press(control::cmdSaveSource);
  EXPECT_EQ(file_bytes(home / "example/vbs_c/reallife.inc"), "caf\xe9\r\n!");
  // A character Latin-1 cannot hold: the file becomes UTF-8 as a whole once
  // the user agrees; declined, nothing is written.
  ui.type(control::txtSource, U'\u20ac');
  ui.yes_no_answers = {false};
  ui.press(control::cmdSaveSource);
  EXPECT_EQ(file_bytes(home / "example/vbs_c/reallife.inc"), "caf\xe9\r\n!");
  ASSERT_EQ(ui.questions.size(), 1u);
  EXPECT_EQ(ui.questions[0], U"`" + (home / "example/vbs_c/reallife.inc") +
                                 U"` was read as Latin-1, and the text now holds characters "
                                 U"Latin-1 cannot hold.\r\nSave the whole file as UTF-8?");
  ui.press(control::cmdSaveSource);
  EXPECT_EQ(file_bytes(home / "example/vbs_c/reallife.inc"), "caf\xc3\xa9\r\n!\xe2\x82\xac");
}

// A result name that names the schema's or the source's file (by another
// name, through a link, or with dots) is refused at apply and at go: a
// message names the clash and nothing is written.
TEST_F(MainWindow, AResultNameThatIsAnInputIsRefusedAtApplyAndGo) {
  put_file(home / "example/vbs_c/reallife.inc", "hello");
  std::filesystem::create_symlink(home.path() / "example/vbs_c/reallife.inc",
                                  home.path() / "link.inc");
  start();
  const std::string prefs = file_bytes(home / "prefer.txt");
  const std::pair<text, text> clashes[] = {
      {U"example/vbs_c/s.txt", U"schema"},
      {home / "example/vbs_c/reallife.inc", U"source"},
      {U"link.inc", U"source"},
      {U"example/vbs_c/../vbs_c/s.txt", U"schema"},
  };
  for (const auto& [name, what] : clashes) {
    ui.messages.clear();
    ui.set_box_text(control::txtResultFile, name);
    ui.press(control::cmdSavePreferences);
    ASSERT_EQ(ui.messages.size(), 1u) << to_utf8(name);
    EXPECT_EQ(ui.messages[0].substr(0, ui.messages[0].find(U'`', 17) + 1),
              U"The result file `" + full_path(name, home.dir()) + U"`")
        << to_utf8(name);
    EXPECT_NE(ui.messages[0].find(U"is the " + what + U" file `"), text::npos);
    EXPECT_EQ(file_bytes(home / "prefer.txt"), prefs);
    EXPECT_EQ(fe().state.result_path, home / "d/zrresult.txt");
  }
  // A clashing name made current otherwise (here by the preferences) is
  // refused at go: no run, the source whole.
  fe().state.result_path = home / "link.inc";
  ui.messages.clear();
  ui.press(control::cmdGo);
  ui.advance_clock(0.5);
  EXPECT_EQ(ui.messages.size(), 1u);
  EXPECT_FALSE(fe().state.run_requested);
  EXPECT_EQ(fe().state.runs, 0);
  EXPECT_EQ(file_bytes(home / "example/vbs_c/reallife.inc"), "hello");
  // Another name is applied as before.
  ui.set_box_text(control::txtResultFile, U"d/out.txt");
  ui.press(control::cmdSavePreferences);
  EXPECT_EQ(fe().state.result_path, home / "d/out.txt");
}

// Load with a name typed and not applied asks: Cancel keeps everything, No
// loads the applied names, Yes applies the typed ones first.
TEST_F(MainWindow, LoadAsksAboutATypedNameNotApplied) {
  put_file(home / "example/vbs_c/s.txt", "schema text");
  put_file(home / "other.txt", "other schema");
  start();
  const std::tuple<answer, text, text> cases[] = {
      {answer::cancel, U"other.txt", U"schema text"},
      {answer::no, U"example/vbs_c/s.txt", U"schema text"},
      {answer::yes, U"other.txt", U"other schema"},
  };
  for (const auto& [reply, box, pane] : cases) {
    ui.set_box_text(control::txtSchemaFile, U"other.txt");
    ui.questions.clear();
    ui.three_way_answers = {reply};
    ui.press(control::cmdLoad);
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions[0], typed_names_question);
    EXPECT_EQ(ui.box_text(control::txtSchemaFile), box);
    EXPECT_EQ(ui.box_text(control::txtSchema), pane);
  }
  // Applied names load without a question.
  ui.questions.clear();
  ui.press(control::cmdLoad);
  EXPECT_TRUE(ui.questions.empty());
}

TEST_F(MainWindow, SaveWritesTheCurrentPathNotTheBrowsedName) {
  start();
  ui.dialog_answers = {home / "browsed.txt"};
  ui.press(control::cmdBrowse1);
  ui.set_box_text(control::txtSource, U"edited source");
  ui.set_box_text(control::txtSchema, U"edited schema");
  ui.press(control::cmdSaveSource);
  ui.press(control::cmdSaveSchema);
  EXPECT_EQ(file_bytes(home / "example/vbs_c/reallife.inc"), "edited source");
  EXPECT_EQ(file_bytes(home / "example/vbs_c/s.txt"), "edited schema");
  EXPECT_FALSE(file_exists(home / "browsed.txt"));
}

TEST_F(MainWindow, AFailedSaveKeepsTheOldFileAndReportsTheError) {
  text name = U"schema.txt";
  put_file(home / to_utf8(name), "old schema");
  put_file(home / "prefer.txt", "schema=" + to_utf8(name));
  start();
  ASSERT_EQ(ui.box_text(control::txtSchema), U"old schema");
  ui.set_box_text(control::txtSchema, U"new schema");
  {
    scoped_file_size_limit limit(4);
    ui.press(control::cmdSaveSchema);
  }
  EXPECT_EQ(file_bytes(home / to_utf8(name)), "old schema");
  // The console log cannot grow under the limit either; it says so after.
  EXPECT_TRUE(console().starts_with(U"\r\nFile too large\r\nwhen writing a file `" + home.dir() +
                                    name + U"` in `write_f` module\r\nEXCEPTION 57 "))
      << to_utf8(console());
  EXPECT_TRUE(ui.is_visible(control::lbllblException));
  ui.press(control::cmdException);
  EXPECT_FALSE(ui.is_visible(control::lbllblException));
  EXPECT_FALSE(ui.is_visible(control::cmdException));
}

TEST_F(MainWindow, HelpAndOpenSchemaShowTheirTexts) {
  start();
  ui.press(control::cmdHelp);
  ui.press(control::cmdOpenSchema);
  ASSERT_EQ(ui.messages.size(), 2u);
  // The help of the window's first version comes first; the run buttons, the
  // keys, the order of names and the guide follow.
  const text_view first_help =
      U"apply - saves schema, source, result file names and makes them current; \r\n"
      U"read preferences - restores saved schema, source, result file names and makes them "
      U"current;\r\n\r\nusual working sequence 1) when you start:\r\n        select your "
      U"preferences, apply, load, go;\r\n2) when you made changes:\r\n        save, go;   "
      U"\r\n\r\nto increase size of corresponding text box: double-click it;\r\nto decrease "
      U"size - double-click it or press Esc;\r\nto save when size is increased, it must be "
      U"first decreased and then saved;\r\n\r\n\r\ndebug modes can be set in schema;\r\n";
  EXPECT_EQ(ui.messages[0].substr(0, first_help.size()), first_help);
  for (text_view mentioned : {U"stop (Shift+F5)", U"prefer.txt come before", U"docs/guide.md"})
    EXPECT_NE(ui.messages[0].find(mentioned), text::npos) << to_utf8(mentioned);
  EXPECT_EQ(ui.messages[1],
            U"double click on some windows opens/closes them for work ...\r\n`Esc` SAVES opened "
            U"window content back to a small window (not escapes) ... ");
  EXPECT_EQ(fe().editor.current_text, U"schema");
}

TEST_F(MainWindow, EndWritesTheStatusLineAndFlushesTheConsole) {
  start();
  writes(fe(), U"waiting");
  ui.clock = 43200.25;
  ui.press(control::btnEnd);
  EXPECT_TRUE(ui.ended);
  EXPECT_EQ(file_bytes(home / "d/zrstatus.txt"), "end," + to_utf8(time_stamp(43200.25)) + "at ");
  EXPECT_EQ(file_bytes(home / "d/zrout.txt"), "waiting");
}

TEST_F(MainWindow, EndStillEndsWhenTheStatusFileCannotBeWritten) {
  start();
  std::filesystem::create_directory(home.path() / "d/zrstatus.txt");
  ui.press(control::btnEnd);
  EXPECT_TRUE(ui.ended);
}

TEST_F(MainWindow, EscEndsAtOnceWithoutTheStatusLine) {
  start();
  EXPECT_TRUE(main->key_pressed(control::txtSource, key_escape));
  EXPECT_TRUE(ui.ended);
  EXPECT_TRUE(ui.questions.empty());
  EXPECT_FALSE(file_exists(home / "d/zrstatus.txt"));
}

TEST_F(MainWindow, EndingWithUnsavedPanesAsksPerPane) {
  struct row {
    bool by_escape;
    std::vector<answer> answers;
    bool ended;
    const char* schema_file;
    const char* source_file;
  };
  const row rows[] = {
      {true, {answer::cancel}, false, "schema", "source"},
      {false, {answer::no, answer::cancel}, false, "schema", "source"},
      {true, {answer::yes, answer::no}, true, "schema!", "source"},
      {false, {answer::yes, answer::yes}, true, "schema!", "source?"},
  };
  for (const row& r : rows) {
    put_file(home / "example/vbs_c/s.txt", "schema");
    put_file(home / "example/vbs_c/reallife.inc", "source");
    main.reset();
    ui = fake_toolkit();
    ui.program_dir = home.dir();
    start();
    ui.type(control::txtSchema, U'!');
    // Edits made in the editor window count too.
    ui.double_click(control::txtSource);
    ui.type(control::txtEdit, U'?');
    ui.three_way_answers.assign(r.answers.begin(), r.answers.end());
    if (r.by_escape) {
      main->key_pressed(control::txtSchema, key_escape);
    } else {
      ui.press(control::btnEnd);
    }
    EXPECT_EQ(ui.ended, r.ended) << r.by_escape;
    EXPECT_EQ(ui.questions.size(), r.answers.size());
    EXPECT_EQ(ui.questions[0], U"Save changes to " + (home / "example/vbs_c/s.txt") + U"?");
    EXPECT_EQ(file_bytes(home / "example/vbs_c/s.txt"), r.schema_file);
    EXPECT_EQ(file_bytes(home / "example/vbs_c/reallife.inc"), r.source_file);
    EXPECT_EQ(file_exists(home / "d/zrstatus.txt"), r.ended && !r.by_escape);
    delete_f(home / "d/zrstatus.txt");
  }
}

TEST_F(MainWindow, AboutNamesTheVersion) {
  start();
  ui.press(control::cmdDemo);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].substr(0, 7), U"zorvex ");
  EXPECT_NE(ui.messages[0].find(U'.'), text::npos);
}

// The notice is a message box that takes the keyboard.
TEST_F(MainWindow, AFileChangedOnDiskIsNoticedOnce) {
  start();
  ui.advance_clock(0.3);
  EXPECT_TRUE(ui.messages.empty());
  put_file(home / "example/vbs_c/s.txt", "changed elsewhere");
  ui.advance_clock(0.6);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].substr(0, ui.messages[0].find(U'\r')),
            U"`" + (home / "example/vbs_c/s.txt") + U"` changed on disk.");
  // Our own save is no change from elsewhere.
  ui.press(control::cmdSaveSchema);
  ui.advance_clock(0.6);
  EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(MainWindow, TheModifiedMarkersFollowTheEdits) {
  start();
  EXPECT_EQ(ui.caption(control::zrmain), U"zorvex");
  EXPECT_EQ(ui.caption(control::lblSchemaPane), U"s.txt");
  ui.type(control::txtSchema, U'!');
  ui.advance_clock(0.3);
  EXPECT_EQ(ui.caption(control::lblSchemaPane), U"s.txt *");
  EXPECT_EQ(ui.caption(control::zrmain), U"zorvex *");
  ui.press(control::cmdSaveSchema);
  ui.advance_clock(0.3);
  EXPECT_EQ(ui.caption(control::zrmain), U"zorvex");
  // The editor's caption carries the marker of the pane it shows.
  ui.double_click(control::txtSchema);
  ui.type(control::txtEdit, U'?');
  ui.advance_clock(0.3);
  EXPECT_EQ(ui.caption(control::frmEdit), U"schema:  example/vbs_c/s.txt *");
}

TEST_F(MainWindow, OtherKeysInTheMainWindowPassThrough) {
  start();
  ui.type(control::txtSource, U'x');
  EXPECT_FALSE(ui.ended);
  EXPECT_EQ(ui.box_text(control::txtSource), U"x");
}

}  // namespace
}  // namespace zr
