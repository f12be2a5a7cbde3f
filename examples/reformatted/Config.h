#ifndef CONFIG_H
#define CONFIG_H

#define DEFAULT_INTERVAL 10
#define LOG_PATH "/var/log/sensor.log"

#endif
