#include <ctype.h>
#include <string.h>

#include "util.h"

/* Skips blanks; returns the first character that is not one. */
static const char *
skip_blanks (const char *p)
{
  while (*p == ' ' || *p == '\t')
    {
      p++;
    }
  return p;
}

/* Reads one "name=value" pair. */
int
parse_pair (const char *line, char *name, size_t size)
{
  const char *eq = strchr (line, '=');
  size_t length;

  if (eq == NULL)
    {
      return -1;
    }
  line = skip_blanks (line);
  length = (size_t)(eq - line);
  if (length >= size)
    {
      return -1;
    }
  memcpy (name, line, length);
  name[length] = '\0';
  return 0;
}

int
is_comment (const char *line)
{
  line = skip_blanks (line);
  return *line == '#' || *line == ';';
}
