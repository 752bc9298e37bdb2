#ifndef KMX_PRICEBASE_PRICEBASE_H
#define KMX_PRICEBASE_PRICEBASE_H
/* The price-base library of the version 3 cost-estimating program as our own
 * native shared library (libkmx_pricebase.so): the nineteen C functions the
 * program's library exports, with the same arguments and results.
 *
 * Records are the byte blocks of core/t3_records.h (TCennikRec 401 bytes,
 * TRmsRec 308, TProdRec 626). Text is Windows-1250 bytes; folders are plain
 * byte paths. Results are "byte" results: the caller tests the low byte,
 * 0 is success; on any other value GetDbDllError gives the reason (except
 * KMX_PB_NOT_FOUND, which is no error). Safe to call from several threads. */

#ifdef __cplusplus
#include <cstdint>
#else
#include <stdint.h>
#endif

#if defined(__GNUC__)
#define KMX_PB_API __attribute__((visibility("default")))
#else
#define KMX_PB_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Results. */
enum {
    KMX_PB_OK = 0,
    KMX_PB_ERROR = 1,         /* failed; the error text says why */
    KMX_PB_NOT_FOUND = 2,     /* DbCnvEtoKmbFind: no KMB code; the error text is unchanged */
    KMX_PB_NOT_SUPPORTED = 3  /* the four functions that are never called */
};

/* The version this library implements. */
#define KMX_PB_VERSION 3120

/* 3120. */
KMX_PB_API int32_t GetDbDllVer(void* unused);
/* 0; nothing needs starting. */
KMX_PB_API int32_t InitDbDLL(void* mainWindow, int32_t version);
/* *exists = 1 when the price list's table file or its entry in cenniki.dbf
 * exists, else 0. */
KMX_PB_API int32_t DbCheckTableExists(int16_t* exists, int32_t* unused, const char* folder, const void* cennikRec);
/* Removes the price list's table file (none is no error). */
KMX_PB_API int32_t DbDeleteTable(const char* folder, const void* cennikRec);
/* Removes the price list's entries from listTable ("cenniki.dbf"). */
KMX_PB_API int32_t DbUsunCennik(const char* folder, const char* listTable, const void* cennikRec);
/* Creates the price list's table empty (type 'E'), replacing a file of that name. */
KMX_PB_API int32_t DbCenyCreateTable(const char* folder, const void* cennikRec, char type);
/* Enters the price list in listTable ("cenniki.dbf"), created when missing;
 * an entry of the same table file is replaced. */
KMX_PB_API int32_t DbWstawCennik(const char* folder, const char* listTable, const void* cennikRec);
/* Opens the price list's table for appending rows; *handle > 0. */
KMX_PB_API int32_t DbCenyOpenTable(int32_t* handle, const char* folder, const void* cennikRec, char type);
/* Appends one price row. */
KMX_PB_API int32_t DbCenyWstawRMS(int32_t handle, const void* rmsRec);
KMX_PB_API int32_t DbCenyCloseTable(int32_t handle);
/* Loads the ETO to KMB conversions of folder/etokmb.dbf (a missing table
 * converts nothing); *context > 0. */
KMX_PB_API int32_t DbCnvEtoKmbOpenTable(const char* folder, int32_t* context);
/* codeA: the ETO index (9-byte buffer, blanks trimmed). unitCode: up to 4
 * bytes or a zero. On KMX_PB_OK codeA holds the KMB code, zero-terminated;
 * codeB (may be null) is left as it is; one is ignored. */
KMX_PB_API int32_t DbCnvEtoKmbFind(char* codeA, char* codeB, const char* unitCode, int32_t one, int32_t* context);
/* Frees the conversions; *context becomes 0. */
KMX_PB_API int32_t DbCnvEtoKmbCloseTable(int32_t* context);
/* Appends one producer to table ("producen.dbf"), created when missing. */
KMX_PB_API int32_t DbProdAppendToTable(const void* prodRec, const char* folder, const char* table);
/* Copies the last error text (Windows-1250) into buffer: at most capacity
 * bytes, then a zero (buffer holds capacity + 1 bytes). */
KMX_PB_API int32_t GetDbDllError(char* buffer, int32_t capacity, int32_t* unused);

/* Present for completeness, never called: each returns KMX_PB_NOT_SUPPORTED. */
KMX_PB_API int32_t DbWstawCennikEx(const char* folder, const char* listTable, const void* cennikRec, const void* extra);
KMX_PB_API int32_t DbCenyModyfRMS(int32_t handle, const void* rmsRec);
KMX_PB_API int32_t DbCenySzukajRMS(int32_t handle, void* rmsRec);
KMX_PB_API int32_t DbUsunCennikEx(const char* folder, const char* listTable, const void* cennikRec, const void* extra);

