/* Error and warning reporting of the imaging library.
 *
 * Every message goes to standard error, and the reporting function returns:
 * the function that reported gives its failure result (null or a status)
 * and its caller decides, so a library error never ends the program. A
 * caller may turn the error mode on to have every error and fatal report
 * end the process with abort() instead, as when debugging. */
#ifndef IMG_ERROR_H
#define IMG_ERROR_H

#include "img_types.h"

#ifdef __cplusplus
extern "C" {
#endif

Bool get_err_mode(void);
void set_err_mode(int err_mode);
Bool get_warn_mode(void);
void set_warn_mode(int warn_mode);

/* The library's reporting routines. Their C names error, warning, debug and
 * fatal would become global symbols, and glibc exports an error() of its
 * own; the linked symbols therefore carry an imaging_ prefix and the C
 * sources reach them by the short names through the macros below. */
void imaging_error(const char *format, ...);
void imaging_warning(const char *format, ...);
void imaging_debug(const char *format, ...);
void imaging_fatal(const char *format, ...);
void do_nothing(const char *format, ...);

const char *error_str(int err_no);

/* The three report forms every library function uses, naming itself. */
/* "Error in <function>: <message>" */
void report_error(const char *function, const char *message);
/* "Error in <function>: " followed by error(format, ...) */
void report_error_fmt(const char *function, const char *format, ...);
/* "Warning in <function>: " followed by warning(format, ...), written only
 * while the warning mode is on */
void report_warning_fmt(const char *function, const char *format, ...);
/* "Fatal error in <function>: " followed by fatal(message) */
void report_fatal(const char *function, const char *message);

#ifdef __cplusplus
}
#else
#define error imaging_error
#define warning imaging_warning
#define debug imaging_debug
#define fatal imaging_fatal
#endif

#endif
