#include <QApplication>

#include "ui/measure_app.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  quintrel::CMeasureApp app;
  return app.InitInstance();
}
