// slowfs: a slow share for the benchmarks. A FUSE pass-through file system that mirrors a folder,
// waits a fixed time in every operation it serves, and counts the operations by kind.
//
//   slowfs [--delay=MS] --counts=FILE [--trace=FILE] [-f] [-s] [-o OPTIONS] SOURCE MOUNTPOINT
//
// Every request the kernel sends (lookup, getattr, open, read, readdir, release, statfs, xattrs,
// writes, ... and forget) first waits MS milliseconds (10 by default), as a file server at the
// end of a slow link answers; then it is done on SOURCE and counted; the counts are written to
// FILE before the answer goes back, so whoever sees an operation's result finds it counted.
//
// The counts are read by Windows programs under Wine that must not go through the slow mount to
// read them: FILE lives in an ordinary folder, and is rewritten in place after every operation
// (one pwrite at offset 0, always the same length: "total N" then one "KIND N" line a kind, the
// numbers right-aligned in a fixed width). A reader that meets a write half done sees a total
// that is not the sum of the kinds, and reads again.
//
// Nothing is left for the kernel to answer by itself: every entry and attribute is given with a
// timeout of 0 (no cached lookups, attributes or "not found"), files are opened for direct I/O
// (no page cache), and directories are listed without the kernel's readdir cache. So a program
// that asks the same thing twice costs two operations, as it would on a share that does not let
// its client cache. The mount's own handshake (init, destroy) is not counted.
//
// --trace=FILE also appends one line an operation: the seconds since the mount, its kind, and the
// name of the file it was about (the path by which the file was first looked up; a file renamed
// since keeps its old name here). That tells which files a program's operations are spent on.
//
// Inodes are held by an O_PATH descriptor to the mirrored file (as libfuse's pass-through example
// does), so renames below the mount need no path bookkeeping.
#define _GNU_SOURCE
#define FUSE_USE_VERSION 312

#include <fuse_lowlevel.h>

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <inttypes.h>
#include <limits.h>
#include <pthread.h>
#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <time.h>
#include <unistd.h>

// ---------------------------------------------------------------------------------------------
// Counting

enum kind {
  K_LOOKUP, K_FORGET, K_GETATTR, K_SETATTR, K_READLINK, K_MKNOD, K_MKDIR, K_UNLINK, K_RMDIR,
  K_SYMLINK, K_RENAME, K_LINK, K_OPEN, K_READ, K_WRITE, K_FLUSH, K_RELEASE, K_FSYNC, K_OPENDIR,
  K_READDIR, K_RELEASEDIR, K_FSYNCDIR, K_STATFS, K_SETXATTR, K_GETXATTR, K_LISTXATTR,
  K_REMOVEXATTR, K_ACCESS, K_CREATE, K_FALLOCATE, K_LSEEK, K_COUNT
};

static const char *const kind_names[K_COUNT] = {
  "lookup", "forget", "getattr", "setattr", "readlink", "mknod", "mkdir", "unlink", "rmdir",
  "symlink", "rename", "link", "open", "read", "write", "flush", "release", "fsync", "opendir",
  "readdir", "releasedir", "fsyncdir", "statfs", "setxattr", "getxattr", "listxattr",
  "removexattr", "access", "create", "fallocate", "lseek",
};

// One line: a name of up to 12 characters, a blank, 12 digits, a line end.
#define LINE_WIDTH 26

static const char *path_of(uint64_t ino);

static struct {
  pthread_mutex_t lock;
  uint64_t total;
  uint64_t by_kind[K_COUNT];
  int fd;  // the counts file
  FILE *trace;  // or NULL
  struct timespec mounted;
  struct timespec delay;
} counter = {.lock = PTHREAD_MUTEX_INITIALIZER, .fd = -1};

static void write_counts_locked(void) {
  char text[LINE_WIDTH * (K_COUNT + 1) + 1];
  int at = snprintf(text, sizeof text, "%-12s %12" PRIu64 "\n", "total", counter.total);
  for (int k = 0; k < K_COUNT; ++k) {
    at += snprintf(text + at, sizeof text - at, "%-12s %12" PRIu64 "\n", kind_names[k],
                   counter.by_kind[k]);
  }
  if (pwrite(counter.fd, text, at, 0) != at) perror("slowfs: writing the counts");
}

