#include "runtime/Error.h"

#include <utility>

namespace runtime {

Error::Error(int32_t number, std::string description)
    : std::runtime_error(description), number_(number), description_(std::move(description)) {}

Error::Error(int32_t number) : Error(number, DescriptionOf(number)) {}

std::string Error::DescriptionOf(int32_t number) {
    switch (number) {
        case errc::InvalidProcedureCall:
            return "Invalid procedure call or argument";
        case errc::Overflow:
            return "Overflow";
        case errc::OutOfMemory:
            return "Out of memory";
        case errc::SubscriptOutOfRange:
            return "Subscript out of range";
        case errc::DivisionByZero:
            return "Division by zero";
        case errc::TypeMismatch:
            return "Type mismatch";
        case errc::BadFileName:
            return "Bad file name or number";
        case errc::FileNotFound:
            return "File not found";
        case errc::BadFileMode:
            return "Bad file mode";
        case errc::InputPastEnd:
            return "Input past end of file";
        case errc::PathFileAccess:
            return "Path/File access error";
        case errc::PathNotFound:
            return "Path not found";
        case errc::ObjectVariableNotSet:
            return "Object variable or With block variable not set";
        case errc::InvalidPattern:
            return "Invalid pattern string";
        case errc::InvalidUseOfNull:
            return "Invalid use of Null";
        case errc::ObjectRequired:
            return "Object required";
        case errc::ObjectDoesNotSupport:
            return "Object doesn't support this property or method";
        case errc::DuplicateKey:
            return "This key is already associated with an element of this collection";
        default:
            return "Application-defined or object-defined error";
    }
}

}  // namespace runtime
