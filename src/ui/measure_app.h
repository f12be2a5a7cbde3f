#pragma once

namespace quintrel {

// The application: sets up the settings store, runs the main dialog and ends with it.
class CMeasureApp {
 public:
  // Call after the QApplication exists. Returns the process's exit code.
  int InitInstance();
};

}  // namespace quintrel
