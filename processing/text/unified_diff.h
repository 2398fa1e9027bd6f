#pragma once

#include <string>
#include <vector>

namespace pellumar {

/// The changes from `before` to `after` in the form `diff -u` prints them,
/// without timestamps: "--- <fromName>" and "+++ <toName>", then hunks of
/// "@@ -a,b +c,d @@" with three lines of context. Each line ends in "\n";
/// empty when the two are the same.
std::string unifiedDiff(const std::vector<std::string>& before,
                        const std::vector<std::string>& after, const std::string& fromName,
                        const std::string& toName);

}  // namespace pellumar