// The wait every operation begins with, outside the lock: requests are served by several
// threads, as a server answers several clients, and each waits its own time.
static void wait_as_a_slow_server(void) {
  struct timespec left = counter.delay;
  while (nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}

// `ino` is the file the operation is about, or the folder of `name`.
static void count(enum kind kind, uint64_t ino, const char *name) {
  pthread_mutex_lock(&counter.lock);
  ++counter.total;
  ++counter.by_kind[kind];
  write_counts_locked();
  if (counter.trace != NULL) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    const double seconds = (double)(now.tv_sec - counter.mounted.tv_sec) +
                           (double)(now.tv_nsec - counter.mounted.tv_nsec) / 1e9;
    const char *path = ino != 0 ? path_of(ino) : "";
    fprintf(counter.trace, "%10.3f %-12s /%s%s%s\n", seconds, kind_names[kind], path,
            name != NULL && *path != '\0' ? "/" : "", name != NULL ? name : "");
    fflush(counter.trace);
  }
  pthread_mutex_unlock(&counter.lock);
}

// Every handler starts with this: the wait, then the operation is counted before it is answered.
#define SERVE(kind, ino, name) \
  do {                                 \
    wait_as_a_slow_server();           \
    count(kind, ino, name);            \
  } while (0)

// ---------------------------------------------------------------------------------------------
// Inodes: the mirrored files the kernel knows, by device and inode number of the source.

struct node {
  int fd;  // O_PATH
  dev_t dev;
  ino_t ino;
  uint64_t lookups;  // the kernel's references; the node goes when they are all forgotten
  char *path;  // below the source, by which it was first looked up ("" for the root)
  struct node *next;  // in its hash bucket
};

#define BUCKETS 4096

static struct {
  pthread_mutex_t lock;
  struct node root;
  struct node *buckets[BUCKETS];
} nodes = {.lock = PTHREAD_MUTEX_INITIALIZER};

static struct node *node_of(fuse_ino_t ino) {
  return ino == FUSE_ROOT_ID ? &nodes.root : (struct node *)(uintptr_t)ino;
}

static int fd_of(fuse_ino_t ino) { return node_of(ino)->fd; }

static const char *path_of(uint64_t ino) { return node_of(ino)->path; }

static size_t bucket_of(dev_t dev, ino_t ino) { return (size_t)((ino * 31u) ^ dev) % BUCKETS; }

// The path through which an O_PATH descriptor's file is opened, or its attributes changed.
static void proc_path(int fd, char path[64]) { snprintf(path, 64, "/proc/self/fd/%d", fd); }

// Finds or makes the node of `name` in `parent`, taking one reference for the kernel, and fills
// in the entry to answer with.
static int look_up(fuse_ino_t parent, const char *name, struct fuse_entry_param *entry) {
  memset(entry, 0, sizeof *entry);
  entry->attr_timeout = 0;
  entry->entry_timeout = 0;
  const int fd = openat(fd_of(parent), name, O_PATH | O_NOFOLLOW);
  if (fd < 0) return errno;
  if (fstatat(fd, "", &entry->attr, AT_EMPTY_PATH | AT_SYMLINK_NOFOLLOW) != 0) {
    const int error = errno;
    close(fd);
    return error;
  }
  pthread_mutex_lock(&nodes.lock);
  const size_t bucket = bucket_of(entry->attr.st_dev, entry->attr.st_ino);
  struct node *node = nodes.buckets[bucket];
  while (node != NULL && !(node->dev == entry->attr.st_dev && node->ino == entry->attr.st_ino)) {
    node = node->next;
  }
  if (node != NULL) {
    close(fd);
  } else {
    node = calloc(1, sizeof *node);
    if (node == NULL) {
      pthread_mutex_unlock(&nodes.lock);
      close(fd);
      return ENOMEM;
    }
    const char *parent_path = path_of(parent);
    const size_t length = strlen(parent_path) + 1 + strlen(name) + 1;
    node->path = malloc(length);
    if (node->path != NULL) {
      snprintf(node->path, length, "%s%s%s", parent_path, *parent_path != '\0' ? "/" : "", name);
    } else {
      node->path = "";
    }
    node->fd = fd;
    node->dev = entry->attr.st_dev;
    node->ino = entry->attr.st_ino;
    node->next = nodes.buckets[bucket];
    nodes.buckets[bucket] = node;
  }
  ++node->lookups;
  pthread_mutex_unlock(&nodes.lock);
  entry->ino = (uintptr_t)node;
  return 0;
}

