/* Secure sockets come with version 1.2 */
int tls_start(int fd);
