#include "engine/statement_counter.h"

#include "engine/statement_counter_kernels.h"
#include "engine/statement_scanner.h"

namespace quintrel {

namespace {

#ifdef QUINTREL_HAVE_AVX2_KERNEL
// Everything the scan calls is compiled into this one function for the AVX2 target.
__attribute__((target("avx2,popcnt,bmi"), flatten)) StatementCounts CountAvx2(
    const SourceText& text) {
  return CountBlocks<Avx2Kernel>(text);
}
#endif

CounterKernel FastestKernel() {
  return AvailableCounterKernels().back();
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
  switch (kernel) {
#ifdef QUINTREL_HAVE_AVX2_KERNEL
    case CounterKernel::kAvx2:
      return CountAvx2(text);
#endif
#ifdef QUINTREL_HAVE_SSE2
    case CounterKernel::kSse2:
      return CountBlocks<Sse2Kernel>(text);
#endif
    default:
      return CountBlocks<PlainKernel>(text);
  }
}

StatementCounts CountStatements(const SourceText& text) {
  static const CounterKernel kFastest = FastestKernel();
  return CountStatementsWith(text, kFastest);
}

}  // namespace quintrel
