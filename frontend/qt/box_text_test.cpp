#include "frontend/qt/box_text.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextDocument>
#include <vector>

#include "frontend/qt/qt_toolkit.h"

namespace zr {
namespace {

struct line_break_case {
  text logic;
  std::u16string crlf_document;
  std::u16string lf_document;
};

// The convention's break is a block break; every other break keeps a
// character of its own.
TEST(BoxText, LineBreaksMapBothWays) {
  const line_break_case cases[] = {
      {U"", u"", u""},
      {U"a\r\nb", u"a\u2029b", u"a\u240D\u2029b"},
      {U"a\nb", u"a\u2028b", u"a\u2029b"},
      {U"a\rb", u"a\u240Db", u"a\u240Db"},
      {U"\r\n\r\n", u"\u2029\u2029", u"\u240D\u2029\u240D\u2029"},
      {U"\n\r", u"\u2028\u240D", u"\u2029\u240D"},
      {U"\r\r\n", u"\u240D\u2029", u"\u240D\u240D\u2029"},
      {U"x\U0001F600y", u"x\U0001F600y", u"x\U0001F600y"},
  };
  for (const auto& c : cases) {
    for (auto [convention, document] :
         {std::pair{line_end::crlf, c.crlf_document}, std::pair{line_end::lf, c.lf_document}}) {
      QString expected = QString::fromStdU16String(document);
      EXPECT_EQ(document_text(c.logic, convention), expected) << to_utf8(c.logic);
      EXPECT_EQ(logic_text(expected, convention), c.logic) << to_utf8(c.logic);
    }
  }
  EXPECT_EQ(line_end_of(U"a\nb\r\n", line_end::crlf), line_end::lf);
  EXPECT_EQ(line_end_of(U"a\r\nb\n", line_end::lf), line_end::crlf);
  EXPECT_EQ(line_end_of(U"a\rb", line_end::crlf), line_end::crlf);
}

// A real document gives back exactly what it was given, CR LF included, and
// an LF text has one block per line.
TEST(BoxText, ADocumentKeepsTheText) {
  const text mixed = U"line 1\r\nline 2\nline 3\rend \u00e9\U0001F600\r\n";
  QPlainTextEdit box;
  box.setPlainText(document_text(mixed, line_end::crlf));
  EXPECT_EQ(logic_text(box.document()->toRawText(), line_end::crlf), mixed);
  EXPECT_EQ(box.document()->blockCount(), 3);
  box.setPlainText(document_text(mixed, line_end::lf));
  EXPECT_EQ(logic_text(box.document()->toRawText(), line_end::lf), mixed);
  EXPECT_EQ(box.document()->blockCount(), 4);
}

TEST(BoxText, PositionsCountDocumentCharacters) {
  const text value = U"ab\r\ncd\n\U0001F600e";
  const std::pair<std::size_t, int> cases[] = {
      {0, 0}, {2, 2}, {3, 3}, {4, 3}, {5, 4}, {6, 5}, {7, 6}, {8, 8}, {9, 9}, {100, 9},
  };
  for (auto [index, position] : cases) {
    EXPECT_EQ(document_position(value, index, line_end::crlf), position) << index;
    if (index != 3 && index <= value.size()) {
      EXPECT_EQ(logic_position(value, position, line_end::crlf), index) << index;
    }
  }
  EXPECT_EQ(document_position(value, 4, line_end::lf), 4);
  EXPECT_EQ(logic_position(value, 4, line_end::lf), 4u);
}

TEST(BoxText, InsideLineBreakOnlyBetweenCrAndLfOfCrLfTexts) {
  const text value = U"a\r\nb\rc\n";
  for (std::size_t k = 0; k <= value.size(); ++k) {
    EXPECT_EQ(inside_line_break(value, k, line_end::crlf), k == 2) << k;
    EXPECT_FALSE(inside_line_break(value, k, line_end::lf)) << k;
  }
}

// Appending as the console does: the box's text and the document's text stay
// the same, also when a CR LF is cut between two appends.
TEST(QtToolkitBoxes, AppendsKeepTheTextAndTheDocumentAlike) {
  const std::vector<std::vector<text>> runs = {
      {U"a\r", U"\nb"},
      {U"x\r\n", U"y\r\n", U"z"},
      {U"", U"\r\n", U"\r", U"\r\n\n"},
      {U"\U0001F600\r\n", U"\u00e9"},
  };
  for (const auto& run : runs) {
    qt_toolkit ui({});
    auto* pane = qobject_cast<QPlainTextEdit*>(ui.widget(control::txtConsole));
    text expected;
    for (const text& part : run) {
      ui.set_selection(control::txtConsole, ui.box_text(control::txtConsole).size(), 1);
      ui.replace_selection(control::txtConsole, part);
      expected += part;
      EXPECT_EQ(ui.box_text(control::txtConsole), expected);
      EXPECT_EQ(logic_text(pane->document()->toRawText(), line_end_of(expected, line_end::crlf)),
                expected);
    }
  }
}

TEST(QtToolkitBoxes, ASelectionIsReplacedInThePane) {
  qt_toolkit ui({});
  ui.set_box_text(control::txtResult, U"one\r\ntwo\r\nthree");
  ui.set_selection(control::txtResult, 5, 3);
  ui.replace_selection(control::txtResult, U"2");
  EXPECT_EQ(ui.box_text(control::txtResult), U"one\r\n2\r\nthree");
  auto* pane = qobject_cast<QPlainTextEdit*>(ui.widget(control::txtResult));
  EXPECT_EQ(pane->toPlainText(), QStringLiteral("one\n2\nthree"));
}

// What the user types or pastes is read back from the widget; its line
// breaks follow the convention of the text the pane was given (LF for a text
// without one).
TEST(QtToolkitBoxes, EnterAndPasteKeepThePanesLineEnds) {
  struct row {
    text given;
    text expected;
  };
  const row rows[] = {
      {U"a\nb", U"a\nb\nc\nd\ne"},
      {U"a\r\nb", U"a\r\nb\r\nc\r\nd\r\ne"},
      {U"ab", U"ab\nc\nd\ne"},
  };
  for (const row& r : rows) {
    qt_toolkit ui({});
    ui.set_box_text(control::txtSource, r.given);
    auto* pane = qobject_cast<QPlainTextEdit*>(ui.widget(control::txtSource));
    pane->moveCursor(QTextCursor::End);
    QTest::keyClick(pane, Qt::Key_Return);
    QTest::keyClicks(pane, "c");
    QApplication::clipboard()->setText(QStringLiteral("\r\nd\ne"));
    pane->paste();
    EXPECT_EQ(ui.box_text(control::txtSource), r.expected) << to_utf8(r.given);
    EXPECT_TRUE(ui.box_modified(control::txtSource));
    EXPECT_EQ(ui.box_length(control::txtSource), r.expected.size());
  }
}

TEST(QtToolkitBoxes, ANameBoxReplacesItsSelection) {
  qt_toolkit ui({});
  ui.set_box_text(control::txtSchemaFile, U"d/\U0001F600.txt");
  ui.set_selection(control::txtSchemaFile, 2, 1);
  ui.replace_selection(control::txtSchemaFile, U"s");
  EXPECT_EQ(ui.box_text(control::txtSchemaFile), U"d/s.txt");
}

}  // namespace
}  // namespace zr
