// The core formats only whole numbers with snprintf (the clock's date and time, "%02d"), so the
// page's WebAssembly links snprintf (with -Wl,--wrap=snprintf) to the C library's integer-only
// printf: the floating-point formatting it never uses would be 4 KB of the page's code.
#include <cstdarg>
#include <cstddef>

extern "C" {
// The C library's snprintf without floating-point conversions.
int vsniprintf(char* buffer, std::size_t size, const char* format, std::va_list arguments);

// The linker's name for what the core's calls of snprintf reach.
// NOLINTNEXTLINE(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp,cppcoreguidelines-pro-type-vararg)
int __wrap_snprintf(char* buffer, std::size_t size, const char* format, ...)
{
    std::va_list arguments;
    va_start(arguments,
             format);  // NOLINT(cppcoreguidelines-pro-type-vararg,cppcoreguidelines-pro-bounds-array-to-pointer-decay)
    const int written =
        vsniprintf(buffer, size, format, arguments);  // NOLINT(cppcoreguidelines-pro-bounds-array-to-pointer-decay)
    va_end(arguments);  // NOLINT(cppcoreguidelines-pro-type-vararg,cppcoreguidelines-pro-bounds-array-to-pointer-decay)
    return written;
}
}
