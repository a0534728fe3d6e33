#include "Services/Storage/BatchThread.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>

namespace quorvelle {

void becomeBatchThread(bool lowWeight) {
    const sched_param parameters{};
    pthread_setschedparam(pthread_self(), SCHED_BATCH, &parameters);
    // On Linux a nice value is the thread's own; 0 names the calling thread.
    if (lowWeight) setpriority(PRIO_PROCESS, 0, 10);
}

}  // namespace quorvelle
