#pragma once

#include <QIcon>

namespace quintrel {

// The program's icon (16 and 32 pixel images compiled into the program).
QIcon AppIcon();

}  // namespace quintrel
