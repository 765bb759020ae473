// Parses the statements of a preprocessed resource script: LANGUAGE, DIALOG and DIALOGEX with
// their optional statements and controls, ICON and BITMAP. Resource names are numbers (a
// #define of resource.h or a literal).
#pragma once

#include "script.hpp"
#include "token.hpp"

#include <filesystem>
#include <vector>

namespace velorin::rc {

// Style bits that a resource compiler adds or implies.
inline constexpr std::uint32_t kDefaultDialogStyle = 0x80880000;  // WS_POPUP | WS_BORDER | WS_SYSMENU
inline constexpr std::uint32_t kStyleSetFont = 0x00000040;        // DS_SETFONT, with FONT
inline constexpr std::uint32_t kStyleCaption = 0x00C00000;        // WS_CAPTION, with CAPTION
inline constexpr std::uint16_t kDefaultLanguage = 0x0409;         // English (United States)

// Memory flags of the resource header.
inline constexpr std::uint16_t kMemMoveable = 0x0010;
inline constexpr std::uint16_t kMemPure = 0x0020;
inline constexpr std::uint16_t kMemPreload = 0x0040;
inline constexpr std::uint16_t kMemDiscardable = 0x1000;

// Window class ordinals of the predefined control classes.
inline constexpr std::uint16_t kClassButton = 0x0080;
inline constexpr std::uint16_t kClassEdit = 0x0081;
inline constexpr std::uint16_t kClassStatic = 0x0082;

class ScriptParser {
public:
    // `scriptDir` and `includeDirs` are where the files of ICON and BITMAP are looked for.
    ScriptParser(std::vector<Token> tokens, std::filesystem::path scriptDir,
                 std::vector<std::filesystem::path> includeDirs = {});

    Script parse();

private:
    // A value of an expression; `notMask` holds the bits that NOT took away, which a control
    // style also clears from the control's default style.
    struct Value {
        std::uint32_t value = 0;
        std::uint32_t notMask = 0;
    };

    const Token& peek() const { return m_tokens[m_pos]; }
    Token take();
    bool acceptPunct(char c);
    void expectComma(const char* before);
    bool acceptKeyword(const char* keyword);
    bool atKeyword(const char* keyword) const;
    [[noreturn]] void fail(const std::string& problem) const;

    Value expression();
    Value unary();
    std::uint32_t number(const char* what);
    std::int16_t coordinate(const char* what);
    std::uint16_t word(const char* what);
    std::u16string string(const char* what);
    NameOrOrdinal nameOrOrdinal(const char* what);

    void resource(Script& script);
    void memoryOptions(ResourceSpec& layout);
    std::uint16_t languageStatement();
    void dialog(ResourceSpec& layout);
    void control(DialogSpec& dialog);
    std::filesystem::path fileName(const char* kind);

    std::vector<Token> m_tokens;
    std::size_t m_pos = 0;
    std::filesystem::path m_scriptDir;
    std::vector<std::filesystem::path> m_includeDirs;
    std::uint16_t m_language = kDefaultLanguage;
};

}  // namespace velorin::rc
