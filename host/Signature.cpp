#include "host/Signature.h"

#include <cctype>
#include <stdexcept>

namespace dmhost {
namespace {

struct Token {
    std::string text;  // an identifier, or "*"
};

std::vector<Token> Tokenize(std::string_view text) {
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (std::isspace(c)) {
            ++i;
        } else if (c == '*') {
            tokens.push_back({"*"});
            ++i;
        } else if (std::isalnum(c) || c == '_') {
            size_t end = i;
            while (end < text.size() &&
                   (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '_')) {
                ++end;
            }
            tokens.push_back({std::string(text.substr(i, end - i))});
            i = end;
        } else {
            throw std::invalid_argument("unexpected character '" + std::string(1, text[i]) +
                                        "' in signature type \"" + std::string(text) + "\"");
        }
    }
    return tokens;
}

bool IsHandleWord(const std::string& word) {
    return word == "ImageRef" || word == "RealImagePtr" || word == "BasicImage" ||
           word == "TagGroup" || word == "Function" || word == "ScriptObject" ||
           word == "ScriptClass" || word == "dm_string";
}

TypeWord ScalarWord(const std::string& word) {
    if (word == "void")
        return TypeWord::kVoid;
    if (word == "string")
        return TypeWord::kText;
    if (word == "long")
        return TypeWord::kInt32;
    if (word == "uint32" || word == "ulong")
        return TypeWord::kUInt32;
    if (word == "float")
        return TypeWord::kFloat;
    if (word == "double")
        return TypeWord::kDouble;
    if (word == "bool" || word == "Boolean")
        return TypeWord::kBool;
    if (IsHandleWord(word))
        return TypeWord::kHandle;
    throw std::invalid_argument("unknown type word \"" + word + "\"");
}

// Classifies a type given as its base word and the number of stars after it.
ParamType Classify(const std::string& base, int stars, std::string text) {
    ParamType type;
    type.base = base;
    type.text = std::move(text);
    if (base == "Image" && stars == 1) {
        type.word = TypeWord::kHandle;  // "Image *" stands for the image itself
    } else if (base == "void" && stars == 1) {
        type.word = TypeWord::kPointer;
    } else if (base == "void" && stars == 2) {
        type.word = TypeWord::kPointer;
        type.output = true;
    } else if (stars == 0) {
        type.word = ScalarWord(base);
    } else if (stars == 1) {
        type.word = ScalarWord(base);
        if (type.word == TypeWord::kVoid)
            throw std::invalid_argument("bad type " + type.text);
        type.output = true;
    } else {
        throw std::invalid_argument("unsupported type \"" + type.text + "\"");
    }
    return type;
}

// A parameter: type words, stars, then an optional parameter name.
ParamType ParseParam(std::string_view text) {
    std::vector<Token> tokens = Tokenize(text);
    if (tokens.empty())
        throw std::invalid_argument("empty parameter");
    if (tokens.size() >= 2 && tokens.back().text != "*")
        tokens.pop_back();  // its name
    size_t first = 0;
    if (tokens[first].text == "const")
        ++first;
    if (first >= tokens.size() || tokens[first].text == "*") {
        throw std::invalid_argument("parameter without a type: \"" + std::string(text) + "\"");
    }
    int stars = 0;
    for (size_t i = first + 1; i < tokens.size(); ++i) {
        if (tokens[i].text != "*") {
            throw std::invalid_argument("unsupported parameter \"" + std::string(text) + "\"");
        }
        ++stars;
    }
    return Classify(tokens[first].text, stars, std::string(text));
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    return text;
}

void ParseHead(std::string_view head, Signature& signature) {
    std::vector<Token> tokens = Tokenize(head);
    if (!tokens.empty() && tokens.front().text == "threadsafe")
        tokens.erase(tokens.begin());
    if (tokens.size() < 2 || tokens.back().text == "*") {
        throw std::invalid_argument("signature needs a result type and a name");
    }
    signature.name = tokens.back().text;
    tokens.pop_back();
    int stars = 0;
    for (size_t i = 1; i < tokens.size(); ++i) {
        if (tokens[i].text != "*")
            throw std::invalid_argument("unsupported result type");
        ++stars;
    }
    signature.result = Classify(tokens.front().text, stars, tokens.front().text);
    if (signature.result.output)
        throw std::invalid_argument("an output cannot be a result");
}

void ParseParams(std::string_view list, Signature& signature) {
    list = Trim(list);
    if (list.empty() || list == "void")
        return;
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        if (comma == std::string_view::npos)
            comma = list.size();
        std::string_view piece = Trim(list.substr(start, comma - start));
        if (piece.size() > 3 && piece.substr(piece.size() - 3) == "...") {
            if (comma != list.size())
                throw std::invalid_argument("\"...\" must come last");
            signature.variadic = true;
            piece = Trim(piece.substr(0, piece.size() - 3));
        }
        ParamType param = ParseParam(piece);
        if (param.word == TypeWord::kVoid)
            throw std::invalid_argument("void parameter");
        signature.params.push_back(std::move(param));
        start = comma + 1;
    }
}

}  // namespace

Signature ParseSignature(std::string_view text) {
    const size_t open = text.find('(');
    const size_t close = text.rfind(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open ||
        !Trim(text.substr(close + 1)).empty()) {
        throw std::invalid_argument("signature \"" + std::string(text) +
                                    "\" is not of the form result name( parameters )");
    }
    Signature signature;
    try {
        ParseHead(text.substr(0, open), signature);
        ParseParams(text.substr(open + 1, close - open - 1), signature);
    } catch (const std::invalid_argument& error) {
        throw std::invalid_argument("signature \"" + std::string(text) + "\": " + error.what());
    }
    return signature;
}

char ShapeLetter(const ParamType& type) {
    if (type.output)
        return type.word == TypeWord::kHandle ? 'O' : 'X';
    switch (type.word) {
        case TypeWord::kVoid:
            return 'V';
        case TypeWord::kHandle:
            return 'H';
        case TypeWord::kText:
            return 'S';
        case TypeWord::kInt32:
            return 'L';
        case TypeWord::kUInt32:
            return 'U';
        case TypeWord::kFloat:
            return 'F';
        case TypeWord::kDouble:
            return 'D';
        case TypeWord::kBool:
            return 'B';
        case TypeWord::kPointer:
            return 'P';
    }
    return '?';
}

std::string Signature::ShapeKey() const {
    std::string key(1, ShapeLetter(result));
    key += ':';
    for (const ParamType& param : params)
        key += ShapeLetter(param);
    if (variadic)
        key += "...";
    return key;
}

}  // namespace dmhost
