// Declarations read from the compiled lists into lines, and records laid out again with the
// 2-byte WCHAR that CE has where the host's is 4 bytes.
#include "conformance/headers/listing.hpp"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>

namespace velorin::conformance {

namespace {

template <std::size_t N> std::string textOf(const Text<N>& text)
{
    return std::string(text.chars, strnlen(text.chars, N));
}

std::string valueText(std::int64_t value)
{
    std::string text = "= " + std::to_string(value);
    if (value >= 10) {
        char hex[24];
        std::snprintf(hex, sizeof hex, " (0x%llX)", static_cast<unsigned long long>(value));
        text += hex;
    }
    return text;
}

std::int64_t alignUp(std::int64_t offset, std::int64_t alignment)
{
    return alignment > 0 ? (offset + alignment - 1) / alignment * alignment : offset;
}

struct Extent {
    std::int64_t size;
    std::int64_t alignment;
};

// A field's size and alignment with a 2-byte WCHAR; nullopt for text this cannot lay out.
std::optional<Extent> twoByteWcharExtent(const Line& field)
{
    const std::string& shape = field.shape;
    if (shape.find("wchar") == std::string::npos || shape.starts_with("ptr<"))
        return Extent{field.numbers[1], field.numbers[2]};
    if (shape == "wchar")
        return Extent{2, 2};
    const std::string prefix = "array<wchar, ";
    if (shape.starts_with(prefix) && shape.ends_with(">")) {
        const std::string count = shape.substr(prefix.size(), shape.size() - prefix.size() - 1);
        if (!count.empty() && std::all_of(count.begin(), count.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return Extent{2 * std::stoll(count), 2};
    }
    return std::nullopt;
}

// Lays the fields out one after the other; the offsets of each, then the record's size and
// alignment last.
std::vector<std::int64_t> layOut(const std::vector<Extent>& fields)
{
    std::vector<std::int64_t> result;
    std::int64_t end = 0;
    std::int64_t alignment = 1;
    for (const Extent& field : fields) {
        const std::int64_t offset = alignUp(end, field.alignment);
        result.push_back(offset);
        end = offset + field.size;
        alignment = std::max(alignment, field.alignment);
    }
    result.push_back(alignUp(end, alignment));
    result.push_back(alignment);
    return result;
}

}  // namespace

std::string Line::value() const
{
    if (kind == "constant")
        return valueText(numbers[0]);
    if (kind == "expression")
        return valueText(numbers[0]) + " " + shape;
    if (kind == "record")
        return "size " + std::to_string(numbers[0]) + " align " + std::to_string(numbers[1]);
    if (kind == "field")
        return "offset " + std::to_string(numbers[0]) + " size " + std::to_string(numbers[1]) + " align " +
               std::to_string(numbers[2]) + " " + shape;
    if (kind == "type")
        return "size " + std::to_string(numbers[0]) + " align " + std::to_string(numbers[1]) + " " + shape;
    return shape;
}

std::string Line::declarationName() const
{
    if (kind == "field")
        return name.substr(0, name.find('.'));
    if (kind == "expression")
        return name.substr(0, name.find('('));
    return name;
}

std::vector<Line> linesOf(std::span<const Declaration> declarations)
{
    std::vector<Line> lines;
    for (const Declaration& declaration : declarations) {
        Line line;
        line.kind = textOf(declaration.kind);
        line.name = textOf(declaration.name);
        std::copy(std::begin(declaration.numbers), std::end(declaration.numbers), line.numbers);
        line.shape = textOf(declaration.shape);
        lines.push_back(std::move(line));
    }
    return lines;
}

std::optional<std::vector<Line>> readDeclarationFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    // An object file pads its sections to their alignment.
    const std::size_t whole = bytes.size() / sizeof(Declaration) * sizeof(Declaration);
    if (bytes.find_first_not_of('\0', whole) != std::string::npos)
        throw std::runtime_error(file.string() + ": not a list of declarations (" + std::to_string(bytes.size()) +
                                 " bytes)");
    std::vector<Declaration> declarations(whole / sizeof(Declaration));
    std::memcpy(declarations.data(), bytes.data(), whole);
    return linesOf(declarations);
}

WcharLayout withTwoByteWchar(std::vector<Line> lines)
{
    WcharLayout result;
    std::map<std::string, std::vector<std::size_t>> fieldsOf;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind == "field")
            fieldsOf[lines[i].declarationName()].push_back(i);
    }
    for (Line& record : lines) {
        if (record.kind != "record")
            continue;
        const std::vector<std::size_t>& fields = fieldsOf[record.name];
        std::vector<Extent> compiled;
        std::vector<Extent> twoByte;
        bool layable = true;
        for (std::size_t index : fields) {
            compiled.push_back({lines[index].numbers[1], lines[index].numbers[2]});
            const std::optional<Extent> extent = twoByteWcharExtent(lines[index]);
            layable = layable && extent.has_value();
            twoByte.push_back(extent.value_or(compiled.back()));
        }
        std::vector<std::int64_t> expected;
        for (std::size_t index : fields)
            expected.push_back(lines[index].numbers[0]);
        expected.push_back(record.numbers[0]);
        expected.push_back(record.numbers[1]);
        if (layOut(compiled) != expected) {
            result.problems.push_back("record " + record.name +
                                      ": its listed fields do not give its layout; list every field, in order");
            continue;
        }
        if (!layable) {
            result.problems.push_back("record " + record.name + ": a field holds WCHAR text in a form not laid out");
            continue;
        }
        const std::vector<std::int64_t> laidOut = layOut(twoByte);
        const bool sameExtents =
            std::equal(compiled.begin(), compiled.end(), twoByte.begin(),
                       [](const Extent& a, const Extent& b) { return a.size == b.size && a.alignment == b.alignment; });
        if (laidOut == expected && sameExtents)
            continue;
        auto update = [](Line& line, std::int64_t first, std::int64_t second, std::int64_t third) {
            const std::string before = line.value();
            line.numbers[0] = first;
            line.numbers[1] = second;
            line.numbers[2] = third;
            if (line.value() != before)
                line.asCompiled = before;
        };
        for (std::size_t f = 0; f < fields.size(); ++f)
            update(lines[fields[f]], laidOut[f], twoByte[f].size, twoByte[f].alignment);
        update(record, laidOut[fields.size()], laidOut[fields.size() + 1], 0);
    }
    result.lines = std::move(lines);
    return result;
}

}  // namespace velorin::conformance
