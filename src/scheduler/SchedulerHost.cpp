#include "scheduler/SchedulerHost.h"

SchedulerHost::~SchedulerHost() = default;
