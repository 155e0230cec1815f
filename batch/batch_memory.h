#pragma once

namespace tovimar::batch {

// Makes the blocks of a run (the profile, the line's points, the tables and files being
// formatted) come from one heap region the kernel backs with 2 MiB pages where it can.
// A run touches tens of megabytes once; in 4 KiB pages every first touch is a page fault,
// and those faults were a large part of a run's time. Only a request to the system: where
// it is refused, memory works as before. Call once, early in main.
void PrepareHeapForLargeBlocks();

}  // namespace tovimar::batch
