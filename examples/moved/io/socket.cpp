#include "socket.h"

int open_socket(int port)
{
    if (port <= 0) return -1;
    return port;
}