static void forget_node(fuse_ino_t ino, uint64_t count) {
  struct node *node = node_of(ino);
  if (node == &nodes.root) return;
  pthread_mutex_lock(&nodes.lock);
  node->lookups -= count < node->lookups ? count : node->lookups;
  if (node->lookups == 0) {
    struct node **link = &nodes.buckets[bucket_of(node->dev, node->ino)];
    while (*link != node) link = &(*link)->next;
    *link = node->next;
    close(node->fd);
    if (*node->path != '\0') free(node->path);
    free(node);
  }
  pthread_mutex_unlock(&nodes.lock);
}

static void reply_entry_or_error(fuse_req_t req, fuse_ino_t parent, const char *name) {
  struct fuse_entry_param entry;
  const int error = look_up(parent, name, &entry);
  if (error != 0) {
    fuse_reply_err(req, error);
  } else {
    fuse_reply_entry(req, &entry);
  }
}

// ---------------------------------------------------------------------------------------------
// The operations

static void slow_init(void *userdata, struct fuse_conn_info *conn) {
  (void)userdata;
  // No write-back cache: every write goes to the server when it is made.
  conn->want &= ~FUSE_CAP_WRITEBACK_CACHE;
}

static void slow_lookup(fuse_req_t req, fuse_ino_t parent, const char *name) {
  SERVE(K_LOOKUP, parent, name);
  reply_entry_or_error(req, parent, name);
}

static void slow_forget(fuse_req_t req, fuse_ino_t ino, uint64_t nlookup) {
  SERVE(K_FORGET, ino, NULL);
  forget_node(ino, nlookup);
  fuse_reply_none(req);
}

static void slow_forget_multi(fuse_req_t req, size_t count_of, struct fuse_forget_data *forgets) {
  SERVE(K_FORGET, FUSE_ROOT_ID, "(several)");
  for (size_t i = 0; i < count_of; ++i) forget_node(forgets[i].ino, forgets[i].nlookup);
  fuse_reply_none(req);
}

static void reply_attr_of(fuse_req_t req, fuse_ino_t ino) {
  struct stat st;
  if (fstatat(fd_of(ino), "", &st, AT_EMPTY_PATH | AT_SYMLINK_NOFOLLOW) != 0) {
    fuse_reply_err(req, errno);
  } else {
    fuse_reply_attr(req, &st, 0);
  }
}

static void slow_getattr(fuse_req_t req, fuse_ino_t ino, struct fuse_file_info *fi) {
  (void)fi;
  SERVE(K_GETATTR, ino, NULL);
  reply_attr_of(req, ino);
}

