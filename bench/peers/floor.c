// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
/* The machine's floor for each benchmark: the fewest system calls that can
 * do each file's work, and no more.
 *
 *   floor read DIR FILE...     open, one pread of the tag (its size from the
 *                              header), the picture written to DIR/1image.jpg
 *                              as a new file (the previous one unlinked)
 *   floor read-trunc DIR ...   the same, but the picture overwrites the previous
 *                              one through O_TRUNC; on ext4 that truncation
 *                              waits for the previous picture to reach the disk
 *   floor header FILE...       open, one pread of the 10-byte header
 *   floor inplace FILE...      open, one pread of the tag, one pwrite of the
 *                              whole tag region
 *   floor copy FILE...         the copy under a moving write: FILE.copy gets
 *                              the whole file by copy_file_range (cp, without
 *                              cp's own start and checks)
 *   floor grow JPEG FILE...    the smallest moving write: FILE.grown gets the
 *                              grown tag in one write and the audio with
 *                              copy_file_range
 *   floor grow-replace ...     the same into a uniquely named file that then
 *                              replaces FILE with one rename
 *   floor grow-durable ...     grow-replace with an fsync before the rename:
 *                              the least a crash-safe moving write costs
 *   floor rename FILE...       the renamer's work: open, one pread of the tag
 *                              and one of the ID3v1 trailer, then a rename
 *                              that replaces nothing, to FILE.renamed
 *
 * One short line per file on stdout; exit status 1 when any file failed.
 * The first read takes 64 KiB, enough for the whole tag of the bench corpus,
 * and 4 KiB for rename, enough for the 2 KiB tags of the library corpus; a
 * larger tag gets a second read.
 */
#define _GNU_SOURCE
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

enum { FirstRead = 64 * 1024, RenameFirstRead = 4 * 1024 };

static uint8_t* buf;
static size_t bufSize;

static uint32_t syncsafe(const uint8_t* p) {
    return (uint32_t)(p[0] & 0x7f) << 21 | (uint32_t)(p[1] & 0x7f) << 14 |
           (uint32_t)(p[2] & 0x7f) << 7 | (uint32_t)(p[3] & 0x7f);
}

static uint32_t bigEndian(const uint8_t* p) {
    return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
}

static void ensure(size_t n) {
    if (n <= bufSize) return;
    buf = realloc(buf, n);
    if (!buf) abort();
    bufSize = n;
}

/* Reads the tag region into buf, first taking the first bytes of the file;
 * returns its length (10 + size), 0 when the file has no tag, -1 on error. */
static long readTagFirst(int fd, size_t first) {
    ensure(first);
    ssize_t got = pread(fd, buf, first, 0);
    if (got < 10) return -1;
    if (memcmp(buf, "ID3", 3) != 0) return 0;
    size_t region = 10 + (size_t)syncsafe(buf + 6);
    if (region > (size_t)got) {
        ensure(region);
        if (pread(fd, buf + got, region - (size_t)got, got) != (ssize_t)(region - (size_t)got))
            return -1;
    }
    return (long)region;
}

static long readTag(int fd) {
    return readTagFirst(fd, FirstRead);
}

/* Finds the first frame with the given ID; returns its data offset. */
static long findFrame(size_t region, const char* id, uint32_t* size) {
    size_t pos = 10;
    while (pos + 10 <= region && buf[pos] != 0) {
        uint32_t n = buf[3] == 4 ? syncsafe(buf + pos + 4) : bigEndian(buf + pos + 4);
        if (pos + 10 + n > region) break;
        if (memcmp(buf + pos, id, 4) == 0) {
            *size = n;
            return (long)(pos + 10);
        }
        pos += 10 + n;
    }
    return -1;
}

