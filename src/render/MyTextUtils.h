#pragma once

#include <QString>

/// The text before the first `delimiter` in `source` (all of it when there is
/// none). With `remove`, that head and the delimiter's first character are
/// cut from `source` (which becomes empty when there is no delimiter).
QString CutBefore(const QString &delimiter, QString &source, bool remove);

/// Everything after the first `delimiter` in `source`, or "" when there is none.
QString TextAfter(const QString &delimiter, const QString &source);

/// Every non-overlapping occurrence of `oldText`, from the left, replaced by `newText`.
QString ReplaceAll(const QString &source, const QString &oldText, const QString &newText);

/// Reads a real number written with either "." or "," as the decimal
/// separator (the other one is turned into the locale's first); `fallback`
/// when the text is no number.
double StrToFloatAnySep(const QString &text, double fallback);
