#include "script_parser.hpp"

#include "lexer.hpp"

#include <algorithm>
#include <cctype>
#include <map>

namespace velorin::rc {

namespace fs = std::filesystem;

namespace {
std::string upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}

struct ControlKind {
    std::uint32_t style;        // what the compiler gives the control before its own style
    std::uint16_t windowClass;  // 0: named in the statement (CONTROL)
    bool hasText;
};

// The control statements and the styles a resource compiler gives them by default.
const std::map<std::string, ControlKind>& controlKinds()
{
    static const std::map<std::string, ControlKind> kinds = {
        {"PUSHBUTTON", {0x50010000, kClassButton, true}},     // WS_CHILD|WS_VISIBLE|WS_TABSTOP|BS_PUSHBUTTON
        {"DEFPUSHBUTTON", {0x50010001, kClassButton, true}},  // ... |BS_DEFPUSHBUTTON
        {"GROUPBOX", {0x50000007, kClassButton, true}},       // WS_CHILD|WS_VISIBLE|BS_GROUPBOX
        {"LTEXT", {0x50020000, kClassStatic, true}},          // WS_CHILD|WS_VISIBLE|WS_GROUP|SS_LEFT
        {"CTEXT", {0x50020001, kClassStatic, true}},          // ... |SS_CENTER
        {"RTEXT", {0x50020002, kClassStatic, true}},          // ... |SS_RIGHT
        {"EDITTEXT", {0x50810000, kClassEdit, false}},        // WS_CHILD|WS_VISIBLE|WS_BORDER|WS_TABSTOP
        {"CONTROL", {0x50000000, 0, true}},                   // WS_CHILD|WS_VISIBLE
    };
    return kinds;
}

std::optional<std::uint16_t> predefinedClass(const std::u16string& name)
{
    static const std::map<std::string, std::uint16_t> classes = {
        {"BUTTON", 0x80}, {"EDIT", 0x81}, {"STATIC", 0x82}, {"LISTBOX", 0x83}, {"SCROLLBAR", 0x84}, {"COMBOBOX", 0x85},
    };
    const auto it = classes.find(upper(utf8(name)));
    return it == classes.end() ? std::nullopt : std::optional<std::uint16_t>(it->second);
}
}  // namespace

ScriptParser::ScriptParser(std::vector<Token> tokens, fs::path scriptDir, std::vector<fs::path> includeDirs)
    : m_tokens(std::move(tokens)), m_scriptDir(std::move(scriptDir)), m_includeDirs(std::move(includeDirs))
{
    if (m_tokens.empty() || m_tokens.back().kind != TokenKind::End)
        m_tokens.push_back(Token{});
}

Token ScriptParser::take()
{
    Token t = m_tokens[m_pos];
    if (t.kind != TokenKind::End)
        ++m_pos;
    return t;
}

void ScriptParser::fail(const std::string& problem) const
{
    throw RcError(peek().where, problem);
}

bool ScriptParser::acceptPunct(char c)
{
    if (!peek().isPunct(c))
        return false;
    take();
    return true;
}

void ScriptParser::expectComma(const char* before)
{
    if (!acceptPunct(','))
        fail(std::string("expected ',' before ") + before + ", found " + describe(peek()));
}

bool ScriptParser::atKeyword(const char* keyword) const
{
    return peek().kind == TokenKind::Identifier && upper(peek().text) == keyword;
}

bool ScriptParser::acceptKeyword(const char* keyword)
{
    if (!atKeyword(keyword))
        return false;
    take();
    return true;
}

// A resource compiler reads the binary operators from left to right, all at one precedence.
ScriptParser::Value ScriptParser::expression()
{
    Value left = unary();
    for (;;) {
        const Token& op = peek();
        if (!(op.isPunct('|') || op.isPunct('&') || op.isPunct('+') || op.isPunct('-')))
            return left;
        const char c = take().text[0];
        const Value right = unary();
        switch (c) {
        case '|':
            left.value = (left.value & ~right.notMask) | right.value;
            break;
        case '&':
            left.value &= right.value;
            break;
        case '+':
            left.value += right.value;
            break;
        default:
            left.value -= right.value;
            break;
        }
        left.notMask |= right.notMask;
    }
}

