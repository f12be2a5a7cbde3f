#pragma once

class QTreeView;

namespace quintrel {

// Sets up a list of report lines as the windows show them: flat rows selected whole, several
// at a time, nothing editable, fixed columns whose headings sort on a click, and a sort arrow
// that shows none until the first sort.
void SetUpReportList(QTreeView& list);

}  // namespace quintrel
