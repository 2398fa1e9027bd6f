#pragma once

#include <memory>

#include "processing/local_chars.h"
#include "processing/replace_strings.h"
#include "processing/settings.h"

namespace pellumar {

/// The settings' local-character and replacement tables, built for applying.
/// Building them costs more than cleaning a small file, so the runs of a
/// batch share one; a run given none builds its own.
struct RuleTables {
  explicit RuleTables(const Settings& settings)
      : localChars(std::make_shared<const LocalCharTable>(settings.localChars)),
        replacements(std::make_shared<const ReplacementTable>(settings.replacements)) {}

  std::shared_ptr<const LocalCharTable> localChars;
  std::shared_ptr<const ReplacementTable> replacements;
};

}  // namespace pellumar
