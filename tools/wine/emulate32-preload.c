/* Preloaded into the 32-bit Wine processes that run under qemu's user-mode emulation
 * (tools/wine/emulate32.sh), on hosts whose kernel refuses 32-bit code. It mends three
 * faults of the emulator (qemu 7.2) that 32-bit Wine 8 trips over:
 *
 *   1. MAP_FIXED_NOREPLACE is taken as a mere hint. Wine reserves its address space with
 *      tens of thousands of such calls, and for every hint that is taken the emulator
 *      searches the whole 4 GiB guest space page by page: start-up then takes minutes.
 *   2. Fault signals arrive with the trap number -1, so Wine calls every fault an illegal
 *      instruction and never reaches its own page-fault handling.
 *   3. One emulated GDT serves every thread of a process, so the per-thread TLS entries
 *      (glibc's %gs, Wine's %fs for the thread block) of one thread overwrite another's.
 *
 * Built for i386 by the script; 64-bit processes load an empty stand-in instead (the
 * preload path names the library through ld.so's $LIB). */
#define _GNU_SOURCE
#include <asm/ldt.h>
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <pthread.h>
#include <sched.h>
#include <signal.h>
#include <stdarg.h>
#include <stdint.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <ucontext.h>
#include <unistd.h>

#ifndef MAP_FIXED_NOREPLACE
#define MAP_FIXED_NOREPLACE 0x100000
#endif

static long (*real_syscall)(long, ...);

/* ---- 1. MAP_FIXED_NOREPLACE with its real meaning ------------------------------------ */

static unsigned long parse_hex(const char **p) {
  unsigned long v = 0;
  for (;;) {
    char c = **p;
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else return v;
    v = v * 16 + d;
    (*p)++;
  }
}

/* Whether [start, end) overlaps no mapping of the guest (the emulator serves the guest's
 * own view of /proc/self/maps). Raw system calls: this runs inside mmap, where the C
 * library's stdio may not be usable. */
