// How the standard library reports a misuse (an index out of range, a string too long, a failed
// lock) inside a receiver. A receiver's errors end at its export boundary, which catches
// everything and tells the program the call failed, so the exact exception class matters to no
// one. The library's own helpers construct std::logic_error and its kin, which carry a second,
// copy-on-write string implementation and a random-device object along: a quarter of a
// receiver's size. These definitions take their place at link time and throw one small class.
#include <exception>
#include <functional>
#include <new>
#include <typeinfo>

#if defined(__GLIBCXX__)
namespace zaprelay::dcd {
namespace {

class ELibraryError final : public std::exception {
public:
    explicit ELibraryError(const char* message) : Message(message != nullptr ? message : "library error") {}
    const char* what() const noexcept override { return Message; }

private:
    const char* Message;  // the library passes string literals
};

}  // namespace
}  // namespace zaprelay::dcd

namespace std {

using zaprelay::dcd::ELibraryError;

void __throw_bad_exception() {
    throw bad_exception();
}
void __throw_bad_alloc() {
    throw bad_alloc();
}
void __throw_bad_array_new_length() {
    throw bad_array_new_length();
}
void __throw_bad_cast() {
    throw bad_cast();
}
void __throw_bad_typeid() {
    throw bad_typeid();
}
void __throw_logic_error(const char* message) {
    throw ELibraryError(message);
}
void __throw_domain_error(const char* message) {
    throw ELibraryError(message);
}
void __throw_invalid_argument(const char* message) {
    throw ELibraryError(message);
}
void __throw_length_error(const char* message) {
    throw ELibraryError(message);
}
void __throw_out_of_range(const char* message) {
    throw ELibraryError(message);
}
void __throw_out_of_range_fmt(const char* format, ...) {
    throw ELibraryError(format);
}
void __throw_runtime_error(const char* message) {
    throw ELibraryError(message);
}
void __throw_range_error(const char* message) {
    throw ELibraryError(message);
}
void __throw_overflow_error(const char* message) {
    throw ELibraryError(message);
}
void __throw_underflow_error(const char* message) {
    throw ELibraryError(message);
}
void __throw_system_error(int) {
    throw ELibraryError("system error");
}

}  // namespace std
#endif
