#include "engine/statement_counter.h"

#include "engine/statement_counter_kernels.h"
#include "engine/statement_scanner.h"

namespace quintrel {

namespace {

#ifdef QUINTREL_HAVE_AVX2_KERNEL
// Everything the scan calls is compiled into this one function for the AVX2 target.
__attribute__((target("avx2,popcnt,bmi"), flatten)) StatementCounts CountAvx2(
    const SourceText& text, std::size_t from) {
  return CountBlocks<Avx2Kernel>(text, from);
}

__attribute__((target("avx2,popcnt,bmi"), flatten)) StatementCounts CountLinesAvx2(
    const ByteBuffer& bytes, std::size_t lines, std::int32_t* perLine) {
  return CountBlocksPerLine<Avx2Kernel>(bytes, lines, perLine);
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
      return CountBlocks<Sse2Kernel>(text, from);
#endif
    default:
      return CountBlocks<PlainKernel>(text, from);
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
  return CountStatementsPerLine(text.bytes, text.lines.size(), perLine);
}

std::int64_t CountStatementsPerLine(const ByteBuffer& bytes, std::size_t lines,
                                    std::vector<std::int32_t>& perLine) {
  static const CounterKernel kFastest = FastestKernel();
  perLine.assign(lines, 0);
  StatementCounts beyond;
  switch (kFastest) {
#ifdef QUINTREL_HAVE_AVX2_KERNEL
    case CounterKernel::kAvx2:
      beyond = CountLinesAvx2(bytes, lines, perLine.data());
      break;
#endif
#ifdef QUINTREL_HAVE_SSE2
    case CounterKernel::kSse2:
      beyond = CountBlocksPerLine<Sse2Kernel>(bytes, lines, perLine.data());
      break;
#endif
    default:
      beyond = CountBlocksPerLine<PlainKernel>(bytes, lines, perLine.data());
  }
  return beyond.unmatched;
}

}  // namespace quintrel
