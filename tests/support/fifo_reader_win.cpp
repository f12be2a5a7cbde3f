#include <stdexcept>

#include "support/fifo_reader.h"

namespace quintrel::testing {

// Windows has no FIFOs in its file system: MakeFifo reports so, and the tests skip before
// they would read one.
FifoReader::FifoReader(std::filesystem::path fifo) : m_fifo(std::move(fifo)) {
  throw std::logic_error("no FIFOs on this system");
}

FifoReader::~FifoReader() = default;

std::string FifoReader::Finish() {
  return m_received;
}

}  // namespace quintrel::testing
