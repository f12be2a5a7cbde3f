#pragma once

#include <vector>

#include "engine/statement_counter.h"

namespace quintrel {

// The ways of classifying bytes that the counter is built with. CountStatements uses the
// fastest one the processor supports; the others stay built so that tests can run each.
enum class CounterKernel { kPlain, kSse2, kAvx2 };

// The kernels built in and supported by this processor, slowest first.
std::vector<CounterKernel> AvailableCounterKernels();

// CountStatements with the given kernel, which must be one of AvailableCounterKernels().
StatementCounts CountStatementsWith(const SourceText& text, CounterKernel kernel);

}  // namespace quintrel
