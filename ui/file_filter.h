#pragma once

#include <QStringList>
#include <string>

namespace pellumar {

/// Turns "description|pat1;pat2|…" into Qt's name filters, one
/// "description (pat1 pat2)" per pair. "*.*" becomes "*" so that files
/// without a dot in their name count as all files, as users expect on Linux.
/// A trailing description without patterns is dropped.
QStringList qtNameFilters(const std::string& filter);

}  // namespace pellumar