static void slow_setattr(fuse_req_t req, fuse_ino_t ino, struct stat *attr, int to_set,
                         struct fuse_file_info *fi) {
  SERVE(K_SETATTR, ino, NULL);
  char path[64];
  proc_path(fd_of(ino), path);
  int result = 0;
  if (result == 0 && (to_set & FUSE_SET_ATTR_MODE)) {
    result = fi != NULL ? fchmod(fi->fh, attr->st_mode) : chmod(path, attr->st_mode);
  }
  if (result == 0 && (to_set & (FUSE_SET_ATTR_UID | FUSE_SET_ATTR_GID))) {
    const uid_t uid = (to_set & FUSE_SET_ATTR_UID) ? attr->st_uid : (uid_t)-1;
    const gid_t gid = (to_set & FUSE_SET_ATTR_GID) ? attr->st_gid : (gid_t)-1;
    result = fchownat(fd_of(ino), "", uid, gid, AT_EMPTY_PATH | AT_SYMLINK_NOFOLLOW);
  }
  if (result == 0 && (to_set & FUSE_SET_ATTR_SIZE)) {
    result = fi != NULL ? ftruncate(fi->fh, attr->st_size) : truncate(path, attr->st_size);
  }
  if (result == 0 && (to_set & (FUSE_SET_ATTR_ATIME | FUSE_SET_ATTR_MTIME))) {
    struct timespec times[2] = {{.tv_nsec = UTIME_OMIT}, {.tv_nsec = UTIME_OMIT}};
    if (to_set & FUSE_SET_ATTR_ATIME_NOW) {
      times[0].tv_nsec = UTIME_NOW;
    } else if (to_set & FUSE_SET_ATTR_ATIME) {
      times[0] = attr->st_atim;
    }
    if (to_set & FUSE_SET_ATTR_MTIME_NOW) {
      times[1].tv_nsec = UTIME_NOW;
    } else if (to_set & FUSE_SET_ATTR_MTIME) {
      times[1] = attr->st_mtim;
    }
    result = fi != NULL ? futimens(fi->fh, times) : utimensat(AT_FDCWD, path, times, 0);
  }
  if (result != 0) {
    fuse_reply_err(req, errno);
    return;
  }
  reply_attr_of(req, ino);
}

static void slow_readlink(fuse_req_t req, fuse_ino_t ino) {
  SERVE(K_READLINK, ino, NULL);
  char target[PATH_MAX + 1];
  const ssize_t length = readlinkat(fd_of(ino), "", target, sizeof target);
  if (length < 0) {
    fuse_reply_err(req, errno);
  } else if ((size_t)length == sizeof target) {
    fuse_reply_err(req, ENAMETOOLONG);
  } else {
    target[length] = '\0';
    fuse_reply_readlink(req, target);
  }
}

static void slow_mknod(fuse_req_t req, fuse_ino_t parent, const char *name, mode_t mode,
                       dev_t rdev) {
  SERVE(K_MKNOD, parent, name);
  if (mknodat(fd_of(parent), name, mode, rdev) != 0) {
    fuse_reply_err(req, errno);
    return;
  }
  reply_entry_or_error(req, parent, name);
}

static void slow_mkdir(fuse_req_t req, fuse_ino_t parent, const char *name, mode_t mode) {
  SERVE(K_MKDIR, parent, name);
  if (mkdirat(fd_of(parent), name, mode) != 0) {
    fuse_reply_err(req, errno);
    return;
  }
  reply_entry_or_error(req, parent, name);
}

static void slow_symlink(fuse_req_t req, const char *link, fuse_ino_t parent, const char *name) {
  SERVE(K_SYMLINK, parent, name);
  if (symlinkat(link, fd_of(parent), name) != 0) {
    fuse_reply_err(req, errno);
    return;
  }
  reply_entry_or_error(req, parent, name);
}

static void slow_link(fuse_req_t req, fuse_ino_t ino, fuse_ino_t newparent, const char *newname) {
  SERVE(K_LINK, newparent, newname);
  char path[64];
  proc_path(fd_of(ino), path);
  if (linkat(AT_FDCWD, path, fd_of(newparent), newname, AT_SYMLINK_FOLLOW) != 0) {
    fuse_reply_err(req, errno);
    return;
  }
  reply_entry_or_error(req, newparent, newname);
}

static void slow_unlink(fuse_req_t req, fuse_ino_t parent, const char *name) {
  SERVE(K_UNLINK, parent, name);
  fuse_reply_err(req, unlinkat(fd_of(parent), name, 0) == 0 ? 0 : errno);
}

static void slow_rmdir(fuse_req_t req, fuse_ino_t parent, const char *name) {
  SERVE(K_RMDIR, parent, name);
  fuse_reply_err(req, unlinkat(fd_of(parent), name, AT_REMOVEDIR) == 0 ? 0 : errno);
}

static void slow_rename(fuse_req_t req, fuse_ino_t parent, const char *name, fuse_ino_t newparent,
                        const char *newname, unsigned int flags) {
  SERVE(K_RENAME, parent, name);
  const int result = renameat2(fd_of(parent), name, fd_of(newparent), newname, flags);
  fuse_reply_err(req, result == 0 ? 0 : errno);
}

