#pragma once

namespace quorvelle {

// Marks the calling thread as background work: SCHED_BATCH, so that woken by the window's thread it
// runs beside that thread instead of taking its processor from it. Nothing happens where the
// system refuses.
//
// `lowWeight` also gives it a low weight (nice 10), so that sharing a processor with the window's
// thread it mostly gives way to it instead of taking turns: a history write once held the window
// for whole time slices on a busy machine. Not the lowest weight: every thread of the process must
// get a processor for the process to end, and at nice 19 a busy machine kept one off it for seconds
// after a quit. For work that may wait under load; not for work whose speed is the point (a
// download), since the weight also lowers the program's share of that processor against other
// programs, nor for a thread still there when the app quits: the process is gone only once that
// thread got a processor to end on, and a busy machine kept one at nice 10 off it for seconds. The
// weight cannot be raised again later without privileges.
void becomeBatchThread(bool lowWeight);

}  // namespace quorvelle
