// The library's exception types. Each carries the message text the user or a caller sees;
// every library failure is raised as one of these.
#pragma once

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>

namespace zaprelay {

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

class EStreamError : public Exception {
    using Exception::Exception;
};
class EFCreateError : public EStreamError {
    using EStreamError::EStreamError;
};
class EFOpenError : public EStreamError {
    using EStreamError::EStreamError;
};
class EFilerError : public EStreamError {
    using EStreamError::EStreamError;
};
class EReadError : public EFilerError {
    using EFilerError::EFilerError;
};
class EWriteError : public EFilerError {
    using EFilerError::EFilerError;
};
class EClassNotFound : public EFilerError {
    using EFilerError::EFilerError;
};
class EParserError : public Exception {
    using Exception::Exception;
};
class EConvertError : public Exception {
    using Exception::Exception;
};
class EComponentError : public Exception {
    using Exception::Exception;
};
class EInvalidOperation : public Exception {
    using Exception::Exception;
};
class EListError : public Exception {
    using Exception::Exception;
};

// Fills the "%s" and "%d" markers of a message text in order with the given arguments
// ("%%" is a percent sign). Missing arguments leave the marker out.
std::string Format(std::string_view pattern, std::initializer_list<std::string_view> args);

// The message texts of the runtime layer.
namespace msg {
inline constexpr char kStreamReadError[] = "Stream read error";
inline constexpr char kStreamWriteError[] = "Stream write error";
inline constexpr char kFCreateError[] = "Cannot create file \"%s\"";
inline constexpr char kFOpenError[] = "Cannot open file \"%s\"";
inline constexpr char kInvalidStreamFormat[] = "Invalid stream format";
inline constexpr char kInvalidPropertyPath[] = "Invalid property path";
inline constexpr char kUnknownProperty[] = "Property %s does not exist";
inline constexpr char kInvalidPropertyValue[] = "Invalid property value";
inline constexpr char kInvalidBinary[] = "Invalid binary value";
inline constexpr char kErrorReading[] = "Error reading %s%s%s: %s";
inline constexpr char kAssignError[] = "Cannot assign a %s to a %s";
inline constexpr char kDuplicateName[] = "A component named %s already exists";
inline constexpr char kInvalidName[] = "''%s'' is not a valid component name";
inline constexpr char kClassNotFound[] = "Class %s not found";
inline constexpr char kUnknownMethod[] = "Method %s not found";
inline constexpr char kListIndexError[] = "List index out of bounds (%d)";
}  // namespace msg

}  // namespace zaprelay
