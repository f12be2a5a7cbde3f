#ifndef CONFIG_H
#define CONFIG_H

#define DEFAULT_INTERVAL 10
#define MAX_INTERVAL 3600
#define LOG_PATH "/var/log/sensor.log"

#endif
