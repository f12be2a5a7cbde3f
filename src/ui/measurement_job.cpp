#include "ui/measurement_job.h"

#include <algorithm>
#include <exception>

namespace quintrel {

int ProgressPosition(std::size_t done, std::size_t total) {
  const std::size_t divisor = total == 0 ? 1 : total;
  return static_cast<int>(100 * std::min(done, divisor) / divisor);
}

std::string FailureText(const RunFailure& failure) {
  return failure.cause == RunFailure::Cause::kUnknown ? "unknown error" : failure.what;
}

MeasurementJob::MeasurementJob(RunRequest request, QObject* parent)
    : QObject(parent), m_request(std::move(request)) {
  m_request.cancel = &m_cancel;
  m_request.progress = [this](std::size_t done, std::size_t total) {
    const int position = ProgressPosition(done, total);
    // Emitting from the worker queues the call to the receivers' thread; only changes are
    // sent, so a run of many files posts at most 101 of them.
    if (m_lastPosition.exchange(position) != position) Q_EMIT Progress(position);
  };
}

MeasurementJob::~MeasurementJob() {
  m_cancel = true;
  if (m_worker.joinable()) m_worker.join();
}

void MeasurementJob::Start() {
  m_worker = std::thread([this] {
    // An exception must not end the process from a worker thread; the window reports it.
    try {
      m_result = RunMeasurement(m_request);
      if (m_result.status == RunStatus::kFailed) m_failure = FailureText(m_result.failure);
    } catch (const std::exception& error) {
      m_failure = error.what();
    } catch (...) {
      m_failure = "unknown error";
    }
    Q_EMIT Finished();
  });
}

RunResult MeasurementJob::TakeResult() {
  if (m_worker.joinable()) m_worker.join();
  return std::move(m_result);
}

}  // namespace quintrel