ScriptParser::Value ScriptParser::unary()
{
    if (acceptPunct('-')) {
        Value v = unary();
        v.value = 0u - v.value;
        return v;
    }
    if (acceptPunct('+'))
        return unary();
    if (acceptPunct('~')) {
        Value v = unary();
        v.value = ~v.value;
        return v;
    }
    if (acceptKeyword("NOT")) {
        const Value v = unary();
        return Value{0, v.value};
    }
    if (acceptPunct('(')) {
        const Value v = expression();
        if (!acceptPunct(')'))
            fail("expected ')', found " + describe(peek()));
        return v;
    }
    const Token& t = peek();
    if (t.kind == TokenKind::Number)
        return Value{take().number, 0};
    if (t.kind == TokenKind::Identifier)
        fail(t.text + " is not defined (a number was expected)");
    fail("expected a number, found " + describe(t));
}

std::uint32_t ScriptParser::number(const char* what)
{
    if (peek().kind == TokenKind::End || peek().isPunct(','))
        fail(std::string("missing ") + what);
    return expression().value;
}

std::int16_t ScriptParser::coordinate(const char* what)
{
    const SourceLocation where = peek().where;
    const auto value = static_cast<std::int32_t>(number(what));
    if (value < -32768 || value > 32767)
        throw RcError(where, std::string(what) + " " + std::to_string(value) + " does not fit in 16 bits");
    return static_cast<std::int16_t>(value);
}

std::uint16_t ScriptParser::word(const char* what)
{
    const SourceLocation where = peek().where;
    const std::uint32_t value = number(what);
    if (value > 0xFFFF)
        throw RcError(where, std::string(what) + " " + std::to_string(value) + " does not fit in 16 bits");
    return static_cast<std::uint16_t>(value);
}

std::u16string ScriptParser::string(const char* what)
{
    if (peek().kind != TokenKind::String)
        fail(std::string("expected ") + what + " in quotes, found " + describe(peek()));
    return take().string;
}

NameOrOrdinal ScriptParser::nameOrOrdinal(const char* what)
{
    NameOrOrdinal out;
    if (peek().kind == TokenKind::String)
        out.name = take().string;
    else
        out.ordinal = word(what);
    return out;
}

Script ScriptParser::parse()
{
    Script script;
    while (peek().kind != TokenKind::End)
        resource(script);
    return script;
}

std::uint16_t ScriptParser::languageStatement()
{
    const SourceLocation where = peek().where;
    const std::uint32_t primary = number("primary language");
    expectComma("the sublanguage");
    const std::uint32_t sub = number("sublanguage");
    if (primary > 0x3FF || sub > 0x3F)
        throw RcError(where, "language " + std::to_string(primary) + ", " + std::to_string(sub) + " is out of range");
    return static_cast<std::uint16_t>((sub << 10) | primary);
}