// Opened files are read and written past the kernel's page cache, so every read is the server's.
static void slow_open(fuse_req_t req, fuse_ino_t ino, struct fuse_file_info *fi) {
  SERVE(K_OPEN, ino, NULL);
  char path[64];
  proc_path(fd_of(ino), path);
  const int fd = open(path, fi->flags & ~O_NOFOLLOW);
  if (fd < 0) {
    fuse_reply_err(req, errno);
    return;
  }
  fi->fh = fd;
  fi->direct_io = 1;
  fi->keep_cache = 0;
  fuse_reply_open(req, fi);
}

static void slow_create(fuse_req_t req, fuse_ino_t parent, const char *name, mode_t mode,
                        struct fuse_file_info *fi) {
  SERVE(K_CREATE, parent, name);
  const int fd = openat(fd_of(parent), name, (fi->flags | O_CREAT) & ~O_NOFOLLOW, mode);
  if (fd < 0) {
    fuse_reply_err(req, errno);
    return;
  }
  struct fuse_entry_param entry;
  const int error = look_up(parent, name, &entry);
  if (error != 0) {
    close(fd);
    fuse_reply_err(req, error);
    return;
  }
  fi->fh = fd;
  fi->direct_io = 1;
  fi->keep_cache = 0;
  fuse_reply_create(req, &entry, fi);
}

static void slow_read(fuse_req_t req, fuse_ino_t ino, size_t size, off_t off,
                      struct fuse_file_info *fi) {
  (void)ino;
  SERVE(K_READ, ino, NULL);
  char *buffer = malloc(size > 0 ? size : 1);
  if (buffer == NULL) {
    fuse_reply_err(req, ENOMEM);
    return;
  }
  const ssize_t got = pread(fi->fh, buffer, size, off);
  if (got < 0) {
    fuse_reply_err(req, errno);
  } else {
    fuse_reply_buf(req, buffer, got);
  }
  free(buffer);
}

static void slow_write(fuse_req_t req, fuse_ino_t ino, const char *buf, size_t size, off_t off,
                       struct fuse_file_info *fi) {
  (void)ino;
  SERVE(K_WRITE, ino, NULL);
  const ssize_t put = pwrite(fi->fh, buf, size, off);
  if (put < 0) {
    fuse_reply_err(req, errno);
  } else {
    fuse_reply_write(req, put);
  }
}

// A close of one of the descriptors of an open file: closing a duplicate lets go of the
// process's locks on it, as a close on the source would.
static void slow_flush(fuse_req_t req, fuse_ino_t ino, struct fuse_file_info *fi) {
  (void)ino;
  SERVE(K_FLUSH, ino, NULL);
  const int copy = dup(fi->fh);
  fuse_reply_err(req, copy >= 0 && close(copy) == 0 ? 0 : errno);
}

static void slow_release(fuse_req_t req, fuse_ino_t ino, struct fuse_file_info *fi) {
  (void)ino;
  SERVE(K_RELEASE, ino, NULL);
  close(fi->fh);
  fuse_reply_err(req, 0);
}

static void slow_fsync(fuse_req_t req, fuse_ino_t ino, int datasync, struct fuse_file_info *fi) {
  (void)ino;
  SERVE(K_FSYNC, ino, NULL);
  const int result = datasync ? fdatasync(fi->fh) : fsync(fi->fh);
  fuse_reply_err(req, result == 0 ? 0 : errno);
}

struct open_dir {
  DIR *dir;
  off_t offset;  // where the next readdir of the stream would go on
  struct dirent *entry;  // read but not yet given to the kernel
};

static void slow_opendir(fuse_req_t req, fuse_ino_t ino, struct fuse_file_info *fi) {
  SERVE(K_OPENDIR, ino, NULL);
  struct open_dir *open_dir = calloc(1, sizeof *open_dir);
  if (open_dir == NULL) {
    fuse_reply_err(req, ENOMEM);
    return;
  }
  const int fd = openat(fd_of(ino), ".", O_RDONLY | O_DIRECTORY);
  if (fd < 0 || (open_dir->dir = fdopendir(fd)) == NULL) {
    const int error = errno;
    if (fd >= 0) close(fd);
    free(open_dir);
    fuse_reply_err(req, error);
    return;
  }
  fi->fh = (uintptr_t)open_dir;
  fi->cache_readdir = 0;
  fi->keep_cache = 0;
  fuse_reply_open(req, fi);
}

