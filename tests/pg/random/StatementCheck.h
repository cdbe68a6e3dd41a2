// A generated statement run on both engines and judged, and a difference cut down to the smallest
// statement that still shows it.
#pragma once

#include "pg/random/EngineOutcome.h"
#include "support/AccessGrammar.h"

namespace tarvel::test {

struct StatementCheck {
  GeneratedStatement statement;
  Outcome sqlite, server;
  Verdict verdict;
};

/// The two engines a check runs on.
struct EnginePair {
  db::Connection& sqlite;
  db::Connection& server;
};

/// Runs `statement` on both engines and judges the outcomes.
StatementCheck Check(const GeneratedStatement& statement, EnginePair engines);

/// A difference cut down: the check of the smallest statement reached, step by step, that still
/// differs in the same way (the same kind, the failing engine failing with the same message but
/// for the values it quotes), after at most `attempts` statements tried.
StatementCheck Minimise(const StatementCheck& difference, EnginePair engines, int attempts = 250);

}  // namespace tarvel::test
