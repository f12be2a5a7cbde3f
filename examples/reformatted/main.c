/* Command-line entry point of the sensor logger. */
#include <stdio.h>
#include <stdlib.h>

#include "Config.h"
#include "util.h"

static int
parse_interval (const char *text)
{
  int value = atoi (text);
  if (value <= 0)
    {
      return DEFAULT_INTERVAL;
    }
  return value;
}

int
main (int argc, char **argv)
{
  int interval = DEFAULT_INTERVAL;

  if (argc > 1)
    {
      interval = parse_interval (argv[1]);
    }
  printf ("logging every %d seconds\n", interval);
  return run_logger (interval);
}
