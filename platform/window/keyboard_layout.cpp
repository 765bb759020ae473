// The character a key makes: letters, digits and control keys by their codes, the keypad and the
// punctuation keys by a table.
#include "window/keyboard_layout.hpp"

namespace velorin::window {

namespace {

struct KeyCharacter {
    UINT key;
    WCHAR character;
};

// Keys whose character is not their own code: the keypad and the punctuation keys.
constexpr KeyCharacter kOtherKeys[] = {
    {0x6A, L'*'}, {0x6B, L'+'}, {0x6D, L'-'}, {0x6E, L'.'}, {0x6F, L'/'},  {0xBA, L';'}, {0xBB, L'='},
    {0xBC, L','}, {0xBD, L'-'}, {0xBE, L'.'}, {0xBF, L'/'}, {0xC0, L'`'}, {0xDB, L'['},  {0xDC, L'\\'},
    {0xDD, L']'}, {0xDE, L'\''},
};

}  // namespace

std::optional<WCHAR> characterOfKey(UINT virtualKey)
{
    // Backspace, Tab, Enter, Esc and Space are their own control characters.
    if (virtualKey == 0x08 || virtualKey == 0x09 || virtualKey == 0x0D || virtualKey == 0x1B || virtualKey == 0x20)
        return static_cast<WCHAR>(virtualKey);
    if (virtualKey >= '0' && virtualKey <= '9')
        return static_cast<WCHAR>(virtualKey);
    if (virtualKey >= 'A' && virtualKey <= 'Z')
        return static_cast<WCHAR>(virtualKey - 'A' + 'a');
    if (virtualKey >= 0x60 && virtualKey <= 0x69)  // the keypad's digits
        return static_cast<WCHAR>(virtualKey - 0x60 + '0');
    for (const KeyCharacter& entry : kOtherKeys) {
        if (entry.key == virtualKey)
            return entry.character;
    }
    return std::nullopt;
}

}  // namespace velorin::window
