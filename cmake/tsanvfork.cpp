// Linked into every executable of a ThreadSanitizer build (QUENBRY_SANITIZE_THREAD), never into
// a release.
//
// QProcess starts children with clone(CLONE_VM | CLONE_VFORK): the child borrows the parent's
// memory until it executes the program. ThreadSanitizer's clone hook then runs its after-fork
// code in that child, on the parent's own thread state, and leaves the parent thread with every
// check switched off: after its first encoder run the worker thread, or the UI thread after a
// thumbnail, would never be checked again. Here such a clone becomes an ordinary fork-style one
// (the child gets a copy of the memory), which QProcess handles just as well: it learns about
// the start through a pipe either way.
#include <cstdarg>

#include <dlfcn.h>
#include <sched.h>
#include <sys/types.h>

extern "C" int clone(int (*fn)(void *), void *stack, int flags, void *arg, ...)
{
    using TClone = int (*)(int (*)(void *), void *, int, void *, ...);
    static const auto next = reinterpret_cast<TClone>(dlsym(RTLD_NEXT, "clone"));
    va_list rest;
    va_start(rest, arg);
    auto *parentTid = va_arg(rest, pid_t *);
    void *tls = va_arg(rest, void *);
    auto *childTid = va_arg(rest, pid_t *);
    va_end(rest);
    constexpr int VforkFlags = CLONE_VM | CLONE_VFORK;
    if ((flags & VforkFlags) == VforkFlags && !(flags & CLONE_THREAD))
        flags &= ~VforkFlags;
    return next(fn, stack, flags, arg, parentTid, tls, childTid);
}
