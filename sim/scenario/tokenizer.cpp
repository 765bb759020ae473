// A scenario line split into words, quotes kept together and the comment dropped.
#include "sim/scenario/tokenizer.hpp"

#include <stdexcept>

namespace velorin::sim {
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

// Index of the quote closing the one at `open`.
std::size_t closingQuote(std::string_view text, std::size_t open)
{
    for (std::size_t i = open + 1; i < text.size(); ++i) {
        if (text[i] == '\\') {
            ++i;
        } else if (text[i] == '"') {
            return i;
        }
    }
    throw std::invalid_argument("missing closing quote in " + std::string(text.substr(open)) +
                                " (a backslash before a quote escapes it; write \\\\ for a backslash)");
}

// `<time> expect pixel <x> <y> #rrggbb`: the one word that may start with '#'.
bool atColourArgument(const std::vector<Token>& tokens)
{
    return tokens.size() == 5 && tokens[1].text == "expect" && tokens[2].text == "pixel";
}

}  // namespace

std::string_view TokenizedLine::span(std::size_t first, std::size_t last) const
{
    if (first >= last || last > tokens.size())
        return {};
    return line.substr(tokens[first].offset, tokens[last - 1].end() - tokens[first].offset);
}

TokenizedLine tokenizeLine(std::string_view line)
{
    TokenizedLine result{line, {}};
    std::size_t i = 0;
    while (true) {
        while (i < line.size() && isBlank(line[i]))
            ++i;
        if (i == line.size())
            break;
        if (line[i] == '#') {
            const bool colour = atColourArgument(result.tokens) && i + 1 < line.size() && !isBlank(line[i + 1]);
            if (!colour)
                break;
        }
        const std::size_t start = i;
        while (i < line.size() && !isBlank(line[i])) {
            i = line[i] == '"' ? closingQuote(line, i) + 1 : i + 1;
        }
        result.tokens.push_back({line.substr(start, i - start), start});
    }
    return result;
}

std::string unquote(std::string_view word)
{
    if (word.empty() || word.front() != '"')
        throw std::invalid_argument("expected text in double quotes, got '" + std::string(word) + "'");
    const std::size_t close = closingQuote(word, 0);
    if (close + 1 != word.size()) {
        std::string_view extra = word.substr(close + 1);
        while (!extra.empty() && isBlank(extra.front()))
            extra.remove_prefix(1);
        throw std::invalid_argument("unexpected '" + std::string(extra) + "' after closing quote of " +
                                    std::string(word.substr(0, close + 1)));
    }
    std::string text;
    for (std::size_t i = 1; i < close; ++i) {
        if (word[i] == '\\' && (word[i + 1] == '"' || word[i + 1] == '\\'))
            ++i;
        text += word[i];
    }
    return text;
}

std::string wordValue(std::string_view word)
{
    if (!word.empty() && word.front() == '"')
        return unquote(word);
    if (word.find('"') != std::string_view::npos)
        throw std::invalid_argument("quote in the middle of '" + std::string(word) +
                                    "'; put the whole word in double quotes");
    return std::string(word);
}

}  // namespace velorin::sim