/* Function-pointer types for loading the library at run time. */
typedef int32_t (*GetDbDllVer_t)(void*);
typedef int32_t (*InitDbDLL_t)(void*, int32_t);
typedef int32_t (*DbCheckTableExists_t)(int16_t*, int32_t*, const char*, const void*);
typedef int32_t (*DbDeleteTable_t)(const char*, const void*);
typedef int32_t (*DbUsunCennik_t)(const char*, const char*, const void*);
typedef int32_t (*DbCenyCreateTable_t)(const char*, const void*, char);
typedef int32_t (*DbWstawCennik_t)(const char*, const char*, const void*);
typedef int32_t (*DbCenyOpenTable_t)(int32_t*, const char*, const void*, char);
typedef int32_t (*DbCenyWstawRMS_t)(int32_t, const void*);
typedef int32_t (*DbCenyCloseTable_t)(int32_t);
typedef int32_t (*DbCnvEtoKmbOpenTable_t)(const char*, int32_t*);
typedef int32_t (*DbCnvEtoKmbFind_t)(char*, char*, const char*, int32_t, int32_t*);
typedef int32_t (*DbCnvEtoKmbCloseTable_t)(int32_t*);
typedef int32_t (*DbProdAppendToTable_t)(const void*, const char*, const char*);
typedef int32_t (*GetDbDllError_t)(char*, int32_t, int32_t*);
typedef int32_t (*DbWstawCennikEx_t)(const char*, const char*, const void*, const void*);
typedef int32_t (*DbCenyModyfRMS_t)(int32_t, const void*);
typedef int32_t (*DbCenySzukajRMS_t)(int32_t, void*);
typedef int32_t (*DbUsunCennikEx_t)(const char*, const char*, const void*, const void*);

/* The exported names. */
#define KMX_PB_GetDbDllVer "GetDbDllVer"
#define KMX_PB_InitDbDLL "InitDbDLL"
#define KMX_PB_DbCheckTableExists "DbCheckTableExists"
#define KMX_PB_DbDeleteTable "DbDeleteTable"
#define KMX_PB_DbUsunCennik "DbUsunCennik"
#define KMX_PB_DbCenyCreateTable "DbCenyCreateTable"
#define KMX_PB_DbWstawCennik "DbWstawCennik"
#define KMX_PB_DbCenyOpenTable "DbCenyOpenTable"
#define KMX_PB_DbCenyWstawRMS "DbCenyWstawRMS"
#define KMX_PB_DbCenyCloseTable "DbCenyCloseTable"
#define KMX_PB_DbCnvEtoKmbOpenTable "DbCnvEtoKmbOpenTable"
#define KMX_PB_DbCnvEtoKmbFind "DbCnvEtoKmbFind"
#define KMX_PB_DbCnvEtoKmbCloseTable "DbCnvEtoKmbCloseTable"
#define KMX_PB_DbProdAppendToTable "DbProdAppendToTable"
#define KMX_PB_GetDbDllError "GetDbDllError"
#define KMX_PB_DbWstawCennikEx "DbWstawCennikEx"
#define KMX_PB_DbCenyModyfRMS "DbCenyModyfRMS"
#define KMX_PB_DbCenySzukajRMS "DbCenySzukajRMS"
#define KMX_PB_DbUsunCennikEx "DbUsunCennikEx"

#ifdef __cplusplus
}

/* All nineteen, in the order above. */
inline constexpr const char* kmxPricebaseFunctionNames[] = {
    KMX_PB_GetDbDllVer,           KMX_PB_InitDbDLL,           KMX_PB_DbCheckTableExists,   KMX_PB_DbDeleteTable,
    KMX_PB_DbUsunCennik,          KMX_PB_DbCenyCreateTable,   KMX_PB_DbWstawCennik,        KMX_PB_DbCenyOpenTable,
    KMX_PB_DbCenyWstawRMS,        KMX_PB_DbCenyCloseTable,    KMX_PB_DbCnvEtoKmbOpenTable, KMX_PB_DbCnvEtoKmbFind,
    KMX_PB_DbCnvEtoKmbCloseTable, KMX_PB_DbProdAppendToTable, KMX_PB_GetDbDllError,        KMX_PB_DbWstawCennikEx,
    KMX_PB_DbCenyModyfRMS,        KMX_PB_DbCenySzukajRMS,     KMX_PB_DbUsunCennikEx};
#endif

#endif /* KMX_PRICEBASE_PRICEBASE_H */
