// Storage of one thread. The WebAssembly build runs on one thread and its
// linker takes no thread-local storage there, so a plain static serves.
#pragma once

#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
#define ZR_THREAD_LOCAL
#else
#define ZR_THREAD_LOCAL thread_local
#endif
