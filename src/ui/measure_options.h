#pragma once

#include <QString>

#include "compare/run/run_request.h"

namespace quintrel {

// "c,h,cpp": the extensions a run takes when none are asked for.
QString DefaultExtensionsText();

// The options of the window's runs that the options dialog edits, as the user typed them.
struct MeasureOptions {
  QString extensions = DefaultExtensionsText();  // comma-separated, as the CLI's --ext
  QString excludeDirs;                           // comma-separated folder names; may be empty
  int renamePercent = 0;                         // 0: no rename search; else 1 to 100

  bool operator==(const MeasureOptions&) const = default;
};

// Which text CheckMeasureOptions refused, with the message that says why.
struct OptionsProblem {
  enum class Field { kNone, kExtensions, kExcludeDirs };
  Field field = Field::kNone;
  QString message;

  bool ok() const { return field == Field::kNone; }
};

// The command line's rules for these lists, worded after the dialog's captions.
OptionsProblem CheckMeasureOptions(const MeasureOptions& options);

// Sets the extensions, the excluded folders and the rename search of `run`. A text that
// CheckMeasureOptions refuses leaves that part of `run` as it was.
void ApplyMeasureOptions(const MeasureOptions& options, RunOptions& run);

}  // namespace quintrel
