#include "img_error.h"

#include <stdarg.h>
#include <stdatomic.h>
#include <stdio.h>
#include <stdlib.h>

/* Errors return to the caller unless a caller asks for the process to stop
 * on them. The modes are read by searches running on several threads, so
 * they are atomic. */
static atomic_int abort_on_err = false;
static atomic_int warn_on = true;

Bool get_err_mode(void) { return atomic_load(&abort_on_err) ? true : false; }

void set_err_mode(int err_mode) { atomic_store(&abort_on_err, err_mode ? true : false); }

Bool get_warn_mode(void) { return atomic_load(&warn_on) ? true : false; }

void set_warn_mode(int warn_mode) { atomic_store(&warn_on, warn_mode ? true : false); }

static void write_line(const char *format, va_list args)
{
    vfprintf(stderr, format, args);
    fputc('\n', stderr);
    fflush(stdout);
    fflush(stderr);
}

static void verror(const char *format, va_list args)
{
    write_line(format, args);
    if (atomic_load(&abort_on_err)) {
        abort();
    }
}

void error(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    verror(format, args);
    va_end(args);
}

void warning(const char *format, ...)
{
    if (!atomic_load(&warn_on)) {
        return;
    }
    va_list args;
    va_start(args, format);
    write_line(format, args);
    va_end(args);
}

void debug(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    write_line(format, args);
    va_end(args);
}

void fatal(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    fputs("FATAL: ", stderr);
    verror(format, args);
    va_end(args);
}

void do_nothing(const char *format, ...) { (void)format; }

const char *error_str(int err_no)
{
    static const char *const texts[] = {
        "success",
        "failure",
        "invalid argument",
        "invalid object",
        "invalid pixel depth",
        "null pointer",
        "insufficient memory",
        "divide by zero",
        "feature not implemented",
        "unknown file format",
        "file open error",
        "file read error",
        "end of file reached",
    };
    if (err_no < 0 || err_no >= (int)(sizeof texts / sizeof texts[0])) {
        return "unknown error code";
    }
    return texts[err_no];
}

void report_error(const char *function, const char *message)
{
    fprintf(stderr, "Error in %s: %s\n", function, message);
    fflush(stderr);
    if (atomic_load(&abort_on_err)) {
        abort();
    }
}

void report_error_fmt(const char *function, const char *format, ...)
{
    fprintf(stderr, "Error in %s: ", function);
    va_list args;
    va_start(args, format);
    verror(format, args);
    va_end(args);
}

void report_warning_fmt(const char *function, const char *format, ...)
{
    if (!atomic_load(&warn_on)) {
        return;
    }
    fprintf(stderr, "Warning in %s: ", function);
    va_list args;
    va_start(args, format);
    write_line(format, args);
    va_end(args);
}

void report_fatal(const char *function, const char *message)
{
    fprintf(stderr, "Fatal error in %s: ", function);
    fatal("%s", message);
}
