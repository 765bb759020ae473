// One declaration of a system header, reduced to what two compilers can agree on whatever the
// headers call their types: a constant's value, a record's size and alignment, a field's place,
// and the shape of a type or a function (the kind, size and signedness of each part). Compiled
// by the device's compiler and by mingw-w64's, and read back on the host from either.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace velorin::conformance {

inline constexpr std::size_t kKindSize = 16;
inline constexpr std::size_t kNameSize = 112;
inline constexpr std::size_t kShapeSize = 384;

template <std::size_t N> struct Text {
    char chars[N];
};

// Numbers first and every part a multiple of 8 bytes, so that every target lays it out alike:
// the Windows side is read out of its object file by the host, never run.
struct Declaration {
    // constant, expression: the value. record, type: size, alignment. field: offset, size,
    // alignment.
    std::int64_t numbers[3];
    Text<kKindSize> kind;
    Text<kNameSize> name;
    // The type's shape (function, field, type, expression's result); empty otherwise.
    Text<kShapeSize> shape;
};
static_assert(sizeof(Declaration) == 3 * 8 + kKindSize + kNameSize + kShapeSize);

// The Windows side's table: in a section of its own (extract_declarations.cmake reads it out of
// the object file), and kept although no code reads it.
#define VELORIN_DECLARATION_TABLE [[gnu::used, gnu::section(".vdecl")]]

template <std::size_t N> class TextBuilder {
public:
    constexpr TextBuilder& operator<<(const char* text)
    {
        while (*text)
            put(*text++);
        return *this;
    }
    constexpr TextBuilder& operator<<(std::size_t number)
    {
        char digits[24] = {};
        int count = 0;
        do {
            digits[count++] = static_cast<char>('0' + number % 10);
            number /= 10;
        } while (number != 0);
        while (count > 0)
            put(digits[--count]);
        return *this;
    }
    constexpr Text<N> text() const { return m_text; }

private:
    constexpr void put(char c)
    {
        // Evaluated at compile time only (consteval callers), so this is a compile error.
        if (m_length + 1 >= N)
            throw "declaration text too long";
        m_text.chars[m_length++] = c;
    }

    Text<N> m_text{};
    std::size_t m_length = 0;
};

template <std::size_t N> consteval Text<N> text(const char* chars)
{
    TextBuilder<N> out;
    out << chars;
    return out.text();
}

using ShapeBuilder = TextBuilder<kShapeSize>;

template <class T>
concept Complete = requires
{
    sizeof(T);
};

// The tag that a STRICT handle points to (struct HWND__ { int unused; }), on both sides.
template <class T>
concept HandleTag = std::is_class_v<T> && Complete<T> && requires
{
    &T::unused;
};

template <class T> constexpr void describe(ShapeBuilder& out);

// What a pointer points to. Desktop Windows' HANDLE and HGDIOBJ are void*, where the device's
// are pointers to tags, so both are "opaque"; a record is known by its size alone, since its
// name differs between headers.
template <class P> constexpr void describePointee(ShapeBuilder& out)
{
    if constexpr (std::is_const_v<P>)
        out << "const ";
    using U = std::remove_cv_t<P>;
    if constexpr (std::is_void_v<U>)
        out << "opaque";
    else if constexpr (std::is_class_v<U> || std::is_union_v<U>) {
        if constexpr (HandleTag<U> || !Complete<U>)
            out << "opaque";
        else
            out << "record " << sizeof(U);
    } else
        describe<U>(out);
}

template <class F> struct FunctionParts;
template <class R, class... A> struct FunctionParts<R(A...)> {
    static constexpr void describe(ShapeBuilder& out)
    {
        conformance::describe<R>(out);
        out << "(";
        bool first = true;
        ((out << (first ? "" : ", "), conformance::describe<A>(out), first = false), ...);
        out << ")";
    }
};
template <class R, class... A> struct FunctionParts<R(A...) noexcept> : FunctionParts<R(A...)> {
};

// Calling conventions are left aside: the device has one, and 64-bit Windows one too.
template <class T> constexpr void describe(ShapeBuilder& out)
{
    using U = std::remove_cv_t<T>;
    if constexpr (std::is_void_v<U>)
        out << "void";
    else if constexpr (std::is_same_v<U, bool>)
        out << "bool";
    // By name, whatever its width: the width is the data model's (the device's wchar_t is 4
    // bytes, Windows' 2), which WCHAR's own type line shows once.
    else if constexpr (std::is_same_v<U, wchar_t>)
        out << "wchar";
    else if constexpr (std::is_enum_v<U>) {
        out << "enum ";
        describe<std::underlying_type_t<U>>(out);
    } else if constexpr (std::is_integral_v<U>)
        out << (std::is_signed_v<U> ? "int" : "uint") << sizeof(U) * 8;
    else if constexpr (std::is_floating_point_v<U>)
        out << "float" << sizeof(U) * 8;
    else if constexpr (std::is_array_v<U>) {
        out << "array<";
        describe<std::remove_extent_t<U>>(out);
        out << ", " << std::extent_v<U> << ">";
    } else if constexpr (std::is_pointer_v<U>) {
        out << "ptr<";
        describePointee<std::remove_pointer_t<U>>(out);
        out << ">";
    } else if constexpr (std::is_function_v<U>)
        FunctionParts<U>::describe(out);
    else if constexpr (std::is_class_v<U> || std::is_union_v<U>)
        out << "record " << sizeof(U) << " align " << alignof(U);
    else
        static_assert(std::is_void_v<U>, "a type that has no shape");
}

template <class T> consteval Text<kShapeSize> shapeOf()
{
    ShapeBuilder out;
    describe<T>(out);
    return out.text();
}

}  // namespace velorin::conformance
