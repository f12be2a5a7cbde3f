#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include <QObject>

#include "compare/run/measurement_run.h"

namespace quintrel {

// Runs RunMeasurement on a worker thread. Progress and the end arrive as signals, queued
// to the thread that owns the job, so the window stays responsive and Cancel acts at once.
class MeasurementJob : public QObject {
  Q_OBJECT

 public:
  // The request's progress and cancel members are set by the job.
  explicit MeasurementJob(RunRequest request, QObject* parent = nullptr);
  ~MeasurementJob() override;  // waits for the worker

  void Start();
  void Cancel() { m_cancel = true; }

  // Waits for the worker; meant for after Finished has been delivered.
  RunResult TakeResult();
  // The reason the run failed (out of memory, no thread could start), empty when it did not.
  const std::string& Failure() const { return m_failure; }

 Q_SIGNALS:
  // The share already measured, 0 to 100, as 100 * done / total; only when it changes.
  void Progress(int position);
  void Finished();

 private:
  RunRequest m_request;
  RunResult m_result;
  std::string m_failure;
  std::atomic<bool> m_cancel{false};
  std::atomic<int> m_lastPosition{-1};
  std::thread m_worker;
};

// What the window says of a failed run: the exception's text.
std::string FailureText(const RunFailure& failure);

// 100 * done / total in integer division; a total of 0 counts as 1.
int ProgressPosition(std::size_t done, std::size_t total);

}  // namespace quintrel