void ScriptParser::resource(Script& script)
{
    if (acceptKeyword("LANGUAGE")) {
        m_language = languageStatement();
        return;
    }
    const Token nameToken = take();
    if (nameToken.kind == TokenKind::Identifier) {
        const std::string keyword = upper(nameToken.text);
        if (keyword == "STRINGTABLE" || keyword == "VERSIONINFO" || keyword == "ACCELERATORS")
            throw RcError(nameToken.where, keyword + " is not supported");
        throw RcError(nameToken.where,
                      "resource name " + nameToken.text + " is not a defined number (define it in resource.h)");
    }
    if (nameToken.kind != TokenKind::Number)
        throw RcError(nameToken.where, "expected a resource statement, found " + describe(nameToken));
    if (nameToken.number == 0 || nameToken.number > 0xFFFF)
        throw RcError(nameToken.where,
                      "resource number " + std::to_string(nameToken.number) + " is out of range (1 to 65535)");

    ResourceSpec layout;
    layout.name = static_cast<std::uint16_t>(nameToken.number);
    layout.language = m_language;
    layout.where = nameToken.where;
    const Token typeToken = take();
    const std::string type = typeToken.kind == TokenKind::Identifier ? upper(typeToken.text) : std::string();
    if (type == "DIALOG" || type == "DIALOGEX") {
        layout.kind = ResourceKind::Dialog;
        layout.dialog.extended = type == "DIALOGEX";
        layout.memoryFlags = kMemMoveable | kMemPure | kMemDiscardable;
        memoryOptions(layout);
        dialog(layout);
    } else if (type == "ICON" || type == "BITMAP") {
        layout.kind = type == "ICON" ? ResourceKind::Icon : ResourceKind::Bitmap;
        layout.memoryFlags = type == "ICON" ? kMemMoveable | kMemPure | kMemDiscardable : kMemMoveable | kMemPure;
        memoryOptions(layout);
        layout.file = fileName(type == "ICON" ? "icon" : "bitmap");
    } else if (typeToken.kind == TokenKind::End) {
        throw RcError(typeToken.where, "resource " + std::to_string(layout.name) + " has no type");
    } else {
        throw RcError(typeToken.where, "unsupported resource type " + typeToken.text);
    }
    for (const ResourceSpec& other : script.resources) {
        const bool sameType = other.kind == layout.kind;
        if (sameType && other.name == layout.name && other.language == layout.language)
            throw RcError(layout.where, type + " " + std::to_string(layout.name) + " is already defined at " +
                                          other.where.file + ":" + std::to_string(other.where.line));
    }
    script.resources.push_back(std::move(layout));
}

void ScriptParser::memoryOptions(ResourceSpec& layout)
{
    for (;;) {
        if (acceptKeyword("MOVEABLE"))
            layout.memoryFlags |= kMemMoveable;
        else if (acceptKeyword("FIXED"))
            layout.memoryFlags &= static_cast<std::uint16_t>(~kMemMoveable);
        else if (acceptKeyword("PURE"))
            layout.memoryFlags |= kMemPure;
        else if (acceptKeyword("IMPURE"))
            layout.memoryFlags &= static_cast<std::uint16_t>(~kMemPure);
        else if (acceptKeyword("PRELOAD"))
            layout.memoryFlags |= kMemPreload;
        else if (acceptKeyword("LOADONCALL"))
            layout.memoryFlags &= static_cast<std::uint16_t>(~kMemPreload);
        else if (acceptKeyword("DISCARDABLE"))
            layout.memoryFlags |= kMemDiscardable | kMemMoveable | kMemPure;
        else
            return;
    }
}

fs::path ScriptParser::fileName(const char* kind)
{
    const SourceLocation where = peek().where;
    std::string name = utf8(string((std::string(kind) + " file name").c_str()));
    std::replace(name.begin(), name.end(), '\\', '/');
    const fs::path given(name);
    if (given.is_absolute())
        return given;
    std::vector<fs::path> dirs{m_scriptDir};
    dirs.insert(dirs.end(), m_includeDirs.begin(), m_includeDirs.end());
    for (const fs::path& dir : dirs)
        if (fs::is_regular_file(dir / given))
            return dir / given;
    throw RcError(where, std::string("cannot find ") + kind + " file " + name);
}