static void slow_readdir(fuse_req_t req, fuse_ino_t ino, size_t size, off_t off,
                         struct fuse_file_info *fi) {
  (void)ino;
  SERVE(K_READDIR, ino, NULL);
  struct open_dir *open_dir = (struct open_dir *)(uintptr_t)fi->fh;
  char *buffer = malloc(size);
  if (buffer == NULL) {
    fuse_reply_err(req, ENOMEM);
    return;
  }
  if (off != open_dir->offset) {
    seekdir(open_dir->dir, off);
    open_dir->entry = NULL;
    open_dir->offset = off;
  }
  size_t used = 0;
  for (;;) {
    if (open_dir->entry == NULL) {
      errno = 0;
      open_dir->entry = readdir(open_dir->dir);
      if (open_dir->entry == NULL) {
        if (errno != 0 && used == 0) {
          free(buffer);
          fuse_reply_err(req, errno);
          return;
        }
        break;
      }
    }
    struct stat st = {.st_ino = open_dir->entry->d_ino,
                      .st_mode = (mode_t)open_dir->entry->d_type << 12};
    const off_t next = open_dir->entry->d_off;
    const size_t entry_size = fuse_add_direntry(req, buffer + used, size - used,
                                                open_dir->entry->d_name, &st, next);
    if (entry_size > size - used) break;  // kept for the next call
    used += entry_size;
    open_dir->entry = NULL;
    open_dir->offset = next;
  }
  fuse_reply_buf(req, buffer, used);
  free(buffer);
}

static void slow_releasedir(fuse_req_t req, fuse_ino_t ino, struct fuse_file_info *fi) {
  (void)ino;
  SERVE(K_RELEASEDIR, ino, NULL);
  struct open_dir *open_dir = (struct open_dir *)(uintptr_t)fi->fh;
  closedir(open_dir->dir);
  free(open_dir);
  fuse_reply_err(req, 0);
}

static void slow_fsyncdir(fuse_req_t req, fuse_ino_t ino, int datasync,
                          struct fuse_file_info *fi) {
  (void)ino;
  SERVE(K_FSYNCDIR, ino, NULL);
  const int fd = dirfd(((struct open_dir *)(uintptr_t)fi->fh)->dir);
  const int result = datasync ? fdatasync(fd) : fsync(fd);
  fuse_reply_err(req, result == 0 ? 0 : errno);
}

static void slow_statfs(fuse_req_t req, fuse_ino_t ino) {
  SERVE(K_STATFS, ino, NULL);
  struct statvfs st;
  if (fstatvfs(fd_of(ino), &st) != 0) {
    fuse_reply_err(req, errno);
  } else {
    fuse_reply_statfs(req, &st);
  }
}

static void slow_access(fuse_req_t req, fuse_ino_t ino, int mask) {
  SERVE(K_ACCESS, ino, NULL);
  char path[64];
  proc_path(fd_of(ino), path);
  fuse_reply_err(req, faccessat(AT_FDCWD, path, mask, 0) == 0 ? 0 : errno);
}

// Extended attributes (Wine keeps a file's DOS attributes in one) are asked of the file through
// its descriptor's path; a symbolic link's own are not served.
static bool xattr_path(fuse_req_t req, fuse_ino_t ino, char path[64]) {
  struct stat st;
  if (fstatat(fd_of(ino), "", &st, AT_EMPTY_PATH | AT_SYMLINK_NOFOLLOW) == 0 &&
      S_ISLNK(st.st_mode)) {
    fuse_reply_err(req, ENOTSUP);
    return false;
  }
  proc_path(fd_of(ino), path);
  return true;
}

