#pragma once
// Memory given back to the system after a large piece of work.
namespace platform {

// glibc keeps what a worker thread freed (its own arena, and the thread's
// caches, freed when it ends) for later use: after an export of large frames
// on a worker the program's resident size would stay at its peak. This hands
// the free pages back; call it once the worker has ended.
void ReturnFreedMemory();

}  // namespace platform