static int doRead(const char* dir, const char* file, int truncate) {
    int fd = open(file, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    long region = readTag(fd);
    close(fd);
    if (region < 0) return -1;
    uint32_t size = 0;
    long at = region > 0 ? findFrame((size_t)region, "APIC", &size) : -1;
    if (at >= 0) {
        /* encoding, MIME type and its zero, picture type, description and its zero */
        const uint8_t *p = buf + at + 1, *end = buf + at + size;
        p = memchr(p, 0, (size_t)(end - p));
        if (!p) return -1;
        p += 2;
        if (buf[at] == 1 || buf[at] == 2) { /* UTF-16: two zeros at an even offset */
            while (p + 1 < end && (p[0] | p[1]) != 0)
                p += 2;
            p += 2;
        } else {
            p = memchr(p, 0, (size_t)(end - p));
            if (!p) return -1;
            ++p;
        }
        if (p > end) return -1;
        char path[4096];
        snprintf(path, sizeof path, "%s/1image.jpg", dir);
        if (!truncate && unlink(path) != 0 && errno != ENOENT) return -1;
        int out = open(path, O_WRONLY | O_CREAT | (truncate ? O_TRUNC : O_EXCL) | O_CLOEXEC, 0644);
        if (out < 0) return -1;
        ssize_t n = write(out, p, (size_t)(end - p));
        if (close(out) != 0 || n != end - p) return -1;
    }
    printf("%s %ld\n", file, region);
    return 0;
}

static int doHeader(const char* file) {
    uint8_t h[10];
    int fd = open(file, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    ssize_t got = pread(fd, h, sizeof h, 0);
    close(fd);
    if (got != (ssize_t)sizeof h) return -1;
    if (memcmp(h, "ID3", 3) == 0)
        printf("%s true 2.%d %u\n", file, h[3], syncsafe(h + 6));
    else
        printf("%s false\n", file);
    return 0;
}

static int doInPlace(const char* file) {
    int fd = open(file, O_RDWR | O_CLOEXEC);
    if (fd < 0) return -1;
    long region = readTag(fd);
    if (region > 0) {
        /* What is written does not change the kernel's cost of writing it. */
        if (pwrite(fd, buf, (size_t)region, 0) != region) region = -1;
    }
    if (close(fd) != 0) region = -1;
    if (region < 0) return -1;
    printf("%s %ld\n", file, region);
    return 0;
}

static int doRename(const char* file) {
    int fd = open(file, O_RDWR | O_CLOEXEC);
    if (fd < 0) return -1;
    long region = readTagFirst(fd, RenameFirstRead);
    struct stat st;
    uint8_t trailer[128];
    if (region >= 0 && (fstat(fd, &st) != 0 ||
                        pread(fd, trailer, sizeof trailer, st.st_size - 128) != 128))
        region = -1;
    if (close(fd) != 0) region = -1;
    char target[PATH_MAX];
    if (region < 0 || snprintf(target, sizeof target, "%s.renamed", file) >= (int)sizeof target ||
        renameat2(AT_FDCWD, file, AT_FDCWD, target, RENAME_NOREPLACE) != 0)
        return -1;
    printf("%s %s\n", file, target);
    return 0;
}

static uint8_t* picture;
static size_t pictureSize;

static int loadPicture(const char* path) {
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0) return -1;
    pictureSize = (size_t)st.st_size;
    picture = malloc(pictureSize);
    ssize_t got = picture ? read(fd, picture, pictureSize) : -1;
    close(fd);
    return got == (ssize_t)pictureSize ? 0 : -1;
}

static void putSize(uint8_t* p, uint32_t n, int syncsafeSize) {
    if (syncsafeSize) {
        p[0] = (n >> 21) & 0x7f, p[1] = (n >> 14) & 0x7f, p[2] = (n >> 7) & 0x7f, p[3] = n & 0x7f;
    } else {
        p[0] = n >> 24, p[1] = n >> 16, p[2] = n >> 8, p[3] = n;
    }
}

static int copyRange(int in, loff_t from, int out, loff_t to, size_t left) {
    while (left > 0) {
        ssize_t n = copy_file_range(in, &from, out, &to, left, 0);
        if (n <= 0) return 0;
        left -= (size_t)n;
    }
    return 1;
}

static int doCopy(const char* file) {
    char path[4096];
    snprintf(path, sizeof path, "%s.copy", file);
    int in = open(file, O_RDONLY | O_CLOEXEC);
    struct stat st;
    if (in < 0 || fstat(in, &st) != 0) return -1;
    int out = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, st.st_mode & 07777);
    int ok = out >= 0 && copyRange(in, 0, out, 0, (size_t)st.st_size);
    close(in);
    if (out >= 0 && close(out) != 0) ok = 0;
    if (!ok) return -1;
    printf("%s %lld\n", file, (long long)st.st_size);
    return 0;
}

