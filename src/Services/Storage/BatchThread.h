#pragma once

namespace quorvelle {

// Marks the calling thread as background work (SCHED_BATCH): woken by the window's thread, it runs
// beside that thread instead of taking its processor from it, so handing a change over costs the
// window microseconds even on a busy machine. Nothing happens where the system refuses.
void becomeBatchThread();

}  // namespace quorvelle
