// What a command of the Studio's model ended with: Ok, a refusal of the Studio's own (nothing
// ticked, layers of different sizes, ...), or an outcome of the computing code together with
// the role of the file it concerns, so that studio/texts.h can word it ("Cannot read the
// layer ..."). A plain value, safe to copy between threads.
#pragma once

#include <utility>

#include "core/outcome.h"

namespace quillon::studio {

// What a file is to the Studio, for the message that names it.
enum class Role {
  kNone,
  kSecret,
  kLayer,
  kInnocent,
  kShare,
  kStacked,
  kPdf,
};

enum class Problem {
  kNone,
  kOutcome,             // the library outcome says what happened
  kBusy,                // an encryption is running
  kNoShares,            // nothing to save or print: encrypt first
  kNothingTicked,       // no layer is ticked for the stack
  kUnknownParticipant,  // a ticked layer's participant is not known (index: the layer)
  kParticipantTwice,    // two ticked layers are one participant (index: the second)
  kBeyondScheme,        // a ticked layer's participant is not in the scheme (index: the layer)
  kForbiddenSet,        // the ticked participants do not see the secret
  kNotBlockMethod,      // exact decoding needs a block method
  kOffsetsSet,          // exact decoding needs the layers aligned
  kLayerSizesDiffer,    // exact decoding needs layers of one size (index: the layer)
  kNotWholeBlocks,      // the layers are not whole blocks of the method
  kSetsInvalid,         // the qualified sets as typed cannot be read
  kBadPrintChoice,      // unknown paper or pixel size out of range
  kInnocentMissing,     // an extended method without an innocent image (index: the share)
  kLayerIndex,          // no such layer, or one the command does not apply to
  kNotDecoded,          // nothing decoded to save
};

struct Result {
  Problem problem = Problem::kNone;
  Outcome outcome;  // set when problem is kOutcome
  Role role = Role::kNone;
  int index = -1;  // the layer or share a refusal concerns

  bool ok() const { return problem == Problem::kNone; }
  explicit operator bool() const { return ok(); }

  static Result Ok() { return {}; }
  // Ok for an ok outcome.
  static Result From(Outcome outcome, Role role = Role::kNone) {
    Result result;
    if (!outcome.ok()) {
      result.problem = Problem::kOutcome;
      result.role = role;
    }
    result.outcome = std::move(outcome);
    return result;
  }
  static Result Refuse(Problem problem, int index = -1) {
    Result result;
    result.problem = problem;
    result.index = index;
    return result;
  }
};

}  // namespace quillon::studio
