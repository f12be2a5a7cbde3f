#include "compare/results/row_order.h"

#include "compare/listing/name_order.h"

namespace quintrel {

int CompareRows(const ResultRow& a, const ResultRow& b, int column) {
  switch (column) {
    case kColumnMarker:
      return CompareCatalogueNames(RowMarker(a.flags), RowMarker(b.flags));
    case kColumnName:
      return CompareCatalogueNames(a.name, b.name);
    case kColumnAdded:
      return CompareValues(a.result.added, b.result.added);
    case kColumnDeleted:
      return CompareValues(a.result.deleted, b.result.deleted);
    case kColumnLoc:
      return CompareValues(a.result.loc, b.result.loc);
    default:
      return 0;
  }
}

}  // namespace quintrel
