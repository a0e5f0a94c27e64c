/* Sample types of the raw buffers that the recursive filters and the
 * connected-component labelling read and write. */
#ifndef BUFFER_TYPE_H
#define BUFFER_TYPE_H

typedef enum {
    TYPE_UNKNOWN = 0,
    UCHAR = 1,
    SCHAR = 2,
    USHORT = 3,
    SSHORT = 4,
    INT = 5,
    ULINT = 6,
    FLOAT = 7,
    DOUBLE = 8
} bufferType;

#endif
