#pragma once

#include <bitset>
#include <cstddef>
#include <memory>
#include <span>
#include <vector>

#include "processing/passes/line_stage.h"
#include "processing/passes/rule_tables.h"
#include "processing/passes/subtitle_kind.h"

namespace pellumar {

/// The passes, in the order a run applies them, each reading what the one
/// before made of the text.
enum class PassId {
  SubstituteLocalChars,   ///< A
  ReplaceStrings,         ///< B
  RemoveFormattingCodes,  ///< C
  DeleteRedundantSpaces,  ///< D
  DeleteBlankSubtitles,   ///< E
  FixSrtBlankLines,       ///< F
};
inline constexpr std::size_t kPassCount = 6;

/// What a pass builds its line stages from.
struct PassInput {
  const RuleTables& tables;
  SubtitleKind kind;  ///< of the chosen file, for a pass that needs it
  SkipLog* log;       ///< where a pass that keeps the skip log lists what it left out
};

/// What a pass still does in a run that was not asked for it.
enum class WhenNotAsked {
  Nothing,
  CopyUnchanged,       ///< copies the text unchanged, so every output gets CR LF ends
  MakeOutputWritable,  ///< gives the output's owner write permission (setNormalAttributes)
};

/// One row of the pass table: everything about one pass.
struct Pass {
  PassId id;
  const char* caption;   ///< the pass's name as users see it
  const char* helpText;  ///< what help mode says of it
  const char* flag;      ///< its command-line option, without the leading "--"
  const char* flagHelp;  ///< the option's description in --help
  bool onByDefault = false;
  WhenNotAsked whenNotAsked = WhenNotAsked::Nothing;
  /// Null for a pass that works on any text. Otherwise the pass needs the
  /// kind of the chosen file and works only where this says the kind fits;
  /// a file of neither kind is reported as "Unknown subtitle type" naming
  /// the pass's caption.
  bool (*kindFits)(const SubtitleKind&) = nullptr;
  /// The table whose to-texts the pass may write besides the text it reads;
  /// null when it writes nothing but what it reads.
  const std::vector<TextPair> RuleTables::*writes = nullptr;
  bool keepsSkipLog = false;       ///< lists what it leaves out in the skip log
  bool mayStopOnOverlong = false;  ///< its stage may throw OverlongBlock
  /// The pass's line stages in order; in the staged run each is a rewrite of
  /// the output of its own.
  std::vector<std::unique_ptr<LineStage>> (*stages)(const PassInput&) = nullptr;
};

/// The rows in the order the passes run.
std::span<const Pass> passTable();
const Pass& passOf(PassId id);

/// The passes a run is asked for.
class PassSet {
 public:
  static PassSet none() { return {}; }
  static PassSet all();
  /// The passes that are on unless turned off.
  static PassSet defaults();

  bool contains(PassId id) const { return bits_.test(static_cast<std::size_t>(id)); }
  PassSet& set(PassId id, bool on = true) {
    bits_.set(static_cast<std::size_t>(id), on);
    return *this;
  }
  bool operator==(const PassSet&) const = default;

 private:
  std::bitset<kPassCount> bits_;
};

}  // namespace pellumar
