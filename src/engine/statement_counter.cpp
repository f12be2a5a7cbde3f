#include "engine/statement_counter.h"

#include "engine/statement_counter_kernels.h"
#include "engine/statement_scanner.h"

namespace quintrel {

namespace {

#ifdef QUINTREL_HAVE_AVX2_KERNEL
// Everything the scan calls is compiled into this one function for the AVX2 target.
__attribute__((target("avx2,popcnt,bmi"), flatten)) StatementCounts CountAvx2(
    const SourceText& text, std::size_t from) {
  return CountBlocks<Avx2Kernel>(text, nullptr, from);
}

__attribute__((target("avx2,popcnt,bmi"), flatten)) StatementCounts CountLinesAvx2(
    const SourceText& text, std::int32_t* perLine) {
  return CountBlocks<Avx2Kernel, true>(text, perLine);
}
#endif

CounterKernel FastestKernel() {
  return AvailableCounterKernels().back();
}

StatementCounts CountFrom(const SourceText& text, CounterKernel kernel, std::size_t from) {
  switch (kernel) {
#ifdef QUINTREL_HAVE_AVX2_KERNEL
    case CounterKernel::kAvx2:
      return CountAvx2(text, from);
#endif
#ifdef QUINTREL_HAVE_SSE2
    case CounterKernel::kSse2:
      return CountBlocks<Sse2Kernel>(text, nullptr, from);
#endif
    default:
      return CountBlocks<PlainKernel>(text, nullptr, from);
  }
}

}  // namespace

std::vector<CounterKernel> AvailableCounterKernels() {
  std::vector<CounterKernel> kernels{CounterKernel::kPlain};
#ifdef QUINTREL_HAVE_SSE2
  kernels.push_back(CounterKernel::kSse2);
#endif
#ifdef QUINTREL_HAVE_AVX2_KERNEL
  if (Avx2Kernel::Supported()) kernels.push_back(CounterKernel::kAvx2);
#endif
  return kernels;
}

StatementCounts CountStatementsWith(const SourceText& text, CounterKernel kernel) {
  return CountFrom(text, kernel, 0);
}

StatementCounts CountStatements(const SourceText& text) {
  static const CounterKernel kFastest = FastestKernel();
  return CountFrom(text, kFastest, 0);
}

std::int64_t CountStatementsFrom(const SourceText& text, std::size_t from) {
  static const CounterKernel kFastest = FastestKernel();
  const StatementCounts counts = CountFrom(text, kFastest, from);
  return std::int64_t{counts.matched} + counts.unmatched;
}

std::int64_t CountStatementsPerLine(const SourceText& text, std::vector<std::int32_t>& perLine) {
  static const CounterKernel kFastest = FastestKernel();
  perLine.assign(text.lines.size(), 0);
  StatementCounts beyond;
  switch (kFastest) {
#ifdef QUINTREL_HAVE_AVX2_KERNEL
    case CounterKernel::kAvx2:
      beyond = CountLinesAvx2(text, perLine.data());
      break;
#endif
#ifdef QUINTREL_HAVE_SSE2
    case CounterKernel::kSse2:
      beyond = CountBlocks<Sse2Kernel, true>(text, perLine.data());
      break;
#endif
    default:
      beyond = CountBlocks<PlainKernel, true>(text, perLine.data());
  }
  return beyond.unmatched;
}

}  // namespace quintrel
