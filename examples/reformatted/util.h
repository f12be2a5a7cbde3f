#ifndef UTIL_H
#define UTIL_H

#include <stddef.h>

/* Separators accepted in a record: ';' or ':' (neither counts as a statement
 * here; {) */
#define RECORD_SEPARATORS ";:"

int run_logger (int interval);
int parse_pair (const char *line, char *name, size_t size);
int is_comment (const char *line);

#endif
