#pragma once
/*
 * The binary interface of our zip library, vbuzip10 (vbuzip10.dll on Windows,
 * libvbuzip10.so natively). The archive component binds it by name at its first call.
 *
 * On 32-bit Windows every function and callback is __stdcall and every record field is
 * 32 bits wide (the options record is 68 bytes, the callback record 44). On 64-bit builds
 * the pointer fields are pointers of that platform; the order of the fields never changes.
 * Paths cross this interface as UTF-8.
 */
#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define VBUZIP_CALL __stdcall
#else
#define VBUZIP_CALL
#endif

#if defined(_WIN32)
#if defined(VBUZIP_BUILDING)
#define VBUZIP_API __declspec(dllexport)
#else
#define VBUZIP_API
#endif
#else
#define VBUZIP_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* What to do, field by field (index in brackets). Fields not marked are ignored. */
typedef struct UnzipOptions {
    int32_t extractOnlyNewer;  /* [0] 1: extract a member only over a missing or older file, without asking */
    int32_t spaceToUnderscore; /* [1] 1: spaces in the written names become "_" */
    int32_t promptToOverwrite; /* [2] (asking is the default anyway, see [10]) */
    int32_t messageLevel;      /* [3] 1 and more: a print message for every member worked on */
    int32_t reserved4;         /* [4] */
    int32_t testZip;           /* [5] 1: decode and check every member, write nothing */
    int32_t listOnly;          /* [6] 1: list through the listing callback, write nothing */
    int32_t reserved7;         /* [7] */
    int32_t reserved8;         /* [8] */
    int32_t useFolderNames;    /* [9] 1: write members under their folder paths (created); 0: under their
                                        file names alone, directly in the extraction folder */
    int32_t overwriteExisting; /* [10] 1: replace existing files without asking; 0: ask through `replace` */
    int32_t convertCRToCRLF;   /* [11] ignored: members are written byte for byte */
    int32_t reserved12;        /* [12] */
    int32_t caseSensitiveFileNames; /* [13] ignored: include and exclude names always match exactly */
    int32_t reserved14;             /* [14] */
    const char *zipFile;            /* [15] archive path, UTF-8 */
    const char *extractFolder; /* [16] destination folder, UTF-8 (created when missing; empty: the current
                                        directory); empty when listing */
} UnzipOptions;

/* A message for the user: `count` bytes (2 to 31999) of UTF-8 text, one message per call, no line end,
 * not NUL-terminated. Returns 0. */
typedef int32_t(VBUZIP_CALL *UnzipPrintCallback)(const char *text, uint32_t count);
/* An existing file would be replaced: its NUL-terminated path. Returns the answer code:
 * 100 replace it, 101 keep it (skip this member); other answers keep it too. */
typedef int32_t(VBUZIP_CALL *UnzipReplaceCallback)(const char *path);
/* A member is encrypted: write the password, NUL-terminated, into `buffer` (`bufferSize`
 * bytes, at least 256; it arrives zeroed, so a missing NUL is harmless). Returns 0 when a password
 * was written, 1 when none is given. The library asks again after a wrong password (up to 5 times
 * per member) and not at all for the rest of the run once the host gave none. */
typedef int32_t(VBUZIP_CALL *UnzipPasswordCallback)(char *buffer, int32_t bufferSize, const char *prompt,
                                                    const char *memberPath);
/* One listed member, once per directory entry in directory order (folder entries too, their path
 * ending in "/"). Sizes of 4 GiB and more are reported as 0xFFFFFFFF. `factor` is the space saved
 * in percent, rounded, as a signed value from -32767 to 100 (its low 16 bits suffice). The date
 * is the member's local DOS date: the full year, month 1-12, day 1-31; an impossible DOS date is
 * reported as 1980-01-01 00:00. `flag` is 'D' for a member with a data descriptor and ' '
 * otherwise. `path` is UTF-8 with "/" separators (control characters shown as '?'). `method` is
 * "Stored", "Defl:N", "Defl:X", "Defl:F" or "Defl:S" (deflated at normal, maximum, fast or
 * fastest setting), another method's name ("BZip2", "LZMA", "AES", ...) or "Unk:<number>".
 * `encryption` is 'E' (bit 6, 64, set) for an encrypted member and ' ' otherwise. */
typedef void(VBUZIP_CALL *UnzipListingCallback)(uint32_t uncompressedSize, uint32_t compressedSize,
                                                uint32_t factor, uint32_t month, uint32_t day, uint32_t year,
                                                uint32_t hour, uint32_t minute, int32_t flag,
                                                const char *path, const char *method, uint32_t crc,
                                                int32_t encryption);
/* The library is about to list or extract a member: `count` bytes of its path, the terminating NUL
 * counted. Returns 1 to stop the run. */
typedef int32_t(VBUZIP_CALL *UnzipServiceCallback)(const char *path, uint32_t count);

typedef struct UnzipCallbacks {
    UnzipPrintCallback print;       /* (1) */
    void *unused2;                  /* (2) null */
    UnzipReplaceCallback replace;   /* (3) */
    UnzipPasswordCallback password; /* (4) */
    UnzipListingCallback listing;   /* (5) */
    UnzipServiceCallback service;   /* (6) */
    void *unused7to11[5];           /* (7)-(11) zero */
} UnzipCallbacks;

/* The library's version: 64 bytes. */
typedef struct UnzipVersionInfo {
    uint32_t length;       /* 0: set to 64 by the caller */
    uint32_t flags;        /* 4 */
    char betaLevel[10];    /* 8 */
    char date[20];         /* 18 */
    char extra[10];        /* 38 */
    uint8_t version[4][4]; /* 48: four blocks; the fourth (60..62) holds major, minor, patch */
} UnzipVersionInfo;

/*
 * Lists (options->listOnly = 1) or extracts the archive options->zipFile.
 * includeNames/excludeNames: arrays of member paths ("/" separators); an empty string ends
 * each list. No include names: every member. Returns 0 when everything asked for succeeded,
 * non-zero otherwise (an unreadable archive, a refused or damaged member, a stop by the host):
 * 1 a member failed or was refused (the others still came out), 2 a damaged archive directory,
 * 9 no archive or no zip directory, 10 no options or archive path, 11 an include name that no
 * member carries, 80 stopped through the service callback. Every failure is also described
 * through the print callback.
 *
 * A member is written to a temporary file beside its destination and moved into place only when
 * its size and CRC-32 proved right, so a failed member leaves no partial file and keeps the file it
 * would have replaced. Nothing is ever written outside the extraction folder: member paths with
 * "..", absolute paths, drive letters, backslashes, colons, device names (CON, nul.txt...),
 * trailing dots or spaces, control characters or NULs are refused, as are symbolic links, other
 * methods than Stored and Deflate, strong encryption, and a second member that would land on a
 * file this run already wrote (duplicate names, or names differing only in case). A file the host
 * chose to keep counts as success.
 */
VBUZIP_API int32_t VBUZIP_CALL Wiz_SingleEntryUnzip(int32_t includeCount, char **includeNames,
                                                    int32_t excludeCount, char **excludeNames,
                                                    UnzipOptions *options, UnzipCallbacks *callbacks);
VBUZIP_API void VBUZIP_CALL UzpVersion2(UnzipVersionInfo *info);

typedef int32_t(VBUZIP_CALL *WizSingleEntryUnzipFn)(int32_t, char **, int32_t, char **, UnzipOptions *,
                                                    UnzipCallbacks *);
typedef void(VBUZIP_CALL *UzpVersion2Fn)(UnzipVersionInfo *);

#ifdef __cplusplus
}
#endif
