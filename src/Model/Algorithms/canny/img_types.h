/* Base types shared by every module of the imaging library. */
#ifndef IMG_TYPES_H
#define IMG_TYPES_H

/* The library is C, but the detector objects include its headers from C++.
 * Two of its names cannot be spelt there: Bool's enumerators false and true
 * are C++ keywords, and byte meets std::byte under "using namespace std".
 * So the headers spell the byte type imaging_byte, and under C++ Bool is a
 * plain int (same size and calling convention as the C enumeration); C
 * sources keep the names byte, Bool, false and true. */
typedef unsigned char imaging_byte;

#ifdef __cplusplus
typedef int Bool;
#else
typedef imaging_byte byte;
typedef enum { false = 0, true = 1 } Bool;
#endif

/* Validity tag of the list objects. */
typedef enum { GEN_INVALID = 0, GEN_VALID = 1 } GenericType;

typedef enum {
    E_SUCCESS = 0,
    E_FAILURE = 1,
    E_INVARG = 2,
    E_INVOBJ = 3,
    E_INVBPP = 4,
    E_NULL = 5,
    E_NOMEM = 6,
    E_DIVZERO = 7,
    E_UNIMPL = 8,
    E_UNFMT = 9,
    E_FOPEN = 10,
    E_FREAD = 11,
    E_FEOF = 12
} ErrorCode;

#endif
