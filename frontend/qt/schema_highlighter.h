// Colours schema text: comments, directives, nest headers, event words,
// quoted separators, texts and action statements.
#pragma once

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

namespace zr {

class schema_highlighter : public QSyntaxHighlighter {
 public:
  explicit schema_highlighter(QTextDocument* document);

  // What each part of a schema line is painted as.
  enum class part { comment, directive, nest_header, event_word, separator, text, statement };
  const QTextCharFormat& format_of(part which) const;

 protected:
  void highlightBlock(const QString& line) override;

 private:
  QTextCharFormat formats_[7];
};

}  // namespace zr
