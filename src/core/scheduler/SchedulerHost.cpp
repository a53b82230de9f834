#include "core/scheduler/SchedulerHost.h"

SchedulerHost::~SchedulerHost() = default;