/* The new tag is the header, the new APIC frame and the old frames, padded to
 * a whole number of KiB beyond the old region; the audio follows unchanged. */
enum GrowShape { Grown, Replace, Durable };

static int doGrow(const char* file, enum GrowShape shape) {
    int in = open(file, O_RDONLY | O_CLOEXEC);
    if (in < 0) return -1;
    struct stat st;
    long region = fstat(in, &st) == 0 ? readTag(in) : -1;
    if (region <= 0) {
        close(in);
        return -1;
    }
    static const char head[] = "image/jpeg\0\4Back";
    const size_t apic = 10 + 1 + sizeof head + pictureSize;
    const size_t needed = (size_t)region + apic;
    const size_t grown = (size_t)region + ((needed - (size_t)region + 1023) / 1024) * 1024;
    uint8_t* tag = calloc(1, grown);
    if (!tag) abort();
    memcpy(tag, buf, 10);
    putSize(tag + 6, (uint32_t)(grown - 10), 1);
    uint8_t* p = tag + 10;
    memcpy(p, "APIC", 4);
    putSize(p + 4, (uint32_t)(apic - 10), buf[3] == 4);
    p += 10;
    *p++ = 0;
    memcpy(p, head, sizeof head);
    p += sizeof head;
    memcpy(p, picture, pictureSize);
    p += pictureSize;
    memcpy(p, buf + 10, (size_t)region - 10);

    char tmp[4096];
    if (shape == Grown)
        snprintf(tmp, sizeof tmp, "%s.grown", file);
    else
        snprintf(tmp, sizeof tmp, "%s.floor-%d", file, (int)getpid());
    int out = open(tmp, O_WRONLY | O_CREAT | (shape == Grown ? O_TRUNC : O_EXCL) | O_CLOEXEC,
                   st.st_mode & 07777);
    int ok = out >= 0 && write(out, tag, grown) == (ssize_t)grown &&
             copyRange(in, region, out, (loff_t)grown, (size_t)st.st_size - (size_t)region);
    free(tag);
    close(in);
    if (ok && shape == Durable && fsync(out) != 0) ok = 0;
    if (out >= 0 && close(out) != 0) ok = 0;
    if (ok && shape != Grown && rename(tmp, file) != 0) ok = 0;
    if (!ok) {
        unlink(tmp);
        return -1;
    }
    printf("%s %zu\n", file, grown);
    return 0;
}

int main(int argc, char** argv) {
    if (argc < 3) goto usage;
    const char* mode = argv[1];
    int first = 2, failed = 0;
    const int grow = strncmp(mode, "grow", 4) == 0;
    const enum GrowShape shape = strcmp(mode, "grow-replace") == 0   ? Replace
                                 : strcmp(mode, "grow-durable") == 0 ? Durable
                                                                     : Grown;
    if (grow && shape == Grown && strcmp(mode, "grow") != 0) goto usage;
    const int readTrunc = strcmp(mode, "read-trunc") == 0;
    if (strcmp(mode, "read") == 0 || readTrunc || grow) {
        if (argc < 4) goto usage;
        first = 3;
        if (grow && loadPicture(argv[2]) != 0) {
            perror(argv[2]);
            return 1;
        }
    } else if (strcmp(mode, "header") != 0 && strcmp(mode, "inplace") != 0 &&
               strcmp(mode, "copy") != 0 && strcmp(mode, "rename") != 0) {
        goto usage;
    }
    for (int i = first; i < argc; ++i) {
        int r = strcmp(mode, "rename") == 0 ? doRename(argv[i])
                : mode[0] == 'r'            ? doRead(argv[2], argv[i], readTrunc)
                : mode[0] == 'h' ? doHeader(argv[i])
                : mode[0] == 'i' ? doInPlace(argv[i])
                : mode[0] == 'c' ? doCopy(argv[i])
                                 : doGrow(argv[i], shape);
        if (r != 0) {
            printf("%s failed\n", argv[i]);
            failed = 1;
        }
    }
    return failed;
usage:
    fputs("usage: floor read|read-trunc DIR FILE... | header FILE... | inplace FILE...\n"
          "       floor copy FILE... | rename FILE...\n"
          "       floor grow|grow-replace|grow-durable JPEG FILE...\n",
          stderr);
    return 2;
}
