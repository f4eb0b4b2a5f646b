#!/usr/bin/env bash
# Fails when a message text that the code can raise is missing from
# docs/messages.md, and lists exactly the missing texts.
#
#   check-messages.sh REPO_ROOT
#
# The texts are the string literals on the lines that the rules below select
# (a statement that goes on over several lines counts as a whole). Each
# literal is cut at line breaks and format specifiers; every piece with at
# least three letters must occur verbatim in the page. To cover a new kind of
# message, add a rule: a file pattern, a blank, and a Perl pattern for the lines.
set -uo pipefail
root=${1:-$(dirname "$0")/..}
page="$root/docs/messages.md"
[[ -f "$page" ]] || { echo "check-messages.sh: no $page"; exit 1; }

rules=$(cat <<'EOF'
engine/*.cpp  \braise_(engine_)?error\(
engine/*.cpp  ^\s*(text\s+)?(message|report)\s*\+?=
engine/*.cpp  raise_with_context\(U|\w*context\w*\s*(\+?=|\()|in_phase\(U
engine/*.h  \w*_context\s*=
common/*.cpp  \braise_(engine_)?error\(
common/*.cpp  ^\s*(text\s+)?message\s*\+?=
common/errors.cpp  ^\s*return U"
cli/*.cpp  stderr|usage_error\(|\berror\s*=
frontend/*.cpp  EXCEPTION|top_level_error_handling|\bstatus\s*\+?=|file_context\(U|reporting\(U|raise_with_context\(U|\bstep\s*=\s*U"
frontend/frm_edit.cpp  ^\s*U"
frontend/qt/*.cpp  stderr
EOF
)

cd "$root" || exit 1
RULES="$rules" perl -e '
  use strict;
  use warnings;
  my $page = do { local $/; open my $f, "<", $ARGV[0] or die "cannot read $ARGV[0]\n"; <$f> };
  my (%seen, @missing);
  for my $rule (split /\n/, $ENV{RULES}) {
    my ($glob, $pattern) = $rule =~ /^(\S+)\s+(.*)$/ or next;
    for my $file (grep { !/_test\.cpp$/ } glob $glob) {
      open my $f, "<", $file or die "cannot read $file\n";
      my @lines = <$f>;
      for (my $i = 0; $i < @lines; ++$i) {
        next unless $lines[$i] =~ /$pattern/;
        # The statement: from the last brace or semicolon before the match up
        # to the next semicolon outside a string literal, over several lines.
        my $start = $-[0];
        my $head = substr($lines[$i], 0, $start);
        $start = $head =~ /.*[{;]/ ? $+[0] : 0;
        my $text = join "", substr($lines[$i], $start), @lines[$i + 1 .. ($i + 8 < $#lines ? $i + 8 : $#lines)];
        $text =~ s/\x27(?:[^\x27\\]|\\.)\x27//g;    # character literals such as \x27"\x27
        my ($statement) = $text =~ /^((?:"(?:[^"\\]|\\.)*"|[^;"])*)/;
        while ($statement =~ /"((?:[^"\\]|\\.)*)"/g) {
          my $literal = $1;
          for my $piece (split /\\r\\n|\\n|\\r|%[-0-9.]*[sdzu]+/, $literal) {
            $piece =~ s/\\(.)/$1/g;
            $piece =~ s/^\s+|\s+$//g;
            next if ($piece =~ tr/A-Za-z//) < 3 || $seen{$piece}++;
            push @missing, sprintf("%s:%d: %s", $file, $i + 1, $piece)
              if index($page, $piece) < 0;
          }
        }
      }
    }
  }
  if (@missing) {
    print "docs/messages.md lacks these message texts:\n";
    print "  $_\n" for @missing;
    exit 1;
  }
  print "ok\n";
' "$page"
