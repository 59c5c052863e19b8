/* Preloaded into 32-bit Wine under qemu-i386 7.2, which takes MAP_FIXED_NOREPLACE for a mere hint:
   Wine then spends a minute at each start reserving its address space piece by piece. A mapping that
   moved fails with EEXIST here, as the kernel answers. Built for i386 without libc's headers, which
   the 64-bit system lacks: cc -m32 -shared -nostdlib. */
typedef __SIZE_TYPE__ size_t;
extern void *dlsym(void *, const char *);
extern int munmap(void *, size_t);
extern int *__errno_location(void);
enum { NOREPLACE = 0x100000, EEXIST = 17 };

void *mmap64(void *addr, size_t len, int prot, int flags, int fd, long long off) {
  static void *(*next)(void *, size_t, int, int, int, long long);
  if (!next) next = (void *(*)(void *, size_t, int, int, int, long long))dlsym((void *)-1, "mmap64");
  void *p = next(addr, len, prot, flags & ~NOREPLACE, fd, off);
  if (!(flags & NOREPLACE) || p == (void *)-1 || p == addr) return p;
  munmap(p, len);
  *__errno_location() = EEXIST;
  return (void *)-1;
}

void *mmap(void *addr, size_t len, int prot, int flags, int fd, long off) {
  return mmap64(addr, len, prot, flags, fd, (unsigned long)off);
}
