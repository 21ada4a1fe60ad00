#pragma once
// The token dictionary: command words and descriptions of the application's
// tokens. The protocol framework knows only its sixteen system words.
#include <cstdint>
#include <string>
#include <string_view>

namespace KVGeneralDLL10 {

class ITokens {
public:
    virtual ~ITokens() = default;
    // Token number of a command word: 1 or more for a known word, 0 for an
    // unknown one; a negative answer makes the codec try its system words.
    virtual int16_t TokenID(std::string_view TokenDesc) = 0;
    // A readable description, for log texts only.
    virtual std::string TokenPublicDescription(int16_t TokenID) = 0;
    // The command word of a token; a failure or an empty word makes the codec use word 0.
    virtual std::string TokenDescription(int16_t TokenID) = 0;
};

}  // namespace KVGeneralDLL10