void ScriptParser::dialog(ResourceSpec& layout)
{
    DialogSpec& d = layout.dialog;
    d.x = coordinate("dialog x");
    expectComma("the dialog's y");
    d.y = coordinate("dialog y");
    expectComma("the dialog's width");
    d.cx = coordinate("dialog width");
    expectComma("the dialog's height");
    d.cy = coordinate("dialog height");
    if (acceptPunct(',')) {
        if (!d.extended)
            fail("a help id needs DIALOGEX");
        d.helpId = number("help id");
    }

    std::optional<std::uint32_t> style;
    bool hasCaption = false;
    for (;;) {
        if (acceptKeyword("STYLE")) {
            style = number("style");
        } else if (acceptKeyword("EXSTYLE")) {
            d.exStyle = number("extended style");
        } else if (acceptKeyword("CAPTION")) {
            d.caption = string("the caption");
            hasCaption = true;
        } else if (acceptKeyword("FONT")) {
            FontSpec font;
            font.pointSize = word("font size");
            expectComma("the typeface");
            font.face = string("the typeface");
            if (acceptPunct(',')) {
                if (!d.extended)
                    fail("font weight, italic and charset need DIALOGEX");
                font.weight = word("font weight");
                expectComma("italic");
                font.italic = static_cast<std::uint8_t>(number("italic") != 0);
                expectComma("the charset");
                font.charset = static_cast<std::uint8_t>(word("charset"));
            }
            d.font = font;
        } else if (acceptKeyword("CLASS")) {
            d.windowClass = nameOrOrdinal("class");
        } else if (acceptKeyword("MENU")) {
            if (peek().kind == TokenKind::Identifier)
                fail("menu " + peek().text + " is not a defined number");
            d.menu = nameOrOrdinal("menu");
        } else if (acceptKeyword("LANGUAGE")) {
            layout.language = languageStatement();
        } else if (acceptKeyword("CHARACTERISTICS")) {
            layout.characteristics = number("characteristics");
        } else if (acceptKeyword("VERSION")) {
            layout.version = number("version");
        } else {
            break;
        }
    }
    if (!acceptKeyword("BEGIN") && !acceptPunct('{')) {
        if (peek().kind == TokenKind::Identifier)
            fail("unknown dialog statement " + peek().text);
        fail("expected BEGIN, found " + describe(peek()));
    }
    while (!acceptKeyword("END") && !acceptPunct('}')) {
        if (peek().kind == TokenKind::End)
            fail("dialog " + std::to_string(layout.name) + " has no END");
        control(d);
    }

    d.style = style.value_or(kDefaultDialogStyle);
    if (d.font)
        d.style |= kStyleSetFont;
    else
        d.style &= ~kStyleSetFont;
    if (hasCaption)
        d.style |= kStyleCaption;
}

void ScriptParser::control(DialogSpec& d)
{
    const Token keyword = take();
    const auto& kinds = controlKinds();
    const auto it = keyword.kind == TokenKind::Identifier ? kinds.find(upper(keyword.text)) : kinds.end();
    if (it == kinds.end())
        throw RcError(keyword.where, "unknown control " + keyword.text);
    const ControlKind& kind = it->second;

    ControlSpec c;
    c.where = keyword.where;
    if (kind.hasText) {
        c.text = nameOrOrdinal("control text");
        expectComma("the control id");
    }
    const SourceLocation idWhere = peek().where;
    c.id = number("control id");
    if (!d.extended && c.id > 0xFFFF && c.id != 0xFFFFFFFF)
        throw RcError(idWhere, "control id " + std::to_string(c.id) + " does not fit in 16 bits (DIALOG)");

    Value style;
    if (kind.windowClass == 0) {
        expectComma("the class");
        if (peek().kind == TokenKind::Identifier)
            c.windowClass.name = utf16(take().text, idWhere);
        else
            c.windowClass = nameOrOrdinal("class");
        if (!c.windowClass.ordinal) {
            if (const auto ordinal = predefinedClass(c.windowClass.name)) {
                c.windowClass.ordinal = ordinal;
                c.windowClass.name.clear();
            }
        }
        expectComma("the style");
        style = expression();
    } else {
        c.windowClass.ordinal = kind.windowClass;
    }
    expectComma("x");
    c.x = coordinate("x");
    expectComma("y");
    c.y = coordinate("y");
    expectComma("the width");
    c.cx = coordinate("width");
    expectComma("the height");
    c.cy = coordinate("height");
    if (kind.windowClass != 0 && acceptPunct(','))
        style = expression();
    if (acceptPunct(','))
        c.exStyle = number("extended style");
    if (acceptPunct(',')) {
        if (!d.extended)
            fail("a help id needs DIALOGEX");
        c.helpId = number("help id");
    }
    c.style = (kind.style & ~style.notMask) | style.value;
    d.controls.push_back(std::move(c));
}

}  // namespace velorin::rc
