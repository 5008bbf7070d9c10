#pragma once
/*
 * The binary interface of our unzip library, vbuzip10 (vbuzip10.dll on Windows,
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

/* What to do, field by field (index in brackets). */
typedef struct UnzipOptions {
    int32_t extractOnlyNewer;       /* [0] */
    int32_t spaceToUnderscore;      /* [1] */
    int32_t promptToOverwrite;      /* [2] */
    int32_t messageLevel;           /* [3] */
    int32_t reserved4;              /* [4] */
    int32_t testZip;                /* [5] */
    int32_t listOnly;               /* [6] 1: list through the listing callback, write nothing */
    int32_t reserved7;              /* [7] */
    int32_t reserved8;              /* [8] */
    int32_t useFolderNames;         /* [9] */
    int32_t overwriteExisting;      /* [10] */
    int32_t convertCRToCRLF;        /* [11] */
    int32_t reserved12;             /* [12] */
    int32_t caseSensitiveFileNames; /* [13] */
    int32_t reserved14;             /* [14] */
    const char* zipFile;            /* [15] archive path, UTF-8 */
    const char* extractFolder;      /* [16] destination folder, UTF-8; empty when listing */
} UnzipOptions;

/* A message for the user: `count` bytes of text (not NUL-terminated). Returns 0. */
typedef int32_t(VBUZIP_CALL* UnzipPrintCallback)(const char* text, uint32_t count);
/* An existing file would be replaced: its NUL-terminated path. Returns the answer code:
 * 100 replace it, 101 keep it (skip this member); other answers keep it too. */
typedef int32_t(VBUZIP_CALL* UnzipReplaceCallback)(const char* path);
/* A member is encrypted: write the password, NUL-terminated, into `buffer` (`bufferSize`
 * bytes, at least 256). Returns 0 when a password was written, 1 when none is given. */
typedef int32_t(VBUZIP_CALL* UnzipPasswordCallback)(char* buffer, int32_t bufferSize, const char* prompt,
                                                     const char* memberPath);
/* One listed member. `factor` is the space saved in percent (may be negative), `flag` is
 * 'D' for a member with a data descriptor and ' ' otherwise, `encryption` has bit 6 (64)
 * set for an encrypted member. `path` uses "/" separators. */
typedef void(VBUZIP_CALL* UnzipListingCallback)(uint32_t uncompressedSize, uint32_t compressedSize, uint32_t factor,
                                                 uint32_t month, uint32_t day, uint32_t year, uint32_t hour,
                                                 uint32_t minute, int32_t flag, const char* path, const char* method,
                                                 uint32_t crc, int32_t encryption);
/* The library is about to work on a member: `count` bytes of its path. Returns 1 to stop the run. */
typedef int32_t(VBUZIP_CALL* UnzipServiceCallback)(const char* path, uint32_t count);

typedef struct UnzipCallbacks {
    UnzipPrintCallback print;       /* (1) */
    void* unused2;                  /* (2) null */
    UnzipReplaceCallback replace;   /* (3) */
    UnzipPasswordCallback password; /* (4) */
    UnzipListingCallback listing;   /* (5) */
    UnzipServiceCallback service;   /* (6) */
    void* unused7to11[5];           /* (7)-(11) zero */
} UnzipCallbacks;

/* The library's version: 64 bytes. */
typedef struct UnzipVersionInfo {
    uint32_t length;        /* 0: set to 64 by the caller */
    uint32_t flags;         /* 4 */
    char betaLevel[10];     /* 8 */
    char date[20];          /* 18 */
    char extra[10];         /* 38 */
    uint8_t version[4][4];  /* 48: four blocks; the fourth (60..62) holds major, minor, patch */
} UnzipVersionInfo;

/*
 * Lists (options->listOnly = 1) or extracts the archive options->zipFile.
 * includeNames/excludeNames: arrays of member paths ("/" separators); an empty string ends
 * each list. No include names: every member. Returns 0 when everything asked for succeeded,
 * non-zero otherwise (an unreadable archive, a refused or damaged member, a stop by the host).
 */
VBUZIP_API int32_t VBUZIP_CALL Wiz_SingleEntryUnzip(int32_t includeCount, char** includeNames, int32_t excludeCount,
                                                   char** excludeNames, UnzipOptions* options,
                                                   UnzipCallbacks* callbacks);
VBUZIP_API void VBUZIP_CALL UzpVersion2(UnzipVersionInfo* info);

typedef int32_t(VBUZIP_CALL* WizSingleEntryUnzipFn)(int32_t, char**, int32_t, char**, UnzipOptions*, UnzipCallbacks*);
typedef void(VBUZIP_CALL* UzpVersion2Fn)(UnzipVersionInfo*);

#ifdef __cplusplus
}
#endif