static int range_is_free(unsigned long start, unsigned long end) {
  static char buf[1 << 16];
  char line[512];
  int len = 0, free_range = 1;
  long n;
  int fd = syscall(SYS_open, "/proc/self/maps", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  while ((n = syscall(SYS_read, fd, buf, sizeof buf)) > 0) {
    for (long i = 0; i < n; i++) {
      if (buf[i] != '\n') {
        if (len < (int)sizeof line - 1) line[len++] = buf[i];
        continue;
      }
      line[len] = 0;
      len = 0;
      const char *p = line;
      unsigned long a = parse_hex(&p);
      if (*p != '-') continue;
      p++;
      unsigned long b = parse_hex(&p);
      if (b == 0) b = 0xffffffffUL;
      if (a < end && start < b) free_range = 0;
    }
  }
  syscall(SYS_close, fd);
  return free_range;
}

static void *map_pages(void *addr, size_t len, int prot, int flags, int fd, unsigned long long off) {
  if ((flags & MAP_FIXED_NOREPLACE) && !(flags & MAP_FIXED) && addr) {
    unsigned long start = (unsigned long)addr, end = start + ((len + 4095) & ~4095UL);
    if (end < start || !range_is_free(start, end)) {
      errno = EEXIST;
      return MAP_FAILED;
    }
    flags = (flags & ~MAP_FIXED_NOREPLACE) | MAP_FIXED;
  }
  /* As the C library does: Wine relies on this failure to fall back to reading the file. */
  if (off & 4095) {
    errno = EINVAL;
    return MAP_FAILED;
  }
  long r = syscall(SYS_mmap2, addr, len, prot, flags, fd, (unsigned long)(off >> 12));
  if ((unsigned long)r > -4096UL) {
    errno = -r;
    return MAP_FAILED;
  }
  return (void *)r;
}

void *mmap(void *addr, size_t len, int prot, int flags, int fd, off_t off) {
  return map_pages(addr, len, prot, flags, fd, (unsigned long long)(unsigned long)off);
}

void *mmap64(void *addr, size_t len, int prot, int flags, int fd, off64_t off) {
  return map_pages(addr, len, prot, flags, fd, (unsigned long long)off);
}

/* ---- 2. The trap number of fault signals --------------------------------------------- */

typedef void (*signal_handler)(int, siginfo_t *, void *);
static signal_handler wine_handler[65];

static int trap_number(int sig, const siginfo_t *si) {
  switch (sig) {
  case SIGSEGV: return si->si_code == SI_KERNEL ? 13 : 14;   /* general protection : page fault */
  case SIGBUS: return 14;
  case SIGILL: return 6;
  case SIGFPE: return si->si_code == FPE_INTDIV ? 0 : si->si_code == FPE_INTOVF ? 4 : 16;
  case SIGTRAP: return si->si_code == TRAP_TRACE ? 1 : 3;
  default: return -1;
  }
}

static void fault_with_trap_number(int sig, siginfo_t *si, void *context) {
  greg_t *trapno = &((ucontext_t *)context)->uc_mcontext.gregs[REG_TRAPNO];
  if (*trapno == (greg_t)-1) *trapno = trap_number(sig, si);
  wine_handler[sig](sig, si, context);
}

static int is_fault_signal(int sig) {
  return sig == SIGSEGV || sig == SIGBUS || sig == SIGILL || sig == SIGFPE || sig == SIGTRAP;
}

int sigaction(int sig, const struct sigaction *act, struct sigaction *old) {
  static int (*next)(int, const struct sigaction *, struct sigaction *);
  if (!next) next = (int (*)(int, const struct sigaction *, struct sigaction *))dlsym(RTLD_NEXT, "sigaction");
  if (act && sig > 0 && sig < 65 && (act->sa_flags & SA_SIGINFO) && is_fault_signal(sig)) {
    struct sigaction wrapped = *act;
    signal_handler previous = wine_handler[sig];
    wine_handler[sig] = act->sa_sigaction;
    wrapped.sa_sigaction = fault_with_trap_number;
    int r = next(sig, &wrapped, old);
    if (old && old->sa_sigaction == fault_with_trap_number) old->sa_sigaction = previous;
    return r;
  }
  int r = next(sig, act, old);
  if (old && (old->sa_flags & SA_SIGINFO) && old->sa_sigaction == fault_with_trap_number)
    old->sa_sigaction = wine_handler[sig];
  if (act && sig > 0 && sig < 65) wine_handler[sig] = 0;
  return r;
}

/* ---- 3. Thread data in LDT entries of each thread's own ----------------------------- */
/* The LDT is per process in the kernel and in the emulator alike, with a selector per
 * entry. So: Wine's request for a GDT TLS slot (set_thread_area with entry -1) is refused,
 * which makes Wine give each thread block an LDT entry of its own (it leaves entries
 * 0-511 to the C library once %gs is an LDT selector), and every thread's %gs moves to an
 * LDT entry of its own (1..511) with the same base. */

long syscall(long number, ...) {
  va_list ap;
  long a[6];
  va_start(ap, number);
  for (int i = 0; i < 6; i++) a[i] = va_arg(ap, long);
  va_end(ap);
  if (!real_syscall) real_syscall = (long (*)(long, ...))dlsym(RTLD_NEXT, "syscall");
  if (number == SYS_set_thread_area && a[0] &&
      ((struct user_desc *)a[0])->entry_number == (unsigned)-1) {
    errno = ENOSYS;
    return -1;
  }
  return real_syscall(number, a[0], a[1], a[2], a[3], a[4], a[5]);
}

static pthread_mutex_t ldt_lock = PTHREAD_MUTEX_INITIALIZER;
static unsigned char ldt_taken[512];
static pthread_key_t ldt_key;

static struct user_desc flat_segment(unsigned entry, unsigned base) {
  struct user_desc d = {0};
  d.entry_number = entry;
  d.base_addr = base;
  d.limit = 0xfffff;
  d.seg_32bit = 1;
  d.limit_in_pages = 1;
  d.useable = 1;
  return d;
}

static void move_gs_to_own_ldt_entry(void) {
  unsigned base;
  int entry = 0;
  __asm__ volatile("movl %%gs:0,%0" : "=r"(base));
  pthread_mutex_lock(&ldt_lock);
  for (int i = 1; i < 512; i++)
    if (!ldt_taken[i]) {
      ldt_taken[i] = 1;
      entry = i;
      break;
    }
  pthread_mutex_unlock(&ldt_lock);
  if (!entry) return;
  struct user_desc d = flat_segment(entry, base);
  if (real_syscall(SYS_modify_ldt, 1, &d, sizeof d) != 0) {
    ldt_taken[entry] = 0;
    return;
  }
  unsigned short selector = (entry << 3) | 7;   /* LDT, ring 3 */
  __asm__ volatile("movw %0,%%gs" ::"r"(selector));
  pthread_setspecific(ldt_key, (void *)(long)entry);
}

static void release_ldt_entry(void *p) {
  pthread_mutex_lock(&ldt_lock);
  ldt_taken[(int)(long)p] = 0;
  pthread_mutex_unlock(&ldt_lock);
}

struct thread_start {
  void *(*fn)(void *);
  void *arg;
  volatile int moved;
};

static void *start_thread(void *p) {
  struct thread_start *shared = p, start = *shared;
  move_gs_to_own_ldt_entry();   /* %gs is still the GDT slot set up for us at clone time */
  __atomic_store_n(&shared->moved, 1, __ATOMIC_RELEASE);   /* the creator frees it now */
  return start.fn(start.arg);
}

/* The C library gives a new thread the TLS slot its creator's %gs names, so the creator
 * calls with %gs on GDT slot 6 holding its own base, and keeps that slot for the new
 * thread (the lock) until the thread has moved to an LDT entry of its own. */
static pthread_mutex_t create_lock = PTHREAD_MUTEX_INITIALIZER;

int pthread_create(pthread_t *t, const pthread_attr_t *attr, void *(*fn)(void *), void *arg) {
  static int (*next)(pthread_t *, const pthread_attr_t *, void *(*)(void *), void *);
  if (!next)
    next = (int (*)(pthread_t *, const pthread_attr_t *, void *(*)(void *), void *))dlsym(RTLD_NEXT, "pthread_create");
  struct thread_start *s = malloc(sizeof *s);
  if (!s) return EAGAIN;
  s->fn = fn;
  s->arg = arg;
  s->moved = 0;
  sigset_t all, old;
  sigfillset(&all);
  pthread_mutex_lock(&create_lock);
  pthread_sigmask(SIG_BLOCK, &all, &old);
  unsigned short own_selector;
  unsigned base;
  __asm__ volatile("movw %%gs,%0" : "=r"(own_selector));
  __asm__ volatile("movl %%gs:0,%0" : "=r"(base));
  struct user_desc d = flat_segment(6, base);
  int r;
  if (real_syscall(SYS_set_thread_area, &d) == 0) {
    unsigned short gdt_selector = (6 << 3) | 3;
    __asm__ volatile("movw %0,%%gs" ::"r"(gdt_selector));
    r = next(t, attr, start_thread, s);
    __asm__ volatile("movw %0,%%gs" ::"r"(own_selector));
  } else {
    r = next(t, attr, start_thread, s);
  }
  pthread_sigmask(SIG_SETMASK, &old, 0);
  if (!r)
    while (!__atomic_load_n(&s->moved, __ATOMIC_ACQUIRE)) sched_yield();
  pthread_mutex_unlock(&create_lock);
  free(s);
  return r;
}

__attribute__((constructor)) static void preload_start(void) {
  real_syscall = (long (*)(long, ...))dlsym(RTLD_NEXT, "syscall");
  pthread_key_create(&ldt_key, release_ldt_entry);
  move_gs_to_own_ldt_entry();   /* also makes the emulator's LDT before any other thread exists */
}
