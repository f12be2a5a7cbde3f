#include "socket.h"

int open_socket(int port)
{
    return port > 0 ? port : -1;
}