static void reply_xattr_size(fuse_req_t req, size_t size, ssize_t (*call)(char *, size_t, void *),
                             void *context) {
  if (size == 0) {
    const ssize_t needed = call(NULL, 0, context);
    if (needed < 0) {
      fuse_reply_err(req, errno);
    } else {
      fuse_reply_xattr(req, needed);
    }
    return;
  }
  char *buffer = malloc(size);
  if (buffer == NULL) {
    fuse_reply_err(req, ENOMEM);
    return;
  }
  const ssize_t got = call(buffer, size, context);
  if (got < 0) {
    fuse_reply_err(req, errno);
  } else {
    fuse_reply_buf(req, buffer, got);
  }
  free(buffer);
}

struct xattr_call {
  const char *path;
  const char *name;
};

static ssize_t get_xattr(char *buffer, size_t size, void *context) {
  const struct xattr_call *call = context;
  return getxattr(call->path, call->name, buffer, size);
}

static ssize_t list_xattr(char *buffer, size_t size, void *context) {
  const struct xattr_call *call = context;
  return listxattr(call->path, buffer, size);
}

static void slow_getxattr(fuse_req_t req, fuse_ino_t ino, const char *name, size_t size) {
  SERVE(K_GETXATTR, ino, NULL);
  char path[64];
  if (!xattr_path(req, ino, path)) return;
  struct xattr_call call = {path, name};
  reply_xattr_size(req, size, get_xattr, &call);
}

static void slow_listxattr(fuse_req_t req, fuse_ino_t ino, size_t size) {
  SERVE(K_LISTXATTR, ino, NULL);
  char path[64];
  if (!xattr_path(req, ino, path)) return;
  struct xattr_call call = {path, NULL};
  reply_xattr_size(req, size, list_xattr, &call);
}

static void slow_setxattr(fuse_req_t req, fuse_ino_t ino, const char *name, const char *value,
                          size_t size, int flags) {
  SERVE(K_SETXATTR, ino, NULL);
  char path[64];
  if (!xattr_path(req, ino, path)) return;
  fuse_reply_err(req, setxattr(path, name, value, size, flags) == 0 ? 0 : errno);
}

static void slow_removexattr(fuse_req_t req, fuse_ino_t ino, const char *name) {
  SERVE(K_REMOVEXATTR, ino, NULL);
  char path[64];
  if (!xattr_path(req, ino, path)) return;
  fuse_reply_err(req, removexattr(path, name) == 0 ? 0 : errno);
}

static void slow_fallocate(fuse_req_t req, fuse_ino_t ino, int mode, off_t offset, off_t length,
                           struct fuse_file_info *fi) {
  (void)ino;
  SERVE(K_FALLOCATE, ino, NULL);
  fuse_reply_err(req, fallocate(fi->fh, mode, offset, length) == 0 ? 0 : errno);
}

static void slow_lseek(fuse_req_t req, fuse_ino_t ino, off_t off, int whence,
                       struct fuse_file_info *fi) {
  (void)ino;
  SERVE(K_LSEEK, ino, NULL);
  const off_t at = lseek(fi->fh, off, whence);
  if (at < 0) {
    fuse_reply_err(req, errno);
  } else {
    fuse_reply_lseek(req, at);
  }
}

// Locks (flock, getlk, setlk) are left to the kernel, which then keeps them for the mount
// itself: nothing is asked of the server for them, here as with a share whose client keeps its
// own byte-range locks.
static const struct fuse_lowlevel_ops operations = {
  .init = slow_init,
  .lookup = slow_lookup,
  .forget = slow_forget,
  .forget_multi = slow_forget_multi,
  .getattr = slow_getattr,
  .setattr = slow_setattr,
  .readlink = slow_readlink,
  .mknod = slow_mknod,
  .mkdir = slow_mkdir,
  .unlink = slow_unlink,
  .rmdir = slow_rmdir,
  .symlink = slow_symlink,
  .rename = slow_rename,
  .link = slow_link,
  .open = slow_open,
  .read = slow_read,
  .write = slow_write,
  .flush = slow_flush,
  .release = slow_release,
  .fsync = slow_fsync,
  .opendir = slow_opendir,
  .readdir = slow_readdir,
  .releasedir = slow_releasedir,
  .fsyncdir = slow_fsyncdir,
  .statfs = slow_statfs,
  .setxattr = slow_setxattr,
  .getxattr = slow_getxattr,
  .listxattr = slow_listxattr,
  .removexattr = slow_removexattr,
  .access = slow_access,
  .create = slow_create,
  .fallocate = slow_fallocate,
  .lseek = slow_lseek,
};

