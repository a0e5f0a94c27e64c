#ifndef UNNAMEDFILE_H
#define UNNAMEDFILE_H

#include <sys/types.h>

#include <string>

// Files made without a name in a folder, given one (or opened again) through
// the process's table of open files only when they are complete: a program
// that ends before then leaves nothing behind.
namespace UnnamedFile {

// A new unnamed file in `folder`, opened with `access` (O_WRONLY or O_RDWR)
// and `mode`; -1 where the system or the folder's file system has no unnamed
// files, or the open files cannot be named.
int open(const std::string& folder, int access, mode_t mode);
// The name through which the open file `descriptor` can be linked or opened.
std::string nameOf(int descriptor);

}  // namespace UnnamedFile

#endif
