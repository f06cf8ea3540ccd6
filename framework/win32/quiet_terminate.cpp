// What std::terminate does in the shipped binaries: end at once, as the standard library's own
// handler does after printing the exception's type to a console a windowed program does not
// have. Its handler brings in a whole C++ name demangler for that print (some 50 KB in each
// binary); this definition takes its place at link time.
#include <cstdlib>

#if defined(__GLIBCXX__)
namespace __gnu_cxx {

void __verbose_terminate_handler() {
    std::abort();
}

}  // namespace __gnu_cxx
#endif