// ---------------------------------------------------------------------------------------------

struct options {
  unsigned delay_ms;
  char *counts;
  char *trace;
  char *source;
};

#define OPTION(text, member) {text, offsetof(struct options, member), 1}
static const struct fuse_opt option_templates[] = {
  OPTION("--delay=%u", delay_ms),
  OPTION("--counts=%s", counts),
  OPTION("--trace=%s", trace),
  FUSE_OPT_END,
};

// The first argument that is not an option is the source folder; the mount point comes next and
// is left to libfuse.
static int take_source(void *data, const char *arg, int key, struct fuse_args *args) {
  (void)args;
  struct options *options = data;
  if (key == FUSE_OPT_KEY_NONOPT && options->source == NULL) {
    options->source = strdup(arg);
    return 0;
  }
  return 1;
}

static void usage(const char *program) {
  fprintf(stderr,
          "usage: %s [--delay=MS] --counts=FILE [--trace=FILE] [-f] [-s] [-o OPTIONS] SOURCE "
          "MOUNTPOINT\n"
          "  mirrors SOURCE at MOUNTPOINT, waiting MS milliseconds (10) in every operation, and\n"
          "  keeps the operations' counts in FILE (and, with --trace, a line an operation)\n",
          program);
}

int main(int argc, char *argv[]) {
  struct fuse_args args = FUSE_ARGS_INIT(argc, argv);
  struct options options = {.delay_ms = 10};
  if (fuse_opt_parse(&args, &options, option_templates, take_source) != 0) return 1;
  struct fuse_cmdline_opts cmdline;
  if (fuse_parse_cmdline(&args, &cmdline) != 0) return 1;
  if (cmdline.show_help || options.source == NULL || options.counts == NULL ||
      cmdline.mountpoint == NULL) {
    usage(argv[0]);
    if (cmdline.show_help) fuse_lowlevel_help();
    return cmdline.show_help ? 0 : 1;
  }

  counter.delay.tv_sec = options.delay_ms / 1000;
  counter.delay.tv_nsec = (long)(options.delay_ms % 1000) * 1000000L;
  counter.fd = open(options.counts, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (counter.fd < 0) {
    perror(options.counts);
    return 1;
  }
  write_counts_locked();
  clock_gettime(CLOCK_MONOTONIC, &counter.mounted);
  if (options.trace != NULL && (counter.trace = fopen(options.trace, "w")) == NULL) {
    perror(options.trace);
    return 1;
  }

  nodes.root.path = "";
  nodes.root.fd = open(options.source, O_PATH | O_DIRECTORY);
  if (nodes.root.fd < 0) {
    perror(options.source);
    return 1;
  }
  nodes.root.lookups = 2;

  int status = 1;
  struct fuse_session *session = fuse_session_new(&args, &operations, sizeof operations, NULL);
  if (session == NULL) goto out;
  if (fuse_set_signal_handlers(session) != 0) goto out_session;
  if (fuse_session_mount(session, cmdline.mountpoint) != 0) goto out_signals;
  fuse_daemonize(cmdline.foreground);
  if (cmdline.singlethread) {
    status = fuse_session_loop(session);
  } else {
    struct fuse_loop_config *loop = fuse_loop_cfg_create();
    fuse_loop_cfg_set_clone_fd(loop, cmdline.clone_fd);
    fuse_loop_cfg_set_max_threads(loop, 32);
    fuse_loop_cfg_set_idle_threads(loop, 8);
    status = fuse_session_loop_mt(session, loop);
    fuse_loop_cfg_destroy(loop);
  }
  fuse_session_unmount(session);
out_signals:
  fuse_remove_signal_handlers(session);
out_session:
  fuse_session_destroy(session);
out:
  free(cmdline.mountpoint);
  fuse_opt_free_args(&args);
  close(counter.fd);
  if (counter.trace != NULL) fclose(counter.trace);
  return status != 0 ? 1 : 0;
}
