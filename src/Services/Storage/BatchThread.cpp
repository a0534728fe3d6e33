#include "Services/Storage/BatchThread.h"

#include <pthread.h>
#include <sched.h>

namespace quorvelle {

void becomeBatchThread() {
    const sched_param parameters{};
    pthread_setschedparam(pthread_self(), SCHED_BATCH, &parameters);
}

}  // namespace quorvelle
